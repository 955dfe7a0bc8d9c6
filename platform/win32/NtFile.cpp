// ntdll is mapped into every process before the program's own code runs, so
// its functions are found without loading anything new.
#include "platform/win32/NtFile.h"

#include "platform/win32/SystemLibrary.h"

namespace vardelune::nt {

namespace {

Functions Lookup() {
    static SystemLibrary& ntdll = *new SystemLibrary(L"ntdll.dll");  // never freed, as ntdll never is
    Functions functions{};
    functions.OpenFile = ntdll.Find<decltype(functions.OpenFile)>("NtOpenFile");
    functions.QueryDirectoryFile = ntdll.Find<decltype(functions.QueryDirectoryFile)>("NtQueryDirectoryFile");
    functions.SetInformationFile = ntdll.Find<decltype(functions.SetInformationFile)>("NtSetInformationFile");
    functions.QueryInformationFile = ntdll.Find<decltype(functions.QueryInformationFile)>("NtQueryInformationFile");
    functions.QueryObject = ntdll.Find<decltype(functions.QueryObject)>("NtQueryObject");
    functions.QueryVolumeInformationFile =
        ntdll.Find<decltype(functions.QueryVolumeInformationFile)>("NtQueryVolumeInformationFile");
    functions.EqualUnicodeString = ntdll.Find<decltype(functions.EqualUnicodeString)>("RtlEqualUnicodeString");
    functions.StatusToDosError = ntdll.Find<decltype(functions.StatusToDosError)>("RtlNtStatusToDosError");
    return functions;
}

}  // namespace

const Functions& Ntdll() {
    static const Functions functions = Lookup();
    return functions;
}

}  // namespace vardelune::nt
