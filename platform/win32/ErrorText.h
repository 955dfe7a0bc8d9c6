// Descriptions of the errors that the platform services raise: the system's
// own message text, the script runtime's numbered errors, and the
// ProgramError built from them (number first, as the error report shows it).
#pragma once

#include "platform/Platform.h"

#include <windows.h>

#include <string>

namespace vardelune {

// The system's text for a Win32 error number or an HRESULT, without the
// trailing line break; empty when the system has none.
std::wstring SystemErrorText(DWORD code);

// The script runtime's French text for one of its error numbers (53, 70,
// 76, ...); empty for a number it does not know.
std::wstring ScriptRuntimeErrorText(long number);

// A Win32 error number with the system's text, or a generic text when the
// system has none.
ProgramError Win32Error(DWORD code);

// A failed HRESULT: its value as a signed number, with the system's text.
ProgramError HresultError(HRESULT result);

}  // namespace vardelune
