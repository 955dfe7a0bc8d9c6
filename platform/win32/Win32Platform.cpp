// The Win32 platform: thin calls into the system, with the folder removal,
// the shell object and enumeration in their own files.
#include "platform/win32/Win32Platform.h"

#include "platform/win32/ComShell.h"
#include "platform/win32/FsAccountRemoval.h"
#include "platform/win32/RegisteredProgram.h"
#include "platform/win32/SystemLibrary.h"

#include <vector>

namespace vardelune {

namespace {

using ShellExecuteAFunction = HINSTANCE(WINAPI*)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);

const char* TextOrNull(const std::string& text) { return text.empty() ? nullptr : text.c_str(); }

}  // namespace

std::wstring Win32Platform::GetEnvironmentText(const std::wstring& name) {
    DWORD size = GetEnvironmentVariableW(name.c_str(), nullptr, 0);
    while (size != 0) {
        std::vector<wchar_t> buffer(size);
        SetLastError(ERROR_SUCCESS);
        const DWORD length = GetEnvironmentVariableW(name.c_str(), buffer.data(), size);
        if (length < size) {
            if (length == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::wstring();
            return std::wstring(buffer.data(), length);
        }
        size = length;  // the value grew in between: try again with room for it
    }
    return std::wstring();
}

std::wstring Win32Platform::FindFirstEntry(const std::wstring& expression, unsigned attributes) {
    return enumeration_.First(expression, attributes);
}

std::wstring Win32Platform::FindNextEntry() { return enumeration_.Next(); }

std::unique_ptr<FolderDeletionObject> Win32Platform::CreateFolderDeletionObject() {
    return std::make_unique<FsAccountRemoval>();
}

std::unique_ptr<ShellObject> Win32Platform::CreateShellObject() {
    com_.Enter();
    return CreateComShellObject();
}

std::intptr_t Win32Platform::ShellExecuteA(NativeWindowHandle window, const std::string& operation,
                                           const std::string& file, const std::string& parameters,
                                           const std::string& directory, int show) {
    const auto function = Shell32().Get<ShellExecuteAFunction>("ShellExecuteA");
    // A bare program name is started from where Windows registered it, never
    // from a copy that the shell's search would find first beside this program.
    const std::string registered = RegisteredProgramPath(file);
    const std::string& started = registered.empty() ? file : registered;
    const HINSTANCE result = function(reinterpret_cast<HWND>(window), TextOrNull(operation), TextOrNull(started),
                                      TextOrNull(parameters), TextOrNull(directory), show);
    return reinterpret_cast<std::intptr_t>(result);
}

void Win32Platform::EndProgram() { ExitProcess(0); }

}  // namespace vardelune
