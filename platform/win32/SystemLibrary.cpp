// Late binding of the system functions that only some handlers call, or that
// only some systems have.
#include "platform/win32/SystemLibrary.h"

#include "platform/win32/ErrorText.h"

#include <string>

namespace vardelune {

namespace {

bool pretendMissing = false;

}  // namespace

SystemLibrary::~SystemLibrary() {
    if (module_) FreeLibrary(module_);
}

FARPROC SystemLibrary::Find(const char* name, bool required) {
    if (!module_) {
        // By its full path in the system folder, never found by the search,
        // which on the oldest systems still looks beside the program first.
        wchar_t folder[MAX_PATH];
        const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
        const std::wstring path =
            length > 0 && length < MAX_PATH ? std::wstring(folder, length) + L"\\" + name_ : std::wstring(name_);
        module_ = LoadLibraryW(path.c_str());
        if (!module_) {
            if (!required) return nullptr;
            ThrowLastError(ERROR_MOD_NOT_FOUND);
        }
    }
    const FARPROC function = GetProcAddress(module_, name);
    if (!function && required) ThrowLastError(ERROR_PROC_NOT_FOUND);
    return function;
}

SystemLibrary& Shell32() {
    // Never freed: the shell's windows and threads may outlive any handler.
    static SystemLibrary& library = *new SystemLibrary(L"shell32.dll");
    return library;
}

FARPROC FindOptionalFunction(const wchar_t* module, const char* name) {
    if (pretendMissing) return nullptr;
    const HMODULE loaded = GetModuleHandleW(module);
    return loaded ? GetProcAddress(loaded, name) : nullptr;
}

void PretendOptionalFunctionsMissing(bool missing) { pretendMissing = missing; }

}  // namespace vardelune
