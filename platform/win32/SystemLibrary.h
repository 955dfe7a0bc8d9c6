// A system DLL loaded by the first call that needs it rather than by the
// loader at start-up: shell32, ole32 and oleaut32 and the libraries they pull
// in cost the start of the process megabytes and milliseconds under Wine.
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
        return reinterpret_cast<Function>(reinterpret_cast<void*>(Find(name)));
    }

private:
    FARPROC Find(const char* name);
    const wchar_t* name_;
    HMODULE module_ = nullptr;
};

}  // namespace vardelune
