// Binds ole32 and oleaut32 at the first call. The libraries stay loaded to
// the end of the process: the apartment and the objects made in it are
// released through them as the program ends.
#include "platform/win32/OleFunctions.h"

#include "platform/win32/SystemLibrary.h"

namespace vardelune::ole {

namespace {

using OleInitializeFunction = HRESULT(WINAPI*)(LPVOID);
using OleUninitializeFunction = void(WINAPI*)();
using CoCreateInstanceFunction = HRESULT(WINAPI*)(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID*);
using SysAllocStringLenFunction = BSTR(WINAPI*)(const OLECHAR*, UINT);
using SysFreeStringFunction = void(WINAPI*)(BSTR);
using VariantInitFunction = void(WINAPI*)(VARIANTARG*);
using VariantClearFunction = HRESULT(WINAPI*)(VARIANTARG*);

struct Ole32 {
    OleInitializeFunction oleInitialize;
    OleUninitializeFunction oleUninitialize;
    CoCreateInstanceFunction coCreateInstance;
};

struct OleAut32 {
    SysAllocStringLenFunction sysAllocStringLen;
    SysFreeStringFunction sysFreeString;
    VariantInitFunction variantInit;
    VariantClearFunction variantClear;
};

// The libraries are never freed (see above). A failed lookup leaves the
// functions unset, so that the next call tries again and reports again.
const Ole32& Ole32Functions() {
    static SystemLibrary& library = *new SystemLibrary(L"ole32.dll");
    static const Ole32 functions = [] {
        return Ole32{library.Get<OleInitializeFunction>("OleInitialize"),
                     library.Get<OleUninitializeFunction>("OleUninitialize"),
                     library.Get<CoCreateInstanceFunction>("CoCreateInstance")};
    }();
    return functions;
}

const OleAut32& OleAut32Functions() {
    static SystemLibrary& library = *new SystemLibrary(L"oleaut32.dll");
    static const OleAut32 functions = [] {
        return OleAut32{library.Get<SysAllocStringLenFunction>("SysAllocStringLen"),
                        library.Get<SysFreeStringFunction>("SysFreeString"),
                        library.Get<VariantInitFunction>("VariantInit"),
                        library.Get<VariantClearFunction>("VariantClear")};
    }();
    return functions;
}

}  // namespace

HRESULT OleInitialize(LPVOID reserved) { return Ole32Functions().oleInitialize(reserved); }
void OleUninitialize() { Ole32Functions().oleUninitialize(); }
HRESULT CoCreateInstance(REFCLSID type, LPUNKNOWN outer, DWORD context, REFIID interfaceId, LPVOID* object) {
    return Ole32Functions().coCreateInstance(type, outer, context, interfaceId, object);
}

BSTR SysAllocStringLen(const OLECHAR* text, UINT length) { return OleAut32Functions().sysAllocStringLen(text, length); }
void SysFreeString(BSTR text) {
    if (text) OleAut32Functions().sysFreeString(text);
}
void VariantInit(VARIANTARG* value) { OleAut32Functions().variantInit(value); }
HRESULT VariantClear(VARIANTARG* value) { return OleAut32Functions().variantClear(value); }

}  // namespace vardelune::ole
