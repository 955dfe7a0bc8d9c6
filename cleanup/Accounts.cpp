// Windows' own naming rules, applied to the name before it is joined to a
// path: what they would tidy away or read otherwise is refused.
#include "cleanup/Accounts.h"

namespace vardelune {

namespace {

bool IsForbidden(wchar_t c) {
    return c < 0x20 || c == 0x7F || std::wstring(L"\\/:*?\"<>|").find(c) != std::wstring::npos;
}

wchar_t Upper(wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c; }

// CON, PRN, AUX, NUL, COM1 to COM9 and LPT1 to LPT9 (with the superscript
// digits that Windows also reads as devices), alone or before any extension.
bool IsDeviceName(const std::wstring& name) {
    std::wstring base = name.substr(0, name.find(L'.'));
    while (!base.empty() && base.back() == L' ') base.pop_back();
    for (wchar_t& c : base) c = Upper(c);
    if (base == L"CON" || base == L"PRN" || base == L"AUX" || base == L"NUL" || base == L"CONIN$" ||
        base == L"CONOUT$")
        return true;
    if (base.size() != 4 || (base.compare(0, 3, L"COM") != 0 && base.compare(0, 3, L"LPT") != 0)) return false;
    const wchar_t digit = base[3];
    return (digit >= L'1' && digit <= L'9') || digit == L'\u00B9' || digit == L'\u00B2' || digit == L'\u00B3';
}

}  // namespace

std::optional<UnsafeName> UnsafeAccountName(const std::wstring& name) {
    if (name == L"." || name == L"..") return UnsafeName::DotName;
    for (wchar_t c : name)
        if (IsForbidden(c)) return UnsafeName::ForbiddenCharacter;
    if (!name.empty() && (name.back() == L'.' || name.back() == L' ')) return UnsafeName::DroppedCharacter;
    if (IsDeviceName(name)) return UnsafeName::DeviceName;
    return std::nullopt;
}

}  // namespace vardelune
