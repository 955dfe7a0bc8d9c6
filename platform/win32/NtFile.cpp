// ntdll is mapped into every process before the program's own code runs, so
// its functions are found without loading anything new.
#include "platform/win32/NtFile.h"

#include "platform/win32/SystemLibrary.h"

namespace vardelune::nt {

namespace {

template <typename Function>
void Find(SystemLibrary& ntdll, const char* name, Function& function) {
    function = ntdll.Find<Function>(name);
}

Functions Lookup() {
    static SystemLibrary& ntdll = *new SystemLibrary(L"ntdll.dll");  // never freed, as ntdll never is
    Functions functions{};
    Find(ntdll, "NtOpenFile", functions.OpenFile);
    Find(ntdll, "NtQueryDirectoryFile", functions.QueryDirectoryFile);
    Find(ntdll, "NtSetInformationFile", functions.SetInformationFile);
    Find(ntdll, "NtQueryInformationFile", functions.QueryInformationFile);
    Find(ntdll, "RtlNtStatusToDosError", functions.StatusToDosError);
    return functions;
}

}  // namespace

bool RunningUnderWine() { return FindOptionalFunction(L"ntdll.dll", "wine_get_version") != nullptr; }

const Functions& Ntdll() {
    static const Functions functions = Lookup();
    return functions;
}

}  // namespace vardelune::nt
