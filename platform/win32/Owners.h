// The owner of every system handle that a single call releases: one template,
// with traits made from the release call, for files, registry keys and system
// memory here, and GDI objects and icons in GdiOwners.h. Each releases what it
// holds when it goes, so that no early return or exception leaks anything.
// It sits on the ground floor of platform/ and includes nothing of it.
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

// A handle that one call releases, with the value that means "none".
template <typename H, auto ReleaseCall>
struct NullHandleTraits {
    using Handle = H;
    static Handle Empty() { return nullptr; }
    static void Release(Handle handle) { ReleaseCall(handle); }
};
template <auto ReleaseCall>
struct InvalidHandleTraits {
    using Handle = HANDLE;
    static Handle Empty() { return INVALID_HANDLE_VALUE; }
    static void Release(Handle handle) { ReleaseCall(handle); }
};

using FileTraits = InvalidHandleTraits<&CloseHandle>;
using LocalMemoryTraits = NullHandleTraits<HLOCAL, &LocalFree>;
using RegistryKeyTraits = NullHandleTraits<HKEY, &RegCloseKey>;

// A file or folder opened with CreateFileW.
using FileHandle = UniqueHandle<FileTraits>;
// Memory that the system allocated for the caller (FormatMessageW's text).
using LocalMemory = UniqueHandle<LocalMemoryTraits>;
// A registry key opened with RegOpenKeyExA.
using RegistryKey = UniqueHandle<RegistryKeyTraits>;

}  // namespace vardelune
