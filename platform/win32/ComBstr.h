// Owning BSTR: allocated from a wide string (embedded characters kept by
// length) and freed with SysFreeString when it goes.
#pragma once

#include "platform/win32/OleFunctions.h"

#include <windows.h>
#include <oleauto.h>

#include <new>
#include <string>

namespace vardelune {

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
    // Takes ownership of a BSTR that a callee allocated.
    void Attach(BSTR value) {
        ole::SysFreeString(value_);
        value_ = value;
    }
    std::wstring Text() const { return value_ ? std::wstring(value_, ole::SysStringLen(value_)) : std::wstring(); }

private:
    BSTR value_ = nullptr;
};

}  // namespace vardelune
