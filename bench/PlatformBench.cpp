// Times the platform operations below the program one by one: the account
// folder removal (its examination, then its deletion), each call of its
// examination on its own, a plain Win32 recursive delete as the floor that
// the file system sets, and listing.
#include "app/Errors.h"
#include "platform/win32/DirectoryRecords.h"
#include "platform/win32/FsAccountRemoval.h"
#include "platform/win32/FsEnumeration.h"
#include "platform/win32/FsPath.h"
#include "platform/win32/NtFile.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

LARGE_INTEGER Now() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now;
}

// Depth-first, files first, then the emptied folder: the least work a
// Win32 program can do to remove a tree.
bool RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW data;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return false;
    std::vector<std::wstring> folders;
    bool ok = true;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring entry = folder + L"\\" + name;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            folders.push_back(entry);
        else
            ok = DeleteFileW(entry.c_str()) && ok;
    } while (FindNextFileW(search, &data));
    FindClose(search);
    for (const std::wstring& child : folders) ok = RemoveTree(child) && ok;
    return RemoveDirectoryW(folder.c_str()) && ok;
}

// What each call of the examination costs over a whole tree, in milliseconds:
// the removal makes every one of them for every entry.
struct CheckCosts {
    double list = 0, open = 0, tag = 0, id = 0, name = 0, device = 0, close = 0;
};

