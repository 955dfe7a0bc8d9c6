// Only modules that every process has loaded are asked (kernel32, ntdll), so
// that looking up loads nothing.
#include "platform/win32/OptionalFunctions.h"

namespace vardelune {

namespace {

bool pretendMissing = false;

}  // namespace

FARPROC FindOptionalFunction(const wchar_t* module, const char* name) {
    if (pretendMissing) return nullptr;
    const HMODULE loaded = GetModuleHandleW(module);
    return loaded ? GetProcAddress(loaded, name) : nullptr;
}

void PretendOptionalFunctionsMissing(bool missing) { pretendMissing = missing; }

}  // namespace vardelune
