// Keeps one file open, for the tests of a deletion that meets an entry in
// use: with no sharing at all, another process cannot open, delete or rename
// it; shared, as a file browser or an indexer holds a file or a folder, it
// can be deleted, but stays until it is let go.
//
//   HoldFile.exe PATH READY [shared]   opens PATH, then creates READY and waits until killed
#include <windows.h>

#include <cwchar>

int wmain(int argc, wchar_t** argv) {
    if (argc != 3 && argc != 4) return 64;
    const bool shared = argc == 4 && std::wcscmp(argv[3], L"shared") == 0;
    const HANDLE held =
        shared ? CreateFileW(argv[1], GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr)
               : CreateFileW(argv[1], GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                             nullptr);
    if (held == INVALID_HANDLE_VALUE) return static_cast<int>(GetLastError());
    // The marker says the file is held: before it, a test would race the open.
    const HANDLE ready = CreateFileW(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (ready == INVALID_HANDLE_VALUE) return static_cast<int>(GetLastError());
    CloseHandle(ready);
    Sleep(INFINITE);
    return 0;
}
