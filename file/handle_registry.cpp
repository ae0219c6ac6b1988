#include "file/handle_registry.h"

#include <new>
#include <utility>

namespace tolvarinth {

HandleRegistry& HandleRegistry::Instance() {
    static HandleRegistry registry;
    return registry;
}

FileHandle HandleRegistry::Add(std::unique_ptr<PlainFile> file, FileKind kind) {
    if (!file) return kEmptyHandle;
    // Handles are not reused soon after closing, so a stale handle finds nothing.
    for (std::size_t tries = 0; tries <= entries_.size(); ++tries) {
        const FileHandle candidate = next_++;
        if (next_ == kEmptyHandle) next_ = 1;
        if (candidate == kEmptyHandle || entries_.count(candidate) != 0) continue;
        try {
            entries_.emplace(candidate, Entry{std::move(file), kind});
        } catch (const std::bad_alloc&) {
            return kEmptyHandle;
        }
        return candidate;
    }
    return kEmptyHandle;
}

PlainFile* HandleRegistry::Find(FileHandle handle) const {
    const auto found = entries_.find(handle);
    return found == entries_.end() ? nullptr : found->second.file.get();
}

bool HandleRegistry::KindOf(FileHandle handle, FileKind& kind) const {
    const auto found = entries_.find(handle);
    if (found == entries_.end()) return false;
    kind = found->second.kind;
    return true;
}

std::unique_ptr<PlainFile> HandleRegistry::Remove(FileHandle handle) {
    const auto found = entries_.find(handle);
    if (found == entries_.end()) return nullptr;
    std::unique_ptr<PlainFile> file = std::move(found->second.file);
    entries_.erase(found);
    return file;
}

}  // namespace tolvarinth
