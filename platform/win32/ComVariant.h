// Owning VARIANT, cleared with VariantClear when it goes; made from a wide
// string it holds a VT_BSTR, the form the automation methods here expect.
#pragma once

#include "platform/win32/ComBstr.h"
#include "platform/win32/OleFunctions.h"

#include <windows.h>
#include <oleauto.h>

#include <string>

namespace vardelune {

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
