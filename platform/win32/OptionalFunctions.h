// The system functions that only some systems have, looked up at run time in
// one place: those that Windows XP lacks (the program uses them where they
// exist) and Wine's own. Each caller has a path for when one is missing.
#pragma once

#include <windows.h>

namespace vardelune {

// The function, from a module that is already loaded; nullptr when the
// system lacks it.
FARPROC FindOptionalFunction(const wchar_t* module, const char* name);

template <typename Function>
Function OptionalFunction(const wchar_t* module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(FindOptionalFunction(module, name)));
}

// For the tests: from now on every optional function is missing, as on the
// oldest Windows the program runs on.
void PretendOptionalFunctionsMissing(bool missing);

}  // namespace vardelune
