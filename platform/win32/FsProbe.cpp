// An iterative walk with its own stack of folders, so that depth costs heap,
// not call stack; every path goes through the extended form when long.
#include "platform/win32/FsProbe.h"

#include "platform/win32/ErrorText.h"
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/FsPath.h"
#include "platform/win32/FsRealName.h"

#include <vector>

namespace vardelune {

namespace {

bool IsNotFound(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

bool IsDotEntry(const wchar_t* name) {
    return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

std::wstring Child(const std::wstring& folder, const wchar_t* name) {
    if (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/')) return folder + name;
    return folder + L'\\' + name;
}

DeletionTarget Link(const std::wstring& path) { return DeletionTarget{DeletionTarget::Kind::ContainsLink, path}; }

DeletionTarget Unverifiable(const std::wstring& path) {
    return DeletionTarget{DeletionTarget::Kind::Unverifiable, path};
}

}  // namespace

DeletionTarget ProbeFsDeletionTarget(const std::wstring& path) {
    // GetFileAttributesW reports a link itself, not what it points to.
    const DWORD attributes = GetFileAttributesW(ToSystemPath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        if (IsNotFound(error)) return DeletionTarget{};
        throw Win32Error(error);
    }
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return DeletionTarget{DeletionTarget::Kind::File, {}};
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return Link(path);

    const FsRealNameCheck realNames(path);
    std::vector<std::wstring> pending{path};
    while (!pending.empty()) {
        const std::wstring folder = std::move(pending.back());
        pending.pop_back();
        WIN32_FIND_DATAW data;
        FsFindHandle search(FindFirstFileW(ToSystemPath(Child(folder, L"*")).c_str(), &data));
        if (!search.IsOpen()) {
            const DWORD error = GetLastError();
            if (IsNotFound(error)) continue;  // emptied or removed meanwhile: nothing in it to protect
            throw Win32Error(error);
        }
        for (;;) {
            if (!IsDotEntry(data.cFileName)) {
                const std::wstring entry = Child(folder, data.cFileName);
                if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) return Link(entry);
                switch (realNames.PlaceOf(entry)) {
                    case FsRealNameCheck::Placement::Elsewhere:
                        return Link(entry);
                    case FsRealNameCheck::Placement::Unknown:
                        return Unverifiable(entry);
                    case FsRealNameCheck::Placement::Here:
                        break;
                }
                if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) pending.push_back(entry);
            }
            if (!FindNextFileW(search.Get(), &data)) {
                const DWORD error = GetLastError();
                if (error == ERROR_NO_MORE_FILES) break;
                throw Win32Error(error);
            }
        }
    }
    return DeletionTarget{DeletionTarget::Kind::Folder, {}};
}

}  // namespace vardelune
