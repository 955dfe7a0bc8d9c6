// GIF resources decoded through OLE's picture loader, which keeps the GIF's
// transparent colour as a mask when the picture is rendered.
#include "platform/win32/Pictures.h"

#include "platform/win32/ErrorText.h"
#include "platform/win32/Gdi.h"
#include "resources/ResourceIds.h"

#include <olectl.h>

#include <cstring>

namespace vardelune {

namespace {

// Movable global memory until a stream takes it over.
class GlobalMemory {
public:
    explicit GlobalMemory(SIZE_T size) : memory_(GlobalAlloc(GMEM_MOVEABLE, size)) {}
    GlobalMemory(const GlobalMemory&) = delete;
    GlobalMemory& operator=(const GlobalMemory&) = delete;
    ~GlobalMemory() {
        if (memory_) GlobalFree(memory_);
    }
    HGLOBAL Get() const { return memory_; }
    HGLOBAL Release() {
        HGLOBAL released = memory_;
        memory_ = nullptr;
        return released;
    }

private:
    HGLOBAL memory_;
};

class LockedGlobal {
public:
    explicit LockedGlobal(HGLOBAL memory) : memory_(memory), data_(::GlobalLock(memory)) {}
    LockedGlobal(const LockedGlobal&) = delete;
    LockedGlobal& operator=(const LockedGlobal&) = delete;
    ~LockedGlobal() {
        if (data_) GlobalUnlock(memory_);
    }
    void* Data() const { return data_; }

private:
    HGLOBAL memory_;
    void* data_;
};

[[noreturn]] void ThrowLastError() {
    const DWORD error = GetLastError();
    throw Win32Error(error != 0 ? error : ERROR_RESOURCE_DATA_NOT_FOUND);
}

// A stream over a copy of the resource's bytes: a loaded resource is not
// movable global memory, which is what a stream on global memory needs.
ComPtr<IStream> StreamOverResource(HINSTANCE module, int id, DWORD& size) {
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), L"" VARDELUNE_GIF_TYPE);
    if (!found) ThrowLastError();
    size = SizeofResource(module, found);
    HGLOBAL loaded = LoadResource(module, found);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes || size == 0) ThrowLastError();

    GlobalMemory copy(size);
    if (!copy.Get()) ThrowLastError();
    {
        LockedGlobal lock(copy.Get());
        if (!lock.Data()) ThrowLastError();
        std::memcpy(lock.Data(), bytes, size);
    }
    ComPtr<IStream> stream;
    const HRESULT result = CreateStreamOnHGlobal(copy.Get(), TRUE, stream.Receive());
    if (FAILED(result)) throw HresultError(result);
    copy.Release();  // the stream frees it now
    return stream;
}

}  // namespace

const PictureCache::Entry* PictureCache::Find(int id) const {
    for (const Entry& entry : entries_)
        if (entry.id == id) return &entry;
    return nullptr;
}

void PictureCache::Load(int id) {
    if (id == 0 || Find(id)) return;
    DWORD size = 0;
    ComPtr<IStream> stream = StreamOverResource(module_, id, size);
    ComPtr<IPicture> picture;
    HRESULT result = OleLoadPicture(stream.Get(), static_cast<LONG>(size), FALSE, IID_IPicture, picture.ReceiveVoid());
    if (FAILED(result)) throw HresultError(result);

    Entry entry{id, std::move(picture), 0, 0, {0, 0}};
    result = entry.picture->get_Width(&entry.width);
    if (SUCCEEDED(result)) result = entry.picture->get_Height(&entry.height);
    if (FAILED(result)) throw HresultError(result);

    // The loader measured the picture at the screen's resolution; the same
    // resolution turns it back into whole pixels.
    ScreenDc screen;
    const int dpiX = screen.Get() ? GetDeviceCaps(screen.Get(), LOGPIXELSX) : 96;
    const int dpiY = screen.Get() ? GetDeviceCaps(screen.Get(), LOGPIXELSY) : 96;
    entry.pixels.cx = MulDiv(entry.width, dpiX > 0 ? dpiX : 96, 2540);
    entry.pixels.cy = MulDiv(entry.height, dpiY > 0 ? dpiY : 96, 2540);
    entries_.push_back(std::move(entry));
}

void PictureCache::Draw(HDC dc, int id, int x, int y) const {
    const Entry* entry = Find(id);
    if (!entry) return;
    // HIMETRIC runs upwards: the source starts at the bottom edge and has a
    // negative height, or the picture comes out upside down.
    entry->picture->Render(dc, x, y, entry->pixels.cx, entry->pixels.cy, 0, entry->height, entry->width,
                           -entry->height, nullptr);
}

SIZE PictureCache::PixelSize(int id) const {
    const Entry* entry = Find(id);
    return entry ? entry->pixels : SIZE{0, 0};
}

}  // namespace vardelune
