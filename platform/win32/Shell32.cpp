// Late binding of the two shell32 functions that the program calls.
#include "platform/win32/Shell32.h"

#include "platform/win32/ErrorText.h"

namespace vardelune {

Shell32::~Shell32() {
    if (module_) FreeLibrary(module_);
}

FARPROC Shell32::Find(const char* name) {
    if (!module_) {
        module_ = LoadLibraryW(L"shell32.dll");
        if (!module_) ThrowLastError(ERROR_MOD_NOT_FOUND);
    }
    const FARPROC function = GetProcAddress(module_, name);
    if (!function) ThrowLastError(ERROR_PROC_NOT_FOUND);
    return function;
}

}  // namespace vardelune
