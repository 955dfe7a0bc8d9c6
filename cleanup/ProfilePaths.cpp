// Profile folder and path joining. Every path is rebuilt from the current text
// of Text2 at the moment of use, so an edit of Text2 changes every later path.
#include "cleanup/ProfilePaths.h"

namespace vardelune {

const wchar_t* const MessengerDataSuffix = L"\\Local Settings\\Application Data\\Microsoft\\Messenger\\";
const wchar_t* const AccountPatternSuffix = L"\\Local Settings\\Application Data\\Microsoft\\Messenger\\*@*";
const wchar_t* const ContactsDataSuffix = L"\\Local Settings\\Application Data\\Microsoft\\Windows Live Contacts\\";
const wchar_t* const ContactsFolderSuffix = L"\\Local Settings\\Application Data\\Microsoft\\Windows Live Contacts";
const wchar_t* const TempFolderSuffix = L"\\Local Settings\\Temp";

void InitProfilePaths(Program& program) {
    Form& main = program.form(FormId::Form1);
    main.control("Text2").SetText(program.platform().GetEnvironmentText(L"USERPROFILE"));
    main.control("Text5").SetText(main.control("Text2").text() + MessengerDataSuffix);
    main.control("Text6").SetText(main.control("Text2").text() + ContactsDataSuffix);
}

std::wstring JoinProfilePath(Program& program, const wchar_t* suffix) {
    return program.form(FormId::Form1).control("Text2").text() + suffix;
}

}  // namespace vardelune
