// The search handle is closed as soon as the search is exhausted, so that a
// finished listing keeps no folder open.
#include "platform/win32/FsEnumeration.h"

#include "platform/win32/ErrorText.h"
#include "platform/win32/FsPath.h"

namespace vardelune {

namespace {

constexpr DWORD kFilteredAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY;

}  // namespace

bool AttributesAllowed(DWORD entryAttributes, unsigned mask) {
    return (entryAttributes & kFilteredAttributes & ~static_cast<DWORD>(mask)) == 0;
}

std::wstring FsEnumeration::First(const std::wstring& expression, unsigned attributes) {
    search_.Close();
    attributes_ = attributes;
    WIN32_FIND_DATAW data;
    FsFindHandle search(FindFirstFileW(ToSystemPath(expression).c_str(), &data));
    if (!search.IsOpen()) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_NO_MORE_FILES)
            return std::wstring();
        throw Win32Error(error);
    }
    search_ = std::move(search);
    return Allowed(data);
}

std::wstring FsEnumeration::Next() {
    if (!search_.IsOpen()) return std::wstring();
    WIN32_FIND_DATAW data;
    if (!FindNextFileW(search_.Get(), &data)) {
        const DWORD error = GetLastError();
        search_.Close();
        if (error == ERROR_NO_MORE_FILES) return std::wstring();
        throw Win32Error(error);
    }
    return Allowed(data);
}

std::wstring FsEnumeration::Allowed(WIN32_FIND_DATAW& data) {
    while (!AttributesAllowed(data.dwFileAttributes, attributes_)) {
        if (!FindNextFileW(search_.Get(), &data)) {
            const DWORD error = GetLastError();
            search_.Close();
            if (error == ERROR_NO_MORE_FILES) return std::wstring();
            throw Win32Error(error);
        }
    }
    return data.cFileName;
}

}  // namespace vardelune
