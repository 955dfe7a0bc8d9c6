// Late binding of the system functions that only some handlers call.
#include "platform/win32/SystemLibrary.h"

#include "platform/win32/ErrorText.h"

namespace vardelune {

SystemLibrary::~SystemLibrary() {
    if (module_) FreeLibrary(module_);
}

FARPROC SystemLibrary::Find(const char* name) {
    if (!module_) {
        module_ = LoadLibraryW(name_);
        if (!module_) ThrowLastError(ERROR_MOD_NOT_FOUND);
    }
    const FARPROC function = GetProcAddress(module_, name);
    if (!function) ThrowLastError(ERROR_PROC_NOT_FOUND);
    return function;
}

}  // namespace vardelune
