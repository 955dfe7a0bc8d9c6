// FindFirstEntry / FindNextEntry against real folders: what the account
// listing relies on (every "@" entry, whatever its attributes, bare names,
// nothing at all for a missing folder) and the attribute mask's filtering.
#include "TestTree.h"
#include "cleanup/Accounts.h"
#include "platform/win32/Win32Platform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace vardelune::contract {
namespace {

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
    MakeTree(folder, {{L"plain@hotmail.com\\"}, {L"hidden@hotmail.com\\", kHidden}, {L"system@hotmail.com\\", kSystem},
                      {L"readonly@hotmail.com\\", kReadOnly}, {L"all@hotmail.com\\", kHidden | kSystem | kReadOnly},
                      {L"file@live.fr"}, {L"hiddenfile@live.fr", kHidden | kSystem | kReadOnly},
                      {L"josé@exemple.fr\\"}, {L"用户@例子.中国\\"}, {L"smile\U0001F600@live.fr\\"},
                      {L"no-address\\", kHidden}, {L"contacts.edb"}});
    Win32Platform platform;
    EXPECT_EQ(ListEntries(platform, folder + L"\\*@*", kAccountAttributeMask),
              (std::vector<std::wstring>{L"all@hotmail.com", L"file@live.fr", L"hidden@hotmail.com",
                                         L"hiddenfile@live.fr", L"josé@exemple.fr", L"plain@hotmail.com",
                                         L"readonly@hotmail.com", L"smile\U0001F600@live.fr", L"system@hotmail.com",
                                         L"用户@例子.中国"}));
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
        EXPECT_EQ(platform.FindFirstEntry(expression, kAccountAttributeMask), L"") << Narrow(expression);
        EXPECT_EQ(platform.FindNextEntry(), L"") << Narrow(expression);
    }
}

// Any failure but "not found", in the listing as in the probe of what a
// deletion would remove, reaches the caller with the system's number and text.
TEST(Enumeration, OtherFailuresHereAndInTheProbeRaiseTheSystemsError) {
    Win32Platform platform;
    const std::wstring bad = FreshFolder() + L"\\bad|name";
    for (const bool probe : {false, true}) {
        const ProgramError error = ErrorRaisedBy([&] {
            probe ? (void)platform.CreateFolderDeletionObject()->Examine(bad, L"x@live.fr", nullptr)
                  : (void)platform.FindFirstEntry(bad + L"\\*@*", kAccountAttributeMask);
        });
        EXPECT_EQ(error.number(), ERROR_INVALID_NAME) << "probe " << probe;
        EXPECT_EQ(error.kind(), ErrorNumberKind::Win32) << "probe " << probe;
        EXPECT_FALSE(error.description().empty());
    }
}

TEST(Enumeration, MaskExcludesHiddenSystemAndFoldersItDoesNotName) {
    const std::wstring folder = FreshFolder();
    MakeTree(folder, {{L"normal@x"}, {L"readonly@x", kReadOnly}, {L"hidden@x", kHidden}, {L"system@x", kSystem},
                      {L"hiddensystem@x", kHidden | kSystem}, {L"folder@x\\"}, {L"hiddenfolder@x\\", kHidden}});

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
        EXPECT_EQ(ListEntries(platform, folder + L"\\*@*", c.mask), c.expected) << "mask " << c.mask;
}

TEST(Enumeration, StaysExhaustedAndANewSearchStartsAfresh) {
    const std::wstring folder = FreshFolder(), first = folder + L"\\first", second = first + L"-second";
    MakeTree(folder,
             {{L"first\\"}, {L"first\\a@x\\"}, {L"first\\b@x\\"}, {L"first-second\\"}, {L"first-second\\c@x\\"}});

    Win32Platform platform;
    const std::wstring name = platform.FindFirstEntry(first + L"\\*@*", kAccountAttributeMask);
    EXPECT_TRUE(name == L"a@x" || name == L"b@x") << Narrow(name);
    // A new search in the middle of the first one replaces it.
    EXPECT_EQ(platform.FindFirstEntry(second + L"\\*@*", kAccountAttributeMask), L"c@x");
    EXPECT_EQ(platform.FindNextEntry(), L"");
    EXPECT_EQ(platform.FindNextEntry(), L"");
    EXPECT_EQ(ListEntries(platform, first + L"\\*@*", kAccountAttributeMask), (std::vector<std::wstring>{L"a@x", L"b@x"}));
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
    MakeTree(folder, {{L"sub@x\\"}, {L"hidden-sub@x\\", kHidden}});
    const std::wstring drive = folder.substr(0, 3);  // its drive's root, "C:\\"
    const std::wstring expressions[] = {
        folder + L"\\*@*", folder + L"\\*", folder + L"/*@*", folder + L"\\?ub@?", folder + L"\\sub@x",
        folder + L"\\", drive + L"*", L"\\\\?\\" + folder + L"\\*@*"};
    Win32Platform platform;
    for (const std::wstring& expression : expressions)
        for (const unsigned mask : {kAccountAttributeMask, 0u, 16u})
            EXPECT_EQ(ListEntries(platform, expression, mask), FindFirstFileList(expression, mask))
                << Narrow(expression) << " mask " << mask;
}

TEST(Enumeration, FolderBeyondThePathLimit) {
    const std::wstring folder = MakeDeepFolder(FreshFolder(), L"long-folder-name", 300);
    MakeTree(folder, {{L"deep@hotmail.com\\", kHidden}, {L"deep@live.fr"}});

    Win32Platform platform;
    EXPECT_EQ(ListEntries(platform, folder + L"\\*@*", kAccountAttributeMask),
              (std::vector<std::wstring>{L"deep@hotmail.com", L"deep@live.fr"}));
    EXPECT_EQ(platform.FindFirstEntry(folder + L"\\missing\\*@*", kAccountAttributeMask), L"");
}

}  // namespace
}  // namespace vardelune::contract
