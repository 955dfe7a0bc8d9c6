// FindFirstEntry / FindNextEntry against real folders: what the account
// listing relies on (every "@" entry, whatever its attributes, bare names,
// nothing at all for a missing folder) and the attribute mask's filtering.
#include "TestTree.h"
#include "platform/win32/Win32Platform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <vector>

namespace vardelune::contract {
namespace {

constexpr unsigned kAccountMask = 55;
constexpr DWORD kHidden = FILE_ATTRIBUTE_HIDDEN;
constexpr DWORD kSystem = FILE_ATTRIBUTE_SYSTEM;
constexpr DWORD kReadOnly = FILE_ATTRIBUTE_READONLY;

std::vector<std::wstring> ListAll(Platform& platform, const std::wstring& expression, unsigned mask) {
    std::vector<std::wstring> names;
    for (std::wstring name = platform.FindFirstEntry(expression, mask); !name.empty(); name = platform.FindNextEntry())
        names.push_back(name);
    std::sort(names.begin(), names.end());
    return names;
}

// The reference: what FindFirstFileW lists, with the mask applied as the
// program applies it.
std::vector<std::wstring> FindFirstFileList(const std::wstring& expression, unsigned mask) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    const HANDLE search = FindFirstFileW(expression.c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return names;
    do
        if (AttributesAllowed(data.dwFileAttributes, mask)) names.push_back(data.cFileName);
    while (FindNextFileW(search, &data));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

TEST(Enumeration, ListsEveryAtEntryWhateverItsAttributes) {
    const std::wstring folder = FreshFolder();
    struct Entry {
        const wchar_t* name;
        bool folder;
        DWORD attributes;
    };
    const Entry entries[] = {
        {L"plain@hotmail.com", true, 0}, {L"hidden@hotmail.com", true, kHidden}, {L"system@hotmail.com", true, kSystem},
        {L"readonly@hotmail.com", true, kReadOnly}, {L"all@hotmail.com", true, kHidden | kSystem | kReadOnly},
        {L"file@live.fr", false, 0}, {L"hiddenfile@live.fr", false, kHidden | kSystem | kReadOnly},
        {L"josé@exemple.fr", true, 0}, {L"用户@例子.中国", true, 0}, {L"smile\U0001F600@live.fr", true, 0},
        {L"no-address", true, kHidden}, {L"contacts.edb", false, 0}};
    std::vector<std::wstring> accounts;
    for (const Entry& entry : entries) {
        (entry.folder ? MakeFolder : MakeFile)(folder + L"\\" + entry.name, entry.attributes);
        if (std::wcschr(entry.name, L'@')) accounts.push_back(entry.name);
    }
    std::sort(accounts.begin(), accounts.end());

    Win32Platform platform;
    EXPECT_EQ(ListAll(platform, folder + L"\\*@*", kAccountMask), accounts);
}

TEST(Enumeration, MissingFolderOrNoMatchGivesNothing) {
    const std::wstring folder = FreshFolder();
    MakeFile(folder + L"\\no-address.txt");
    const std::wstring expressions[] = {
        folder + L"\\no-address.txt\\*@*",       // a file where the folder should be
        folder + L"\\*@*",                       // no match
        folder + L"\\missing\\*@*",              // missing folder
        folder + L"\\missing\\deeper\\*@*",      // missing parent too
        L"\\Local Settings\\Application Data\\Microsoft\\Messenger\\*@*",  // unset profile
    };
    Win32Platform platform;
    for (const std::wstring& expression : expressions) {
        EXPECT_EQ(platform.FindFirstEntry(expression, kAccountMask), L"") << Narrow(expression);
        EXPECT_EQ(platform.FindNextEntry(), L"") << Narrow(expression);
    }
}

// Any failure but "not found", in the listing as in the probe of what a
// deletion would remove, reaches the caller with the system's number and text.
TEST(Enumeration, OtherFailuresHereAndInTheProbeRaiseTheSystemsError) {
    Win32Platform platform;
    const std::wstring bad = FreshFolder() + L"\\bad|name";
    for (const bool probe : {false, true}) {
        try {
            probe ? (void)platform.CreateFolderDeletionObject()->Examine(bad, L"x@live.fr", nullptr)
                  : (void)platform.FindFirstEntry(bad + L"\\*@*", kAccountMask);
            ADD_FAILURE() << "no error raised, probe " << probe;
        } catch (const ProgramError& error) {
            EXPECT_EQ(error.number(), ERROR_INVALID_NAME);
            EXPECT_FALSE(error.description().empty());
        }
    }
}

TEST(Enumeration, MaskExcludesHiddenSystemAndFoldersItDoesNotName) {
    const std::wstring folder = FreshFolder();
    MakeFile(folder + L"\\normal@x");
    MakeFile(folder + L"\\readonly@x", kReadOnly);
    MakeFile(folder + L"\\hidden@x", kHidden);
    MakeFile(folder + L"\\system@x", kSystem);
    MakeFile(folder + L"\\hiddensystem@x", kHidden | kSystem);
    MakeFolder(folder + L"\\folder@x");
    MakeFolder(folder + L"\\hiddenfolder@x", kHidden);

    struct Case {
        unsigned mask;
        std::vector<std::wstring> expected;
    };
    const Case cases[] = {
        {0, {L"normal@x", L"readonly@x"}},
        {1 | 32, {L"normal@x", L"readonly@x"}},
        {2, {L"hidden@x", L"normal@x", L"readonly@x"}},
        {4, {L"normal@x", L"readonly@x", L"system@x"}},
        {16, {L"folder@x", L"normal@x", L"readonly@x"}},
        {2 | 4, {L"hidden@x", L"hiddensystem@x", L"normal@x", L"readonly@x", L"system@x"}},
        {2 | 16, {L"folder@x", L"hidden@x", L"hiddenfolder@x", L"normal@x", L"readonly@x"}},
    };
    Win32Platform platform;
    for (const Case& c : cases)
        EXPECT_EQ(ListAll(platform, folder + L"\\*@*", c.mask), c.expected) << "mask " << c.mask;
}

TEST(Enumeration, StaysExhaustedAndANewSearchStartsAfresh) {
    const std::wstring first = FreshFolder() + L"\\first";
    const std::wstring second = first + L"-second";
    MakeFolder(first);
    MakeFolder(second);
    MakeFolder(first + L"\\a@x");
    MakeFolder(first + L"\\b@x");
    MakeFolder(second + L"\\c@x");

    Win32Platform platform;
    const std::wstring name = platform.FindFirstEntry(first + L"\\*@*", kAccountMask);
    EXPECT_TRUE(name == L"a@x" || name == L"b@x") << Narrow(name);
    // A new search in the middle of the first one replaces it.
    EXPECT_EQ(platform.FindFirstEntry(second + L"\\*@*", kAccountMask), L"c@x");
    EXPECT_EQ(platform.FindNextEntry(), L"");
    EXPECT_EQ(platform.FindNextEntry(), L"");
    EXPECT_EQ(ListAll(platform, first + L"\\*@*", kAccountMask), (std::vector<std::wstring>{L"a@x", L"b@x"}));
    EXPECT_EQ(platform.FindNextEntry(), L"");
}

// The listing reads folders through the system call beneath FindFirstFileW,
// many entries at a time: both must agree on every form of expression, over
// more entries than one read holds.
TEST(Enumeration, AgreesWithFindFirstFileOnEveryFormOfExpression) {
    const std::wstring folder = FreshFolder();
    for (int n = 0; n < 700; ++n)
        MakeFile(folder + L"\\" + std::wstring(100, static_cast<wchar_t>(L'a' + n % 26)) + std::to_wstring(n) +
                     (n % 2 ? L"@x" : L""),
                 n % 3 ? 0 : kHidden);
    MakeFolder(folder + L"\\sub@x");
    MakeFolder(folder + L"\\hidden-sub@x", kHidden);
    const std::wstring drive = folder.substr(0, 3);  // its drive's root, "C:\\"
    const std::wstring expressions[] = {
        folder + L"\\*@*", folder + L"\\*", folder + L"/*@*", folder + L"\\?ub@?", folder + L"\\sub@x",
        folder + L"\\", drive + L"*", L"\\\\?\\" + folder + L"\\*@*"};
    Win32Platform platform;
    for (const std::wstring& expression : expressions)
        for (const unsigned mask : {kAccountMask, 0u, 16u})
            EXPECT_EQ(ListAll(platform, expression, mask), FindFirstFileList(expression, mask))
                << Narrow(expression) << " mask " << mask;
}

TEST(Enumeration, FolderBeyondThePathLimit) {
    std::wstring folder = FreshFolder();
    while (folder.size() < 300) {
        folder += L"\\long-folder-name-" + std::to_wstring(folder.size());
        MakeFolder(folder);
    }
    MakeFolder(folder + L"\\deep@hotmail.com", kHidden);
    MakeFile(folder + L"\\deep@live.fr");

    Win32Platform platform;
    EXPECT_EQ(ListAll(platform, folder + L"\\*@*", kAccountMask),
              (std::vector<std::wstring>{L"deep@hotmail.com", L"deep@live.fr"}));
    EXPECT_EQ(platform.FindFirstEntry(folder + L"\\missing\\*@*", kAccountMask), L"");
}

}  // namespace
}  // namespace vardelune::contract