void TimeChecks(HANDLE folder, CheckCosts& costs) {
    namespace nt = vardelune::nt;
    const nt::Functions& ntdll = nt::Ntdll();
    std::vector<std::pair<std::wstring, bool>> children;
    std::vector<LONGLONG> buffer(8192);
    const ULONG bytes = static_cast<ULONG>(buffer.size() * sizeof(LONGLONG));
    LARGE_INTEGER start = Now();
    for (bool first = true;; first = false) {
        nt::IoStatusBlock io{};
        if (nt::Failed(ntdll.QueryDirectoryFile(folder, nullptr, nullptr, nullptr, &io, buffer.data(), bytes,
                                                nt::kFileIdBothDirectoryInformation, FALSE, nullptr, first)))
            break;
        vardelune::DirectoryRecords records(nt::kFileIdBothDirectoryInformation, buffer.data(), io.information);
        for (vardelune::DirectoryRecord record; records.Next(record);) {
            std::wstring name(record.name, record.nameLength);
            if (name != L"." && name != L"..")
                children.emplace_back(std::move(name), (record.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
        }
    }
    costs.list += Milliseconds(start, Now());
    std::vector<ULONGLONG> answer(512);
    for (const auto& [name, isFolder] : children) {
        nt::UnicodeString counted = nt::Counted(name);
        nt::ObjectAttributes attributes{sizeof attributes, folder, &counted, 0, nullptr, nullptr};
        HANDLE handle = nullptr;
        nt::IoStatusBlock io{};
        start = Now();
        const nt::Status status = ntdll.OpenFile(
            &handle, DELETE | SYNCHRONIZE | FILE_READ_ATTRIBUTES | (isFolder ? FILE_LIST_DIRECTORY : 0), &attributes,
            &io, 0, nt::kSynchronousIo | nt::kOpenForBackupIntent | nt::kOpenReparsePoint |
                         (isFolder ? nt::kDirectoryFile : nt::kNonDirectoryFile));
        LARGE_INTEGER after = Now();
        costs.open += Milliseconds(start, after);
        if (nt::Failed(status)) continue;
        ULONG returned = 0;
        const ULONG size = static_cast<ULONG>(answer.size() * sizeof(ULONGLONG));
        ntdll.QueryInformationFile(handle, &io, answer.data(), size, nt::kFileAttributeTagInformation);
        start = after, after = Now(), costs.tag += Milliseconds(start, after);
        ntdll.QueryInformationFile(handle, &io, answer.data(), size, nt::kFileInternalInformation);
        start = after, after = Now(), costs.id += Milliseconds(start, after);
        ntdll.QueryObject(handle, nt::kObjectNameInformation, answer.data(), size, &returned);
        start = after, after = Now(), costs.name += Milliseconds(start, after);
        if (!isFolder) {
            ntdll.QueryVolumeInformationFile(handle, &io, answer.data(), size, nt::kFileFsDeviceInformation);
            start = after, after = Now(), costs.device += Milliseconds(start, after);
        }
        if (isFolder) TimeChecks(handle, costs);
        start = Now();
        CloseHandle(handle);
        costs.close += Milliseconds(start, Now());
    }
}

int Usage() {
    std::fputs("usage: PlatformBench remove|checks|win32 FOLDER | enum|rawenum|basicenum PATTERN\n", stderr);
    return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) return Usage();
    const std::wstring mode = argv[1];
    const std::wstring path = argv[2];
    try {
        if (mode == L"remove") {
            const size_t slash = path.find_last_of(L'\\');
            vardelune::FsAccountRemoval removal;
            const LARGE_INTEGER start = Now();
            const vardelune::DeletionTarget target =
                removal.Examine(path.substr(0, slash + 1), path.substr(slash + 1), nullptr);
            const LARGE_INTEGER examined = Now();
            if (target.kind == vardelune::DeletionTarget::Kind::Folder) removal.DeleteExamined(nullptr);
            const LARGE_INTEGER end = Now();
            std::printf("examine_ms=%.1f delete_ms=%.1f kind=%d\n", Milliseconds(start, examined),
                        Milliseconds(examined, end), static_cast<int>(target.kind));
        } else if (mode == L"checks") {
            const vardelune::FileHandle folder = vardelune::OpenFolderForListing(path);
            CheckCosts costs;
            if (folder) TimeChecks(folder.Get(), costs);
            std::printf("list_ms=%.1f open_ms=%.1f tag_ms=%.1f id_ms=%.1f name_ms=%.1f device_ms=%.1f close_ms=%.1f\n",
                        costs.list, costs.open, costs.tag, costs.id, costs.name, costs.device, costs.close);
        } else if (mode == L"win32") {
            const LARGE_INTEGER start = Now();
            const bool ok = RemoveTree(path);
            const LARGE_INTEGER end = Now();
            std::printf("win32_ms=%.1f ok=%d\n", Milliseconds(start, end), ok ? 1 : 0);
        } else if (mode == L"enum") {
            // The account list's own enumeration, mask 55 as at start-up.
            vardelune::FsEnumeration enumeration;
            const LARGE_INTEGER start = Now();
            int count = 0;
            for (std::wstring name = enumeration.First(path, 55); !name.empty(); name = enumeration.Next()) ++count;
            const LARGE_INTEGER end = Now();
            std::printf("enum_ms=%.1f count=%d\n", Milliseconds(start, end), count);
        } else if (mode == L"rawenum") {
            // The bare system calls, for what the enumeration itself adds.
            WIN32_FIND_DATAW data;
            const LARGE_INTEGER start = Now();
            int count = 0;
            HANDLE search = FindFirstFileW(path.c_str(), &data);
            if (search != INVALID_HANDLE_VALUE) {
                do ++count;
                while (FindNextFileW(search, &data));
                FindClose(search);
            }
            const LARGE_INTEGER end = Now();
            std::printf("rawenum_ms=%.1f count=%d\n", Milliseconds(start, end), count);
        } else if (mode == L"basicenum") {
            // Without the short 8.3 names, in large batches (Windows 7 and later).
            WIN32_FIND_DATAW data;
            const LARGE_INTEGER start = Now();
            int count = 0;
            HANDLE search = FindFirstFileExW(path.c_str(), static_cast<FINDEX_INFO_LEVELS>(1), &data,
                                             FindExSearchNameMatch, nullptr, 2);
            if (search != INVALID_HANDLE_VALUE) {
                do ++count;
                while (FindNextFileW(search, &data));
                FindClose(search);
            }
            const LARGE_INTEGER end = Now();
            std::printf("basicenum_ms=%.1f count=%d\n", Milliseconds(start, end), count);
        } else {
            return Usage();
        }
    } catch (const vardelune::ProgramError& error) {
        std::fprintf(stderr, "error %ld: %ls\n", error.number(), error.description().c_str());
        return 1;
    }
    std::fflush(stdout);
    return 0;
}
