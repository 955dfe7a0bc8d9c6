// EndProgram and ShellExecuteA, watched from outside: this executable is run
// again as a child in one of its extra modes (see ContractMain.cpp).
#include "TestTree.h"
#include "platform/win32/Win32Platform.h"

#include <gtest/gtest.h>

namespace vardelune::contract {
namespace {

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
    Win32Platform platform;
    ExpectShellExecuteStartsThisProgram(platform, FreshFolder() + L"\\started.txt");
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
