// The real names of opened files, asked of ntdll, compared with the names the
// walk found them under.
#include "platform/win32/FsRealName.h"

#include "platform/win32/FsPath.h"
#include "platform/win32/UniqueHandle.h"

#include <windows.h>

#include <vector>

namespace vardelune {

namespace {

constexpr int kFileNameInformation = 9;
constexpr long kStatusBufferOverflow = static_cast<long>(0x80000005L);

struct IoStatus {
    void* status;
    ULONG_PTR information;
};

bool RunningUnderWine(HMODULE ntdll) { return GetProcAddress(ntdll, "wine_get_version") != nullptr; }

std::wstring Upper(std::wstring text) {
    if (!text.empty()) CharUpperBuffW(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

// Opened for no access, so that no other process's sharing mode keeps it out.
FileHandle OpenEntry(const std::wstring& path) {
    return FileHandle(CreateFileW(ToSystemPath(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

}  // namespace

FsRealNameCheck::FsRealNameCheck(const std::wstring& root) : root_(root) {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    if (!ntdll || !RunningUnderWine(ntdll)) return;
    needed_ = true;
    query_ = reinterpret_cast<QueryFunction>(reinterpret_cast<void*>(GetProcAddress(ntdll, "NtQueryInformationFile")));
    // The root's own real name stands for every folder above it, links or not.
    rootKnown_ = query_ && RealName(root, realRoot_);
}

bool FsRealNameCheck::RealName(const std::wstring& path, std::wstring& name) const {
    const FileHandle entry = OpenEntry(path);
    if (!entry.IsOpen()) return false;
    std::vector<unsigned char> buffer(1024);
    for (;;) {
        IoStatus status{};
        const long result =
            query_(entry.Get(), &status, buffer.data(), static_cast<unsigned long>(buffer.size()), kFileNameInformation);
        if (result == kStatusBufferOverflow && buffer.size() < 0x10000) {
            buffer.resize(buffer.size() * 4);
            continue;
        }
        if (result < 0) return false;
        ULONG length = 0;
        memcpy(&length, buffer.data(), sizeof length);
        if (length > buffer.size() - sizeof length) return false;
        name.assign(reinterpret_cast<const wchar_t*>(buffer.data() + sizeof length), length / sizeof(wchar_t));
        return true;
    }
}

FsRealNameCheck::Placement FsRealNameCheck::PlaceOf(const std::wstring& entry) const {
    if (!needed_) return Placement::Here;
    // Under Wine this check alone keeps the deletion from the target of a
    // link to a file: an entry that cannot be judged is taken as a link.
    std::wstring real;
    if (!rootKnown_ || entry.compare(0, root_.size(), root_) != 0 || !RealName(entry, real)) return Placement::Unknown;
    std::wstring expected = realRoot_;
    if (!expected.empty() && expected.back() == L'\\') expected.pop_back();
    const std::wstring relative = entry.substr(root_.size());
    if (relative.empty() || relative.front() != L'\\') expected += L'\\';
    return Upper(real) == Upper(expected + relative) ? Placement::Here : Placement::Elsewhere;
}

}  // namespace vardelune
