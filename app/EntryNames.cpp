// Only what can mislead the open by name, or the listing's mask, is refused.
#include "app/EntryNames.h"

namespace vardelune {

namespace {

// Separators (the colon opens a stream of another entry), control
// characters, and the wildcards of a listing's mask, DOS ones included.
bool IsForbidden(wchar_t c) {
    return c < 0x20 || c == 0x7F || std::wstring(L"\\/:*?\"<>").find(c) != std::wstring::npos;
}

}  // namespace

std::optional<UnsafeName> UnsafeEntryName(const std::wstring& name) {
    if (name.empty() || name == L"." || name == L"..") return UnsafeName::DotName;
    for (wchar_t c : name)
        if (IsForbidden(c)) return UnsafeName::ForbiddenCharacter;
    if (name.back() == L'.' || name.back() == L' ') return UnsafeName::DroppedCharacter;
    return std::nullopt;
}

}  // namespace vardelune
