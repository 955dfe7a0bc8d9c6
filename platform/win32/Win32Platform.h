// The platform services on Windows: environment, directory enumeration, the
// folder removal, the shell, and the end of the process.
#pragma once

#include "app/Platform.h"
#include "platform/win32/ComApartment.h"
#include "platform/win32/FsEnumeration.h"

namespace vardelune {

class Win32Platform : public Platform {
public:
    Win32Platform() = default;
    Win32Platform(const Win32Platform&) = delete;
    Win32Platform& operator=(const Win32Platform&) = delete;
    ~Win32Platform() override = default;

    std::wstring GetEnvironmentText(const std::wstring& name) override;
    std::wstring FindFirstEntry(const std::wstring& expression, unsigned attributes) override;
    std::wstring FindNextEntry() override;
    std::unique_ptr<FolderDeletionObject> CreateFolderDeletionObject() override;
    std::unique_ptr<ShellObject> CreateShellObject() override;
    std::intptr_t ShellExecuteA(NativeWindowHandle window, const std::string& operation, const std::string& file,
                                const std::string& parameters, const std::string& directory, int show) override;
    [[noreturn]] void EndProgram() override;

private:
    // Before the objects that it serves: a handler's COM object is released
    // when the handler ends, the apartment only with the platform.
    ComApartment com_;
    FsEnumeration enumeration_;
};

}  // namespace vardelune
