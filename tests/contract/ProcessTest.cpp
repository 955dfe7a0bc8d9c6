// EndProgram and ShellExecuteA, watched from outside: this executable is run
// again as a child in one of its extra modes (see ContractMain.cpp).
#include "TestTree.h"
#include "platform/win32/Win32Platform.h"

#include <gtest/gtest.h>

#include <vector>

namespace vardelune::contract {
namespace {

bool WaitForFile(const std::wstring& path, DWORD milliseconds) {
    for (DWORD waited = 0; waited < milliseconds; waited += 100) {
        if (Exists(path)) return true;
        Sleep(100);
    }
    return Exists(path);
}

TEST(Process, EndProgramEndsAtOnceWithCodeZero) {
    std::wstring command = L"\"" + ThisExecutable() + L"\" --end-program";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
    CloseHandle(process.hThread);
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 30000), WAIT_OBJECT_0);
    DWORD code = 99;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    EXPECT_EQ(code, 0u);  // the child returns 3 if EndProgram comes back
}

TEST(Process, ShellExecuteAStartsTheProgram) {
    const std::wstring marker = FreshFolder() + L"\\started.txt";
    const std::string file = Narrow(ThisExecutable());
    const std::string parameters = "--write-marker \"" + Narrow(marker) + "\"";
    Win32Platform platform;
    const std::intptr_t result = platform.ShellExecuteA(0, "open", file, parameters, "C:\\Windows\\", 1);
    EXPECT_GT(result, 32);
    EXPECT_TRUE(WaitForFile(marker, 30000));
}

TEST(Process, ShellExecuteAOfAMissingProgramReportsWithoutStopping) {
    Win32Platform platform;
    // Empty strings go to the shell as null pointers: no parameters here.
    const std::intptr_t result =
        platform.ShellExecuteA(0, "open", "vardelune-no-such-program.exe", "", "C:\\Windows\\", 1);
    EXPECT_LE(result, 32);
    EXPECT_GT(result, 0);
}

}  // namespace
}  // namespace vardelune::contract
