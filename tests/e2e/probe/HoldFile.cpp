// Keeps one file open with no sharing at all, for the tests of a deletion
// that meets a file in use: another process cannot open, delete or rename it.
//
//   HoldFile.exe PATH READY   opens PATH, then creates READY and waits until killed
#include <windows.h>

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) return 64;
    const HANDLE held = CreateFileW(argv[1], GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (held == INVALID_HANDLE_VALUE) return static_cast<int>(GetLastError());
    // The marker says the file is held: before it, a test would race the open.
    const HANDLE ready = CreateFileW(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (ready == INVALID_HANDLE_VALUE) return static_cast<int>(GetLastError());
    CloseHandle(ready);
    Sleep(INFINITE);
    return 0;
}
