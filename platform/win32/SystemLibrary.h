// The one way to bind a system function late. A system DLL is loaded by the
// first call that needs it rather than by the loader at start-up: shell32,
// ole32 and oleaut32 and the libraries they pull in cost the start of the
// process megabytes and milliseconds under Wine. A function that only some
// systems have (those that Windows XP lacks, Wine's own) is looked up in a
// module already loaded, and its caller has a path for when it is missing.
#pragma once

#include <windows.h>

namespace vardelune {

class SystemLibrary {
public:
    explicit SystemLibrary(const wchar_t* name) : name_(name) {}
    SystemLibrary(const SystemLibrary&) = delete;
    SystemLibrary& operator=(const SystemLibrary&) = delete;
    ~SystemLibrary();

    // The named export, loading the library on first use; throws a
    // ProgramError when either cannot be had.
    template <typename Function>
    Function Get(const char* name) {
        return reinterpret_cast<Function>(reinterpret_cast<void*>(Find(name, true)));
    }
    // The same, or nullptr instead of the error.
    template <typename Function>
    Function Find(const char* name) {
        return reinterpret_cast<Function>(reinterpret_cast<void*>(Find(name, false)));
    }

private:
    FARPROC Find(const char* name, bool required);
    const wchar_t* name_;
    HMODULE module_ = nullptr;
};

// shell32, loaded once for the whole process by the first call that needs it.
SystemLibrary& Shell32();

// An optional function of a module that every process has loaded (kernel32,
// ntdll); nullptr when the system lacks it.
FARPROC FindOptionalFunction(const wchar_t* module, const char* name);

template <typename Function>
Function OptionalFunction(const wchar_t* module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(FindOptionalFunction(module, name)));
}

// For the tests: from now on every optional function is missing, as on the
// oldest Windows the program runs on.
void PretendOptionalFunctionsMissing(bool missing);

}  // namespace vardelune
