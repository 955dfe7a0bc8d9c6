// Fixtures are created through the extended-length form so that a helper
// never hits the path limit that the code under test has to deal with.
#include "TestTree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

namespace vardelune::contract {

namespace {

// The extended-length form, so that fixtures can be built at any depth.
std::wstring Extended(const std::wstring& path) {
    return path.compare(0, 4, L"\\\\?\\") == 0 ? path : L"\\\\?\\" + path;
}

void Check(bool done, const char* what, const std::wstring& path) {
    if (!done)
        throw std::runtime_error(std::string(what) + " failed (" + std::to_string(GetLastError()) + "): " +
                                 Narrow(path));
}

}  // namespace

std::wstring ContractRoot() {
    static const std::wstring root = [] {
        const wchar_t* given = _wgetenv(L"VARDELUNE_CONTRACT_ROOT");
        if (given && *given) return std::wstring(given);
        std::vector<wchar_t> temp(MAX_PATH + 1);
        GetTempPathW(static_cast<DWORD>(temp.size()), temp.data());
        std::wstring made = std::wstring(temp.data()) + L"vardelune-contract-" + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(made.c_str(), nullptr);
        return made;
    }();
    return root;
}

std::wstring FreshFolder(const std::wstring& part) {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(test->test_suite_name()) + "." + test->name();
    std::replace(name.begin(), name.end(), '/', '-');
    std::wstring folder = ContractRoot() + L"\\" + std::wstring(name.begin(), name.end());
    if (!part.empty()) folder += L"-" + part;
    MakeFolder(folder);
    return folder;
}

void MakeFolder(const std::wstring& path, DWORD attributes) {
    Check(CreateDirectoryW(Extended(path).c_str(), nullptr) != 0, "CreateDirectoryW", path);
    if (attributes) Check(SetFileAttributesW(Extended(path).c_str(), attributes) != 0, "SetFileAttributesW", path);
}

void MakeFile(const std::wstring& path, DWORD attributes) {
    HANDLE file = CreateFileW(Extended(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    Check(file != INVALID_HANDLE_VALUE, "CreateFileW", path);
    DWORD written = 0;
    WriteFile(file, "contract", 8, &written, nullptr);
    CloseHandle(file);
    if (attributes) Check(SetFileAttributesW(Extended(path).c_str(), attributes) != 0, "SetFileAttributesW", path);
}

void MakeTree(const std::wstring& root, const std::vector<TreeEntry>& entries) {
    for (const TreeEntry& entry : entries) {
        const std::wstring path = root + L"\\" + entry.name;
        path.back() == L'\\' ? MakeFolder(path.substr(0, path.size() - 1), entry.attributes)
                              : MakeFile(path, entry.attributes);
    }
}

std::wstring MakeDeepFolder(std::wstring folder, const std::wstring& level, size_t length) {
    while (folder.size() < length) {
        folder += L"\\" + level;
        MakeFolder(folder);
    }
    return folder;
}

std::wstring ThisExecutable() {
    std::vector<wchar_t> buffer(32768);
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    return std::wstring(buffer.data(), length);
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(Extended(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

bool WaitUntil(const std::function<bool()>& done, DWORD milliseconds) {
    for (DWORD waited = 0; waited < milliseconds && !done(); waited += 50) Sleep(50);
    return done();
}

ProgramError ErrorRaisedBy(const std::function<void()>& action) {
    try {
        action();
    } catch (const ProgramError& error) {
        return error;
    }
    return ProgramError(ErrorNumberKind::Runtime, 0, L"");
}

std::vector<std::wstring> ListEntries(Platform& platform, const std::wstring& expression, unsigned mask) {
    std::vector<std::wstring> names;
    for (std::wstring name = platform.FindFirstEntry(expression, mask); !name.empty(); name = platform.FindNextEntry())
        names.push_back(name);
    std::sort(names.begin(), names.end());
    return names;
}

void ExpectShellExecuteStartsThisProgram(Platform& platform, const std::wstring& marker) {
    const std::string parameters = "--write-marker \"" + Narrow(marker) + "\"";
    EXPECT_GT(platform.ShellExecuteA(0, "open", Narrow(ThisExecutable()), parameters, "C:\\Windows\\", 1), 32);
    EXPECT_TRUE(WaitUntil([&] { return Exists(marker); }, 30000)) << "no marker " << Narrow(marker);
}

std::string Narrow(const std::wstring& text) {
    if (text.empty()) return std::string();
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                         nullptr);
    std::string narrow(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &narrow[0], size, nullptr, nullptr);
    return narrow;
}

}  // namespace vardelune::contract
