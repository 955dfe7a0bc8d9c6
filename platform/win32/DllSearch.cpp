// Done first in wWinMain, before any library is loaded on demand.
#include "platform/win32/DllSearch.h"

#include "platform/win32/SystemLibrary.h"

#include <windows.h>

namespace vardelune {

void RestrictDllSearchToSystemFolder() {
    constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
    using SetDllDirectoryFunction = BOOL(WINAPI*)(LPCWSTR);
    const auto setDefault =
        OptionalFunction<SetDefaultDllDirectoriesFunction>(L"kernel32.dll", "SetDefaultDllDirectories");
    if (setDefault && setDefault(kSearchSystem32)) return;
    const auto setDirectory = OptionalFunction<SetDllDirectoryFunction>(L"kernel32.dll", "SetDllDirectoryW");
    if (setDirectory) setDirectory(L"");
}

}  // namespace vardelune
