// Every owner of a system resource, in one place: one template for every
// handle that a single call releases (files, registry keys, GDI objects,
// icons, device contexts, system memory), the scoped drawing states, and the
// COM interface pointer, BSTR and VARIANT. Each releases what it holds when
// it goes, so that no early return or exception leaks anything.
#pragma once

#include "platform/win32/OleFunctions.h"

#include <windows.h>
#include <oleauto.h>
#include <unknwn.h>

#include <new>
#include <string>

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

inline void ReleaseScreenDc(HDC dc) { ReleaseDC(nullptr, dc); }

using FileTraits = InvalidHandleTraits<&CloseHandle>;
template <typename T>
using GdiObjectTraits = NullHandleTraits<T, &DeleteObject>;
using IconTraits = NullHandleTraits<HICON, &DestroyIcon>;
using MemoryDcTraits = NullHandleTraits<HDC, &DeleteDC>;
using ScreenDcTraits = NullHandleTraits<HDC, &ReleaseScreenDc>;
using LocalMemoryTraits = NullHandleTraits<HLOCAL, &LocalFree>;
using RegistryKeyTraits = NullHandleTraits<HKEY, &RegCloseKey>;

// A file or folder opened with CreateFileW.
using FileHandle = UniqueHandle<FileTraits>;
// A pen, brush, font or bitmap, deleted when it goes.
template <typename T>
using GdiObject = UniqueHandle<GdiObjectTraits<T>>;
// An icon loaded at one size (not shared), destroyed when it goes.
using IconHandle = UniqueHandle<IconTraits>;
// Memory that the system allocated for the caller (FormatMessageW's text).
using LocalMemory = UniqueHandle<LocalMemoryTraits>;
// A registry key opened with RegOpenKeyExA.
using RegistryKey = UniqueHandle<RegistryKeyTraits>;

// An object selected into a device context until the end of the scope, so
// that the context never keeps an object that is about to be deleted.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    ~SelectedObject() {
        if (previous_ && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
    }

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// A memory device context compatible with another one.
class MemoryDc : public UniqueHandle<MemoryDcTraits> {
public:
    explicit MemoryDc(HDC compatibleWith) : UniqueHandle(CreateCompatibleDC(compatibleWith)) {}
};

// The screen's device context, for measuring.
class ScreenDc : public UniqueHandle<ScreenDcTraits> {
public:
    ScreenDc() : UniqueHandle(GetDC(nullptr)) {}
};

// BeginPaint and EndPaint around the painting of one WM_PAINT.
class PaintDc {
public:
    explicit PaintDc(HWND window) : window_(window) { dc_ = BeginPaint(window_, &paint_); }
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;
    ~PaintDc() { EndPaint(window_, &paint_); }
    HDC Get() const { return dc_; }
    const RECT& Area() const { return paint_.rcPaint; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_ = nullptr;
};

template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : pointer_(other.pointer_) { other.pointer_ = nullptr; }
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            Reset();
            pointer_ = other.pointer_;
            other.pointer_ = nullptr;
        }
        return *this;
    }
    ~ComPtr() { Reset(); }

    T* Get() const { return pointer_; }
    T* operator->() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }

    // For the out parameter of a creating call; drops what was held before.
    T** Receive() {
        Reset();
        return &pointer_;
    }
    void** ReceiveVoid() { return reinterpret_cast<void**>(Receive()); }

    void Reset() {
        if (pointer_) {
            pointer_->Release();
            pointer_ = nullptr;
        }
    }

private:
    T* pointer_ = nullptr;
};

class ComBstr {
public:
    ComBstr() = default;
    explicit ComBstr(const std::wstring& text)
        : value_(ole::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {
        if (!value_) throw std::bad_alloc();
    }
    ComBstr(const ComBstr&) = delete;
    ComBstr& operator=(const ComBstr&) = delete;
    ~ComBstr() { ole::SysFreeString(value_); }

    BSTR Get() const { return value_; }
    // Hands the string over to a VARIANT or another owner.
    BSTR Detach() {
        BSTR value = value_;
        value_ = nullptr;
        return value;
    }

private:
    BSTR value_ = nullptr;
};

class ComVariant {
public:
    ComVariant() { ole::VariantInit(&value_); }
    explicit ComVariant(const std::wstring& text) : ComVariant() {
        ComBstr string(text);
        V_VT(&value_) = VT_BSTR;
        V_BSTR(&value_) = string.Detach();
    }
    ComVariant(const ComVariant&) = delete;
    ComVariant& operator=(const ComVariant&) = delete;
    ~ComVariant() { ole::VariantClear(&value_); }

    VARIANT& Get() { return value_; }

private:
    VARIANT value_;
};

}  // namespace vardelune
