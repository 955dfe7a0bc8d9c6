// Extended-length paths for the file functions. The prefix switches off the
// system's own clean-up of the path, so the path is made full first.
#include "platform/win32/FsPath.h"

#include "platform/win32/ErrorText.h"

#include <windows.h>

#include <cwchar>
#include <vector>

namespace vardelune {

namespace {

bool StartsWith(const std::wstring& text, const wchar_t* prefix) { return text.compare(0, wcslen(prefix), prefix) == 0; }

bool IsDrivePath(const std::wstring& path) {
    return path.size() >= 3 && ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z')) &&
           path[1] == L':' && path[2] == L'\\';
}

// GetFullPathNameW is pure string work: it resolves "." and "..", turns "/"
// into "\" and accepts any length in its wide form.
std::wstring FullPath(const std::wstring& path) {
    DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    while (size != 0) {
        std::vector<wchar_t> buffer(size);
        const DWORD length = GetFullPathNameW(path.c_str(), size, buffer.data(), nullptr);
        if (length == 0) break;
        if (length < size) return std::wstring(buffer.data(), length);
        size = length;  // the current folder changed in between: try again
    }
    return path;
}

}  // namespace

std::wstring ToSystemPath(const std::wstring& path) {
    if (path.size() < MAX_PATH || StartsWith(path, L"\\\\?\\") || StartsWith(path, L"\\\\.\\")) return path;
    const std::wstring full = FullPath(path);
    if (IsDrivePath(full)) return L"\\\\?\\" + full;
    if (StartsWith(full, L"\\\\")) return L"\\\\?\\UNC\\" + full.substr(2);
    return path;
}

FileHandle OpenFolderForListing(const std::wstring& path) {
    // The right to read its attributes is for the check that it is a folder.
    constexpr DWORD kAccess = FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | SYNCHRONIZE;
    constexpr DWORD kShare = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    FileHandle folder(CreateFileW(ToSystemPath(path).c_str(), kAccess, kShare, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!folder) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return FileHandle();
        throw Win32Error(error);
    }
    BY_HANDLE_FILE_INFORMATION information;
    if (!GetFileInformationByHandle(folder.Get(), &information)) ThrowLastError();
    if (!(information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return FileHandle();
    return folder;
}

}  // namespace vardelune
