// Error descriptions from FormatMessageW, in the program's words where the
// system has none.
#include "platform/win32/ErrorText.h"

#include "app/ErrorTexts.h"
#include "platform/win32/Owners.h"

#include <cwchar>

namespace vardelune {

namespace {

std::wstring Hexadecimal(DWORD value) {
    wchar_t text[16];
    std::swprintf(text, sizeof text / sizeof text[0], L"0x%08lX", static_cast<unsigned long>(value));
    return text;
}

}  // namespace

std::wstring SystemErrorText(DWORD code) {
    wchar_t* allocated = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
        0, reinterpret_cast<wchar_t*>(&allocated), 0, nullptr);
    const LocalMemory owner(allocated);
    if (length == 0 || !allocated) return std::wstring();
    std::wstring text(allocated, length);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' '))
        text.pop_back();
    return text;
}

ProgramError Win32Error(DWORD code) {
    std::wstring text = SystemErrorText(code);
    if (text.empty()) text = SystemErrorFallbackText(code);
    return ProgramError(ErrorNumberKind::Win32, static_cast<long>(code), text);
}

ProgramError HresultError(HRESULT result) {
    std::wstring text = SystemErrorText(static_cast<DWORD>(result));
    if (text.empty()) text = UnexpectedResultText(Hexadecimal(static_cast<DWORD>(result)));
    return ProgramError(ErrorNumberKind::HResult, static_cast<long>(result), text);
}

void ThrowLastError(DWORD fallback) {
    const DWORD error = GetLastError();
    throw Win32Error(error != 0 ? error : fallback);
}

}  // namespace vardelune
