// Stands in for msnmsgr.exe in the end-to-end tests: proves that the program
// started it by writing a marker file (path in VARDELUNE_STUB_MARKER, else
// msnmsgr-started.txt beside this executable) holding its working folder and,
// on the next line, its own path.
#include <windows.h>

#include <string>

int wmain() {
    wchar_t path[MAX_PATH * 2] = L"";
    if (!GetEnvironmentVariableW(L"VARDELUNE_STUB_MARKER", path, MAX_PATH * 2)) {
        const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
        std::wstring own(path, length);
        own = own.substr(0, own.find_last_of(L'\\') + 1) + L"msnmsgr-started.txt";
        lstrcpynW(path, own.c_str(), MAX_PATH * 2);
    }
    wchar_t folder[MAX_PATH] = L"";
    const DWORD folderLength = GetCurrentDirectoryW(MAX_PATH, folder);

    const HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    char utf8[MAX_PATH * 4];
    const int size = WideCharToMultiByte(CP_UTF8, 0, folder, static_cast<int>(folderLength), utf8, sizeof utf8,
                                         nullptr, nullptr);
    DWORD written = 0;
    WriteFile(file, utf8, static_cast<DWORD>(size), &written, nullptr);
    wchar_t self[MAX_PATH] = L"\n";
    const DWORD selfLength = GetModuleFileNameW(nullptr, self + 1, MAX_PATH - 1);
    const int selfSize = WideCharToMultiByte(CP_UTF8, 0, self, static_cast<int>(selfLength + 1), utf8, sizeof utf8,
                                             nullptr, nullptr);
    WriteFile(file, utf8, static_cast<DWORD>(selfSize), &written, nullptr);
    CloseHandle(file);
    return 0;
}
