// One owner for every handle that a single call releases: a find search, an
// opened file, a GDI object, an icon, a device context, memory that the
// system allocated. Each kind names its empty value and its release function in a small
// traits type.
#pragma once

#include <windows.h>

namespace vardelune {

template <typename Traits>
class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : handle_(handle) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.handle_) { other.handle_ = Traits::Empty(); }
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            Close();
            handle_ = other.handle_;
            other.handle_ = Traits::Empty();
        }
        return *this;
    }
    ~UniqueHandle() { Close(); }

    Handle Get() const { return handle_; }
    bool IsOpen() const { return handle_ != Traits::Empty(); }
    explicit operator bool() const { return IsOpen(); }
    void Close() {
        if (IsOpen()) {
            Traits::Release(handle_);
            handle_ = Traits::Empty();
        }
    }

private:
    Handle handle_ = Traits::Empty();
};

struct FindSearchTraits {
    using Handle = HANDLE;
    static Handle Empty() { return INVALID_HANDLE_VALUE; }
    static void Release(Handle handle) { FindClose(handle); }
};

struct FileTraits {
    using Handle = HANDLE;
    static Handle Empty() { return INVALID_HANDLE_VALUE; }
    static void Release(Handle handle) { CloseHandle(handle); }
};

template <typename T>
struct GdiObjectTraits {
    using Handle = T;
    static Handle Empty() { return nullptr; }
    static void Release(Handle handle) { DeleteObject(handle); }
};

struct IconTraits {
    using Handle = HICON;
    static Handle Empty() { return nullptr; }
    static void Release(Handle handle) { DestroyIcon(handle); }
};

struct MemoryDcTraits {
    using Handle = HDC;
    static Handle Empty() { return nullptr; }
    static void Release(Handle handle) { DeleteDC(handle); }
};

struct ScreenDcTraits {
    using Handle = HDC;
    static Handle Empty() { return nullptr; }
    static void Release(Handle handle) { ReleaseDC(nullptr, handle); }
};

struct LocalMemoryTraits {
    using Handle = HLOCAL;
    static Handle Empty() { return nullptr; }
    static void Release(Handle handle) { LocalFree(handle); }
};

// A FindFirstFileW search, closed with FindClose.
using FsFindHandle = UniqueHandle<FindSearchTraits>;
// A file or folder opened with CreateFileW.
using FileHandle = UniqueHandle<FileTraits>;
// A pen, brush, font or bitmap, deleted when it goes.
template <typename T>
using GdiObject = UniqueHandle<GdiObjectTraits<T>>;
// An icon loaded at one size (not shared), destroyed when it goes.
using IconHandle = UniqueHandle<IconTraits>;
// Memory that the system allocated for the caller (FormatMessageW's text).
using LocalMemory = UniqueHandle<LocalMemoryTraits>;

}  // namespace vardelune
