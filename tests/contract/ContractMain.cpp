// Entry point of the contract tests. COM is not set up here: as in the
// program, the platform starts it when a test first asks it for a COM object
// (the folder deletion, the shell). Two extra modes let a test run this executable as a child
// process (to watch EndProgram, and as a program that ShellExecuteA starts).
#include "platform/win32/Win32Platform.h"

#include <gtest/gtest.h>

#include <cwchar>

int wmain(int argc, wchar_t** argv) {
    if (argc >= 2 && std::wcscmp(argv[1], L"--end-program") == 0) {
        // EndProgram must end the process at once with code 0: the return never runs.
        vardelune::Win32Platform().EndProgram();
        return 3;
    }
    if (argc >= 3 && std::wcscmp(argv[1], L"--write-marker") == 0) {
        // Leaves a file behind to show that it was started.
        HANDLE file = CreateFileW(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return 1;
        CloseHandle(file);
        return 0;
    }

    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
