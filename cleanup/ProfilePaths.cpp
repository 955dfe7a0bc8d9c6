// Profile folder and path joining. Every path is rebuilt from the current text
// of Text2 at the moment of use, so an edit of Text2 changes every later path.
#include "cleanup/ProfilePaths.h"

#include "cleanup/Accounts.h"
#include "cleanup/WindowNames.h"

#include <string>

namespace vardelune {

const wchar_t* const MessengerDataSuffix = L"\\Local Settings\\Application Data\\Microsoft\\Messenger\\";

namespace {

// The listing's expression is the data folder that is shown and deleted in,
// followed by the pattern that says what an account is.
const std::wstring kAccountPatternSuffix = std::wstring(MessengerDataSuffix) + kAccountNamePattern;

}  // namespace

const wchar_t* const AccountPatternSuffix = kAccountPatternSuffix.c_str();
const wchar_t* const ContactsDataSuffix = L"\\Local Settings\\Application Data\\Microsoft\\Windows Live Contacts\\";
const wchar_t* const ContactsFolderSuffix = L"\\Local Settings\\Application Data\\Microsoft\\Windows Live Contacts";
const wchar_t* const TempFolderSuffix = L"\\Local Settings\\Temp";

void InitProfilePaths(Program& program) {
    using namespace main_window;
    Form& main = program.form(kMainWindow);
    main.control(kProfileBox).SetText(program.platform().GetEnvironmentText(L"USERPROFILE"));
    main.control(kMessengerFolderBox).SetText(main.control(kProfileBox).text() + MessengerDataSuffix);
    main.control(kContactsFolderBox).SetText(main.control(kProfileBox).text() + ContactsDataSuffix);
}

std::wstring JoinProfilePath(Program& program, const wchar_t* suffix) {
    return program.form(kMainWindow).control(main_window::kProfileBox).text() + suffix;
}

}  // namespace vardelune
