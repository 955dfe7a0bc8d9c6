// shell32.dll, loaded by the first call that needs it rather than by the
// loader at start-up: it and the libraries it pulls in cost the start of the
// process about a megabyte and a few milliseconds under Wine.
#pragma once

#include <windows.h>

namespace vardelune {

class Shell32 {
public:
    Shell32() = default;
    Shell32(const Shell32&) = delete;
    Shell32& operator=(const Shell32&) = delete;
    ~Shell32();

    // The named export, loading the library on first use; throws a
    // ProgramError when either cannot be had.
    template <typename Function>
    Function Get(const char* name) {
        return reinterpret_cast<Function>(reinterpret_cast<void*>(Find(name)));
    }

private:
    FARPROC Find(const char* name);
    HMODULE module_ = nullptr;
};

}  // namespace vardelune
