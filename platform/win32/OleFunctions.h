// The ole32 and oleaut32 functions that the program calls, bound on first
// use: a start that never opens the shell loads neither.
// Each library's functions are looked up together, so that once one call has
// succeeded the others (the releases that destructors make) cannot fail.
#pragma once

#include <windows.h>
#include <oleauto.h>

namespace vardelune::ole {

// ole32.dll; each throws a ProgramError when the library or the function is missing.
HRESULT OleInitialize(LPVOID reserved);
void OleUninitialize();
HRESULT CoCreateInstance(REFCLSID type, LPUNKNOWN outer, DWORD context, REFIID interfaceId, LPVOID* object);

// oleaut32.dll; the same, except that freeing a null string loads nothing.
BSTR SysAllocStringLen(const OLECHAR* text, UINT length);
void SysFreeString(BSTR text);
void VariantInit(VARIANTARG* value);
HRESULT VariantClear(VARIANTARG* value);

}  // namespace vardelune::ole
