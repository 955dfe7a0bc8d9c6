// Owners of drawing resources: GDI objects, icons, device contexts and the
// scoped states of one painting (an object selected, a WM_PAINT bracket).
#pragma once

#include "platform/win32/Owners.h"

#include <windows.h>

namespace vardelune {

inline void ReleaseScreenDc(HDC dc) { ReleaseDC(nullptr, dc); }

template <typename T>
using GdiObjectTraits = NullHandleTraits<T, &DeleteObject>;
using IconTraits = NullHandleTraits<HICON, &DestroyIcon>;
using MemoryDcTraits = NullHandleTraits<HDC, &DeleteDC>;
using ScreenDcTraits = NullHandleTraits<HDC, &ReleaseScreenDc>;

// A pen, brush, font or bitmap, deleted when it goes.
template <typename T>
using GdiObject = UniqueHandle<GdiObjectTraits<T>>;
// An icon loaded at one size (not shared), destroyed when it goes.
using IconHandle = UniqueHandle<IconTraits>;

// An object selected into a device context until the end of the scope, so
// that the context never keeps an object that is about to be deleted.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    ~SelectedObject() {
        if (previous_ && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
    }

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// A memory device context compatible with another one.
class MemoryDc : public UniqueHandle<MemoryDcTraits> {
public:
    explicit MemoryDc(HDC compatibleWith) : UniqueHandle(CreateCompatibleDC(compatibleWith)) {}
};

// The screen's device context, for measuring.
class ScreenDc : public UniqueHandle<ScreenDcTraits> {
public:
    ScreenDc() : UniqueHandle(GetDC(nullptr)) {}
};

// BeginPaint and EndPaint around the painting of one WM_PAINT.
class PaintDc {
public:
    explicit PaintDc(HWND window) : window_(window) { dc_ = BeginPaint(window_, &paint_); }
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;
    ~PaintDc() { EndPaint(window_, &paint_); }
    HDC Get() const { return dc_; }
    const RECT& Area() const { return paint_.rcPaint; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_ = nullptr;
};

}  // namespace vardelune
