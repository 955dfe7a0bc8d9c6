// OleInitialize costs tens of milliseconds under Wine: only the folder
// deletion and the shell object need it, so nothing pays for it at start-up.
#include "platform/win32/ComApartment.h"

#include "platform/win32/ErrorText.h"

#include <ole2.h>

namespace vardelune {

ComApartment::~ComApartment() {
    if (entered_) OleUninitialize();
}

void ComApartment::Enter() {
    if (entered_) return;
    const HRESULT result = OleInitialize(nullptr);
    // S_FALSE: already initialised on this thread, which still counts once.
    if (FAILED(result)) throw HresultError(result);
    entered_ = true;
}

}  // namespace vardelune
