// What the contract tests share: a fresh folder per test under the root that
// the test script names, helpers to fill and read it, and the waits, the
// error capture and the listing that several groups need.
#pragma once

#include "app/Errors.h"
#include "app/Platform.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace vardelune::contract {

constexpr DWORD kHidden = FILE_ATTRIBUTE_HIDDEN;
constexpr DWORD kSystem = FILE_ATTRIBUTE_SYSTEM;
constexpr DWORD kReadOnly = FILE_ATTRIBUTE_READONLY;

// The folder the test script prepared (VARDELUNE_CONTRACT_ROOT), holding the
// symbolic links that Win32 cannot make under Wine; a temporary folder when
// the tests run on their own.
std::wstring ContractRoot();

// A new empty folder named after the running test (and the part, when a
// test needs more than one).
std::wstring FreshFolder(const std::wstring& part = L"");

void MakeFolder(const std::wstring& path, DWORD attributes = 0);
void MakeFile(const std::wstring& path, DWORD attributes = 0);
// One entry of a tree, under its root; a name that ends in a backslash is a folder.
struct TreeEntry {
    std::wstring name;
    DWORD attributes = 0;
};
void MakeTree(const std::wstring& root, const std::vector<TreeEntry>& entries);
// Nests folders named `level` under `folder` until the path is `length` long; the deepest.
std::wstring MakeDeepFolder(std::wstring folder, const std::wstring& level, size_t length);
bool Exists(const std::wstring& path);
std::wstring ThisExecutable();

// Polls `done` until it holds or the time is up; whether it held.
bool WaitUntil(const std::function<bool()>& done, DWORD milliseconds);

// The error that `action` raises; number 0 when it raises none.
ProgramError ErrorRaisedBy(const std::function<void()>& action);

// Every entry that FindFirstEntry and FindNextEntry give, sorted.
std::vector<std::wstring> ListEntries(Platform& platform, const std::wstring& expression, unsigned mask);

// Runs this executable through ShellExecuteA to leave `marker` behind (see
// ContractMain.cpp), and waits for it.
void ExpectShellExecuteStartsThisProgram(Platform& platform, const std::wstring& marker);

std::string Narrow(const std::wstring& text);

}  // namespace vardelune::contract
