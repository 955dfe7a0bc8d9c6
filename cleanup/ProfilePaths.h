// The profile folder, held in the main window's Text2, and the fixed suffixes
// that name every folder the program lists, deletes or opens.
#pragma once

#include "app/Program.h"

#include <string>

namespace vardelune {

// Joined behind the profile folder exactly as written: no separator is added.
// The Contacts folder exists twice on purpose: with a trailing backslash for
// the display and the deletion paths, without it for the folder that is opened.
extern const wchar_t* const MessengerDataSuffix;
extern const wchar_t* const AccountPatternSuffix;
extern const wchar_t* const ContactsDataSuffix;
extern const wchar_t* const ContactsFolderSuffix;
extern const wchar_t* const TempFolderSuffix;

// Reads "USERPROFILE" into Text2 and shows the two data folders in Text5 and Text6.
void InitProfilePaths(Program& program);

// The current text of Text2 followed by the suffix, with no normalisation.
std::wstring JoinProfilePath(Program& program, const wchar_t* suffix);

}  // namespace vardelune
