// The program's numbered errors made from what the system reports: a Win32
// error number or a failed HRESULT, with the system's own text (number first,
// as the error report shows it).
#pragma once

#include "app/Errors.h"

#include <windows.h>

#include <string>

namespace vardelune {

// The system's text for a Win32 error number or an HRESULT, without the
// trailing line break; empty when the system has none.
std::wstring SystemErrorText(DWORD code);

// A Win32 error number with the system's text, or a generic text when the
// system has none.
ProgramError Win32Error(DWORD code);

// A failed HRESULT: its value as a signed number, with the system's text.
ProgramError HresultError(HRESULT result);

// Throws the calling thread's last Win32 error; `fallback` stands in when a
// failing call set none.
[[noreturn]] void ThrowLastError(DWORD fallback = ERROR_NOT_ENOUGH_MEMORY);

}  // namespace vardelune
