#pragma once
// A fresh folder for one test, removed afterwards, with small helpers to look at files directly
// (not through the code under test).

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace tolvarinth::testing {

class ScratchFolder {
public:
    ScratchFolder() : ScratchFolder(std::filesystem::temp_directory_path()) {}
    explicit ScratchFolder(const std::filesystem::path& parent) {
        std::random_device seed;
        for (int attempt = 0; attempt < 100; ++attempt) {
            path_ = parent / ("tolvarinth-test-" + std::to_string(seed()));
            if (std::filesystem::create_directory(path_)) return;
        }
        ADD_FAILURE() << "cannot create a scratch folder";
    }
    ~ScratchFolder() {
        std::error_code ignored;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(path_, ignored)) {
            std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ignored);
        }
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // A path inside the folder as the program takes it: an ASCII name is the same in code page 936.
    std::string File(const std::string& name) const { return (path_ / name).string(); }

    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(path_)) names.push_back(entry.path().filename().string());
        return names;
    }

private:
    std::filesystem::path path_;
};

inline std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace tolvarinth::testing
