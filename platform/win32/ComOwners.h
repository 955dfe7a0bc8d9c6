// Owners of COM resources: the interface pointer, the BSTR and the VARIANT,
// released through the late-bound OLE functions.
#pragma once

#include "platform/win32/OleFunctions.h"

#include <windows.h>
#include <oleauto.h>
#include <unknwn.h>

#include <new>
#include <string>

namespace vardelune {

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
