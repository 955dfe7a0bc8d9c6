// Fixtures are created through the extended-length form so that a helper
// never hits the path limit that the code under test has to deal with.
#include "TestTree.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace vardelune::contract {

namespace {

void Check(bool done, const char* what, const std::wstring& path) {
    if (!done)
        throw std::runtime_error(std::string(what) + " failed (" + std::to_string(GetLastError()) + "): " +
                                 Narrow(path));
}

std::wstring ReadEnvironment(const wchar_t* name) {
    std::vector<wchar_t> buffer(32768);
    const DWORD length = GetEnvironmentVariableW(name, buffer.data(), static_cast<DWORD>(buffer.size()));
    return length > 0 && length < buffer.size() ? std::wstring(buffer.data(), length) : std::wstring();
}

}  // namespace

std::wstring ContractRoot() {
    static const std::wstring root = [] {
        std::wstring given = ReadEnvironment(L"VARDELUNE_CONTRACT_ROOT");
        if (!given.empty()) return given;
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
    for (char& c : name)
        if (c == '/') c = '-';
    std::wstring folder = ContractRoot() + L"\\" + std::wstring(name.begin(), name.end());
    if (!part.empty()) folder += L"-" + part;
    MakeFolder(folder);
    return folder;
}

std::wstring Extended(const std::wstring& path) {
    return path.compare(0, 4, L"\\\\?\\") == 0 ? path : L"\\\\?\\" + path;
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

std::wstring ThisExecutable() {
    std::vector<wchar_t> buffer(32768);
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    return std::wstring(buffer.data(), length);
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(Extended(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

void SetEnvironment(const std::wstring& name, const wchar_t* value) { SetEnvironmentVariableW(name.c_str(), value); }

std::string Narrow(const std::wstring& text) {
    if (text.empty()) return std::string();
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                         nullptr);
    std::string narrow(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &narrow[0], size, nullptr, nullptr);
    return narrow;
}

}  // namespace vardelune::contract
