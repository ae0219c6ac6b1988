#pragma once
// The process-wide table of open file objects. Every file operation looks its handle up here; a
// handle that is not registered is invalid. Not locked: files are used from one thread.

#include <cstddef>
#include <map>
#include <memory>

#include "file/file_handle.h"
#include "file/plain_file.h"

namespace tolvarinth {

enum class FileKind : int { Plain = 1, Encrypted = 3 };

class HandleRegistry {
public:
    static HandleRegistry& Instance();

    // Takes the object; the empty handle when it cannot be registered.
    FileHandle Add(std::unique_ptr<PlainFile> file, FileKind kind);
    PlainFile* Find(FileHandle handle) const;  // nullptr when not registered
    bool KindOf(FileHandle handle, FileKind& kind) const;
    std::unique_ptr<PlainFile> Remove(FileHandle handle);  // nullptr when not registered
    std::size_t Count() const { return entries_.size(); }

private:
    struct Entry {
        std::unique_ptr<PlainFile> file;
        FileKind kind;
    };
    std::map<FileHandle, Entry> entries_;
    FileHandle next_ = 1;
};

}  // namespace tolvarinth
