// DeleteFolder is called late-bound, by name, with the path as its only
// argument: no force flag, so read-only content stops the deletion. The
// script runtime reports its errors through EXCEPINFO, often without text.
#include "platform/win32/ComFolderDeletion.h"

#include "app/ErrorTexts.h"
#include "platform/win32/ComBstr.h"
#include "platform/win32/ComPtr.h"
#include "platform/win32/ComVariant.h"
#include "platform/win32/ErrorText.h"
#include "platform/win32/OleFunctions.h"

#include <windows.h>
#include <oleauto.h>

namespace vardelune {

namespace {

// IDispatch and the null interface id, declared here so that no import
// library has to supply them.
constexpr IID kDispatchInterface = {0x00020400, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr IID kNoInterface = {0x00000000, 0x0000, 0x0000, {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}};

// Owns the strings that a failed Invoke leaves in its EXCEPINFO.
struct ExceptionInfo {
    EXCEPINFO info;
    ExceptionInfo() { ZeroMemory(&info, sizeof info); }
    ExceptionInfo(const ExceptionInfo&) = delete;
    ExceptionInfo& operator=(const ExceptionInfo&) = delete;
    ~ExceptionInfo() {
        ole::SysFreeString(info.bstrSource);
        ole::SysFreeString(info.bstrDescription);
        ole::SysFreeString(info.bstrHelpFile);
    }
};

// The script runtime raises its numbered errors as 0x800A00nn (facility
// "control"); the number a script would see is the low word.
ProgramError ScriptError(ExceptionInfo& exception) {
    EXCEPINFO& info = exception.info;
    if (info.pfnDeferredFillIn) info.pfnDeferredFillIn(&info);

    long number;
    if (info.wCode != 0)
        number = info.wCode;
    else if (FAILED(info.scode) && HRESULT_FACILITY(info.scode) == FACILITY_CONTROL)
        number = HRESULT_CODE(info.scode);
    else if (FAILED(info.scode))
        number = static_cast<long>(info.scode);
    else
        number = static_cast<long>(DISP_E_EXCEPTION);

    std::wstring text;
    if (info.bstrDescription) text.assign(info.bstrDescription, ole::SysStringLen(info.bstrDescription));
    if (text.empty()) text = ErrorDescription(number);
    if (text.empty()) return HresultError(FAILED(info.scode) ? info.scode : DISP_E_EXCEPTION);
    return ProgramError(number, text);
}

class ComFolderDeletion : public FolderDeletionObject {
public:
    explicit ComFolderDeletion(ComPtr<IDispatch> object) : object_(std::move(object)) {}

    void DeleteFolder(const std::wstring& path) override {
        LPOLESTR name = const_cast<LPOLESTR>(L"DeleteFolder");
        DISPID method = DISPID_UNKNOWN;
        HRESULT result = object_->GetIDsOfNames(kNoInterface, &name, 1, LOCALE_USER_DEFAULT, &method);
        if (FAILED(result)) throw HresultError(result);

        ComVariant argument(path);
        DISPPARAMS parameters = {&argument.Get(), nullptr, 1, 0};
        ComVariant answer;
        ExceptionInfo exception;
        UINT badArgument = 0;
        result = object_->Invoke(method, kNoInterface, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters,
                                 &answer.Get(), &exception.info, &badArgument);
        if (result == DISP_E_EXCEPTION) throw ScriptError(exception);
        if (FAILED(result)) throw HresultError(result);
    }

private:
    ComPtr<IDispatch> object_;
};

}  // namespace

std::unique_ptr<FolderDeletionObject> CreateComFolderDeletionObject() {
    CLSID type;
    HRESULT result = ole::CLSIDFromProgID(L"Scripting.FileSystemObject", &type);
    if (FAILED(result)) throw HresultError(result);
    ComPtr<IDispatch> object;
    result = ole::CoCreateInstance(type, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, kDispatchInterface,
                                   object.ReceiveVoid());
    if (FAILED(result)) throw HresultError(result);
    return std::make_unique<ComFolderDeletion>(std::move(object));
}

}  // namespace vardelune
