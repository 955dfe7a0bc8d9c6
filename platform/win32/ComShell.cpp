// Explore through the IShellDispatch vtable. Some shells (Wine's among them)
// answer E_NOTIMPL; the "explore" verb of ShellExecuteW opens the same kind
// of window there, so the caller still gets its file browser.
#include "platform/win32/ComShell.h"

#include "app/ErrorTexts.h"
#include "platform/win32/ComOwners.h"
#include "platform/win32/ErrorText.h"
#include "platform/win32/OleFunctions.h"
#include "platform/win32/SystemLibrary.h"

#include <windows.h>
#include <shellapi.h>
#include <shldisp.h>

namespace vardelune {

namespace {

// The shell's class and its automation interface, declared here so that no
// import library has to supply them.
constexpr CLSID kShellClass = {0x13709620, 0xC279, 0x11CE, {0xA4, 0x9E, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
constexpr IID kShellDispatchInterface = {0xD8F015C0, 0xC278, 0x11CE, {0xA4, 0x9E, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

using ShellExecuteWFunction = HINSTANCE(WINAPI*)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);

void ExploreWithShellExecute(const std::wstring& path) {
    const auto shellExecute = Shell32().Get<ShellExecuteWFunction>("ShellExecuteW");
    const HINSTANCE result = shellExecute(nullptr, L"explore", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    const INT_PTR code = reinterpret_cast<INT_PTR>(result);
    if (code > 32) return;
    // Below SE_ERR_SHARE the codes are Win32 error numbers; the shell's own
    // codes above it have no system text.
    std::wstring text = code < SE_ERR_SHARE ? SystemErrorText(static_cast<DWORD>(code)) : std::wstring();
    if (text.empty()) text = FileBrowserFailureText(static_cast<long>(code));
    throw ProgramError(ErrorNumberKind::ShellResult, static_cast<long>(code), text + L"\r\n" + path);
}

class ComShell : public ShellObject {
public:
    explicit ComShell(ComPtr<IShellDispatch> shell) : shell_(std::move(shell)) {}

    void Explore(const std::wstring& path) override {
        ComVariant folder(path);
        const HRESULT result = shell_->Explore(folder.Get());
        if (result == E_NOTIMPL) return ExploreWithShellExecute(path);
        if (FAILED(result)) throw HresultError(result);
    }

private:
    ComPtr<IShellDispatch> shell_;
};

}  // namespace

std::unique_ptr<ShellObject> CreateComShellObject() {
    ComPtr<IShellDispatch> shell;
    const HRESULT result = ole::CoCreateInstance(kShellClass, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                                 kShellDispatchInterface, shell.ReceiveVoid());
    if (FAILED(result)) throw HresultError(result);
    return std::make_unique<ComShell>(std::move(shell));
}

}  // namespace vardelune
