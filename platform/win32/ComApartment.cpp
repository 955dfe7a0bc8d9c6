// OleInitialize costs tens of milliseconds under Wine: only the shell object
// needs it, so nothing pays for it at start-up.
#include "platform/win32/ComApartment.h"

#include "platform/win32/ErrorText.h"
#include "platform/win32/OleFunctions.h"

namespace vardelune {

ComApartment::~ComApartment() {
    if (entered_) ole::OleUninitialize();
}

void ComApartment::Enter() {
    if (entered_) return;
    const HRESULT result = ole::OleInitialize(nullptr);
    // S_FALSE: already initialised on this thread, which still counts once.
    if (FAILED(result)) throw HresultError(result);
    entered_ = true;
}

}  // namespace vardelune
