// Done first in wWinMain, before any library is loaded on demand.
#include "platform/win32/DllSearch.h"

#include <windows.h>

namespace vardelune {

void RestrictDllSearchToSystemFolder() {
    constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32
    const HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
    if (!kernel32) return;
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
    using SetDllDirectoryFunction = BOOL(WINAPI*)(LPCWSTR);
    const auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFunction>(
        reinterpret_cast<void*>(GetProcAddress(kernel32, "SetDefaultDllDirectories")));
    if (setDefault && setDefault(kSearchSystem32)) return;
    const auto setDirectory = reinterpret_cast<SetDllDirectoryFunction>(
        reinterpret_cast<void*>(GetProcAddress(kernel32, "SetDllDirectoryW")));
    if (setDirectory) setDirectory(L"");
}

}  // namespace vardelune
