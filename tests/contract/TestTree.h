// Fixture trees for the contract tests: a fresh folder per test under the
// root that the test script names, and small helpers to fill and inspect it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace vardelune::contract {

// The folder the test script prepared (VARDELUNE_CONTRACT_ROOT), holding the
// symbolic links that Win32 cannot make under Wine; a temporary folder when
// the tests run on their own.
std::wstring ContractRoot();

// A new empty folder named after the running test (and the part, when a
// test needs more than one).
std::wstring FreshFolder(const std::wstring& part = L"");

// The extended-length form, so that fixtures can be built at any depth.
std::wstring Extended(const std::wstring& path);

void MakeFolder(const std::wstring& path, DWORD attributes = 0);
void MakeFile(const std::wstring& path, DWORD attributes = 0);
bool Exists(const std::wstring& path);
std::wstring ThisExecutable();

// Sets or (with nullptr) removes an environment variable of this process.
void SetEnvironment(const std::wstring& name, const wchar_t* value);

std::string Narrow(const std::wstring& text);

}  // namespace vardelune::contract
