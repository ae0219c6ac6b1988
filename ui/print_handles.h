#pragma once
// Owning wrappers for the GDI and memory handles printing uses.

#include <windows.h>
#include <winspool.h>

#include <memory>
#include <type_traits>

namespace tolvarinth {

struct DcDeleter {
    void operator()(HDC dc) const { if (dc) DeleteDC(dc); }
};
struct GdiObjectDeleter {
    void operator()(HGDIOBJ object) const { if (object) DeleteObject(object); }
};
struct GlobalDeleter {
    void operator()(HGLOBAL memory) const { if (memory) GlobalFree(memory); }
};

using UniqueDc = std::unique_ptr<std::remove_pointer_t<HDC>, DcDeleter>;
using UniqueFont = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiObjectDeleter>;
using UniqueGlobal = std::unique_ptr<std::remove_pointer_t<HGLOBAL>, GlobalDeleter>;

// Locks a movable global block for the lifetime of the object.
template <typename T>
class LockedGlobal final {
public:
    explicit LockedGlobal(HGLOBAL memory)
        : memory_(memory), data_(memory ? static_cast<T*>(::GlobalLock(memory)) : nullptr) {}
    ~LockedGlobal() { if (data_) ::GlobalUnlock(memory_); }
    LockedGlobal(const LockedGlobal&) = delete;
    LockedGlobal& operator=(const LockedGlobal&) = delete;

    T* get() const { return data_; }
    T* operator->() const { return data_; }
    explicit operator bool() const { return data_ != nullptr; }

private:
    HGLOBAL memory_;
    T* data_;
};

// Keeps an opened printer and closes it.
class PrinterHandle final {
public:
    PrinterHandle() = default;
    ~PrinterHandle() { if (handle_) ClosePrinter(handle_); }
    PrinterHandle(const PrinterHandle&) = delete;
    PrinterHandle& operator=(const PrinterHandle&) = delete;

    bool Open(const wchar_t* name) {
        return OpenPrinterW(const_cast<wchar_t*>(name), &handle_, nullptr) && handle_;
    }
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_ = nullptr;
};

}  // namespace tolvarinth
