// The account folder removal against real trees: what Examine finds (the
// symbolic links and the swap are made on the Unix side by run-contract.sh),
// what DeleteExamined removes, and what stops it.
#include "TestTree.h"
#include "platform/win32/Win32Platform.h"

#include <gtest/gtest.h>

namespace vardelune::contract {
namespace {

using Kind = DeletionTarget::Kind;

// In the order of DeletionTarget::Kind, for readable failures.
const char* const kKindNames[] = {"Absent", "File", "Folder", "ContainsLink", "Unverifiable", "OnlyCaseVariant"};
const char* KindName(Kind kind) { return kKindNames[static_cast<int>(kind)]; }

std::unique_ptr<FolderDeletionObject> NewRemoval() { return Win32Platform().CreateFolderDeletionObject(); }

void ExpectTarget(const std::wstring& folder, const std::wstring& name, Kind kind, const std::wstring& entryPath = L"",
                  EntryDoubt doubt = EntryDoubt::Unreadable) {
    DeletionTarget target;
    const ProgramError error = ErrorRaisedBy([&] { target = NewRemoval()->Examine(folder, name, nullptr); });
    const std::string where = Narrow(folder + L"\\" + name);
    ASSERT_EQ(error.number(), 0) << where << ": " << Narrow(error.description());
    EXPECT_STREQ(KindName(target.kind), KindName(kind)) << where;
    EXPECT_EQ(target.entryPath, entryPath) << where;
    if (kind == Kind::Unverifiable) {
        EXPECT_EQ(static_cast<int>(target.doubt), static_cast<int>(doubt)) << where;
    }
}

// Examines, then deletes; the error raised, number 0 when none.
ProgramError Removal(const std::wstring& folder, const std::wstring& name, const Progress& progress = nullptr) {
    auto removal = NewRemoval();
    return ErrorRaisedBy([&] {
        if (removal->Examine(folder, name, progress).kind != Kind::Folder)
            throw ProgramError(ErrorNumberKind::Runtime, -1, L"not examined as a folder");
        removal->DeleteExamined(progress);
    });
}

TEST(Removal, ExaminesWhatLiesAtTheExactName) {
    const std::wstring folder = FreshFolder();
    MakeTree(folder, {{L"account@live.fr", kReadOnly}, {L"empty@live.fr\\"}, {L"Full@Live.fr\\", kHidden},
                      {L"Full@Live.fr\\sub\\", kSystem}, {L"Full@Live.fr\\sub\\contacts.edb", kHidden},
                      {L"josé@exemple.fr\\"}, {L"ab@cdefghijkl.fr\\"}});

    struct Case {
        std::wstring folder, name;
        Kind kind;
    };
    const Case cases[] = {
        {folder, L"missing@live.fr", Kind::Absent},
        {folder + L"\\missing", L"missing@live.fr", Kind::Absent},
        {folder + L"\\account@live.fr", L"x@live.fr", Kind::Absent},  // the data folder is a file
        {folder, L"account@live.fr", Kind::File},
        {folder, L"empty@live.fr", Kind::Folder},
        {folder, L"Full@Live.fr", Kind::Folder},
        {folder + L"\\", L"Full@Live.fr", Kind::Folder},
        // The folder ignores case, as on Windows: the one entry that the
        // system opens by that name is the account's.
        {folder, L"full@live.fr", Kind::Folder},
        {folder, L"josé@exemple.fr", Kind::Folder},
    };
    for (const Case& c : cases) ExpectTarget(c.folder, c.name, c.kind);

    // A short alias names another entry: never that one.
    std::vector<wchar_t> alias(MAX_PATH);
    const DWORD length = GetShortPathNameW((folder + L"\\ab@cdefghijkl.fr").c_str(), alias.data(), MAX_PATH);
    const std::wstring shortName(alias.data(), length);
    const std::wstring shortLeaf = shortName.substr(shortName.find_last_of(L'\\') + 1);
    if (length > 0 && shortLeaf != L"ab@cdefghijkl.fr") ExpectTarget(folder, shortLeaf, Kind::Absent);
}

TEST(Removal, RefusesANameThatIsAPath) {
    const std::wstring folder = FreshFolder();
    MakeFolder(folder + L"\\keep");
    for (const wchar_t* name : {L"..\\keep", L"a\\..\\keep", L"..", L"a*@live.fr", L"x/y@live.fr", L"a<b@live.fr",
                                L"a:b@live.fr", L"point@live.fr.", L"espace@live.fr "})
        EXPECT_EQ(ErrorRaisedBy([&] { NewRemoval()->Examine(folder + L"\\keep", name, nullptr); }).number(), 52)
            << Narrow(name);
    EXPECT_TRUE(Exists(folder + L"\\keep"));
}

TEST(Removal, RemovesWholeTreesDeepAndLong) {
    const std::wstring folder = FreshFolder();
    MakeFolder(folder + L"\\neighbour@hotmail.com");
    // Device names mean nothing to an open relative to a folder's handle.
    std::vector<std::wstring> accounts{L"someone@hotmail.com", L"josé@exemple.fr", L"用户@例子.中国",
                                       L"smile\U0001F600@live.fr", L"con.tact@live.fr", L"aux.dupont@live.fr",
                                       L"lpt1.fan@live.fr"};
    for (const std::wstring& account : accounts) {
        MakeTree(folder, {{account + L"\\"}, {account + L"\\contacts.edb"}, {account + L"\\hidden\\", kHidden},
                          {account + L"\\hidden\\settings.dat", kHidden}, {account + L"\\system\\", kSystem},
                          {account + L"\\system\\desktop.ini", kSystem}, {account + L"\\both\\", kHidden | kSystem},
                          {account + L"\\both\\nested\\", kHidden | kSystem}, {account + L"\\both\\nested\\avatar.dat"}});
    }
    // A hundred levels deep, and past the path limit.
    std::wstring path = folder + L"\\deep@live.fr";
    MakeFolder(path);
    for (int level = 0; level < 100; ++level) {
        path += L"\\" + std::to_wstring(level);
        MakeFolder(path);
        MakeFile(path + L"\\f.txt");
    }
    EXPECT_GT(path.size(), 260u);
    accounts.push_back(L"deep@live.fr");

    for (const std::wstring& account : accounts) {
        int calls = 0;
        const ProgramError error = Removal(folder, account, [&calls] { ++calls; });
        EXPECT_EQ(error.number(), 0) << Narrow(account) << ": " << Narrow(error.description());
        EXPECT_FALSE(Exists(folder + L"\\" + account)) << Narrow(account);
        EXPECT_GT(calls, 2) << "no progress reported while removing " << Narrow(account);
    }
    EXPECT_TRUE(Exists(folder + L"\\neighbour@hotmail.com"));

    // The data folder's own path beyond the limit.
    const std::wstring longFolder = MakeDeepFolder(FreshFolder(L"long"), L"a-rather-long-folder-name", 280);
    MakeTree(longFolder, {{L"far@live.fr\\"}, {L"far@live.fr\\file.txt"}});
    EXPECT_EQ(Removal(longFolder, L"far@live.fr").number(), 0);
    EXPECT_FALSE(Exists(longFolder + L"\\far@live.fr"));
}

// What would stop the deletion midway stops the examination, before anything
// is deleted: read-only content, and content that another program holds open,
// whether it shares it for deletion or not. (Wine cannot make a folder
// read-only from Windows: the end-to-end cases do it on the Unix side.)
TEST(Removal, WhatWouldStopTheDeletionStopsTheExamination) {
    struct Case {
        const char* what;
        std::wstring inside;  // the entry that stops it, inside the account folder
        DWORD attributes;
        DWORD heldSharing;  // held open by another handle with this sharing; kNotHeld: not held
        const wchar_t* text;
    };
    constexpr DWORD kNotHeld = ~0u;
    const Case cases[] = {
        {"a read-only file", L"a\\locked.dat", kReadOnly, kNotHeld, L"lecture seule"},
        {"a file held, shared for deletion", L"a\\open.dat", 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
         L"un autre programme"},
        {"a folder held, shared for deletion", L"a\\b\\", 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
         L"un autre programme"},
        {"a file held without sharing", L"a\\open.dat", 0, 0, L"un autre programme"},
    };
    int number = 0;
    for (const Case& c : cases) {
        const std::wstring folder = FreshFolder(std::to_wstring(++number));
        const std::wstring account = folder + L"\\someone@hotmail.com";
        MakeTree(folder, {{L"someone@hotmail.com\\"}, {L"someone@hotmail.com\\first.dat"},
                          {L"someone@hotmail.com\\a\\"}, {L"someone@hotmail.com\\a\\b\\"},
                          {L"someone@hotmail.com\\a\\b\\c.dat"}, {L"someone@hotmail.com\\a\\open.dat"},
                          {L"someone@hotmail.com\\a\\locked.dat"}});
        std::wstring entry = account + L"\\" + c.inside;
        if (entry.back() == L'\\') entry.pop_back();
        if (c.attributes) {
            ASSERT_TRUE(SetFileAttributesW(entry.c_str(), c.attributes)) << c.what;
        }
        HANDLE held = INVALID_HANDLE_VALUE;
        if (c.heldSharing != kNotHeld) {
            held = CreateFileW(entry.c_str(), GENERIC_READ, c.heldSharing, nullptr, OPEN_EXISTING,
                               FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        }
        const ProgramError error =
            ErrorRaisedBy([&] { NewRemoval()->Examine(folder, L"someone@hotmail.com", nullptr); });
        if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
        EXPECT_EQ(error.number(), 70) << c.what << ": " << Narrow(error.description());
        EXPECT_NE(error.description().find(c.text), std::wstring::npos) << c.what << ": " << Narrow(error.description());
        EXPECT_NE(error.description().find(entry + L"\r\nRien n'a été supprimé"), std::wstring::npos)
            << c.what << ": " << Narrow(error.description());
        EXPECT_TRUE(Exists(account + L"\\first.dat")) << c.what;
    }
}

// A file browser showing the account folder holds it open, shared for
// deletion: the folder is deleted, or marked for deletion until the browser
// lets it go, and that is no failure.
TEST(Removal, TheAccountFolderHeldOpenIsDeletedWhenItIsLetGo) {
    const std::wstring folder = FreshFolder();
    MakeTree(folder, {{L"vu@live.fr\\"}, {L"vu@live.fr\\sub\\"}, {L"vu@live.fr\\sub\\f.dat"}});
    const std::wstring account = folder + L"\\vu@live.fr";
    HANDLE browser = CreateFileW(account.c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    ASSERT_NE(browser, INVALID_HANDLE_VALUE);
    const ProgramError error = Removal(folder, L"vu@live.fr");
    CloseHandle(browser);
    EXPECT_EQ(error.number(), 0) << Narrow(error.description());
    EXPECT_FALSE(Exists(account + L"\\sub"));
    WaitUntil([&] { return !Exists(account); }, 5000);
    EXPECT_FALSE(Exists(account));
}

// The links under the script's "links" folder (see run-contract.sh). Wine 8
// shows a link to a file as a plain file, found by its real name only.
TEST(Removal, FindsLinksWithoutFollowingThem) {
    const std::wstring links = ContractRoot() + L"\\links";
    if (!Exists(links + L"\\target\\precious.txt")) GTEST_SKIP() << "no link fixture: run through run-contract.sh";

    std::wstring deepLink = links + L"\\holds-deep-link";
    for (int level = 1; level <= 40; ++level)
        deepLink += (level < 10 ? L"\\level-0" : L"\\level-") + std::to_wstring(level);
    deepLink += L"\\link";

    struct Case {
        std::wstring folder, name;
        Kind kind;
        std::wstring link;
        EntryDoubt doubt = EntryDoubt::Unreadable;
    };
    const Case cases[] = {
        {links, L"folder-is-link", Kind::ContainsLink, links + L"\\folder-is-link"},
        {links, L"holds-link", Kind::ContainsLink, links + L"\\holds-link\\a\\b\\c\\link"},
        // A link back to its own parent: entering it would never end.
        {links, L"holds-loop", Kind::ContainsLink, links + L"\\holds-loop\\sub\\loop"},
        {links, L"holds-deep-link", Kind::ContainsLink, deepLink},  // beyond the path limit
        {links, L"holds-file-link", Kind::ContainsLink, links + L"\\holds-file-link\\x\\copy.txt"},
        // A link to the neighbour account's file, differing from its own name in case only.
        {links + L"\\case", L"a@b.fr", Kind::ContainsLink, links + L"\\case\\a@b.fr\\KEEP.DAT"},
        // What cannot be judged is never taken as plain.
        {links, L"holds-socket", Kind::Unverifiable, links + L"\\holds-socket\\wire", EntryDoubt::NotFileOrFolder},
        {links, L"holds-fifo", Kind::Unverifiable, links + L"\\holds-fifo\\pipe", EntryDoubt::NotFileOrFolder},
        {links, L"holds-device", Kind::Unverifiable, links + L"\\holds-device\\null", EntryDoubt::NotFileOrFolder},
        // Windows would read this name without its trailing space: another entry.
        {links, L"holds-trailing-space", Kind::Unverifiable, links + L"\\holds-trailing-space\\name ",
         EntryDoubt::NameReadOtherwise},
        {links, L"target", Kind::Folder, L""},
        // Reached through a linked folder above it, a plain folder is still plain.
        {links + L"\\folder-is-link", L"inner", Kind::Folder, L""},
    };
    for (const Case& c : cases) ExpectTarget(c.folder, c.name, c.kind, c.link, c.doubt);
}

// run-contract.sh waits for the "swap-now" marker, then replaces the account's
// folder "sub" with a link to the target, and answers with "swapped".
TEST(Removal, ALinkSwappedInDuringTheDeletionStopsIt) {
    const std::wstring swap = ContractRoot() + L"\\swap";
    if (!Exists(swap + L"\\acct@live.fr\\sub\\f0.dat")) GTEST_SKIP() << "no swap fixture: run through run-contract.sh";

    auto removal = NewRemoval();
    ASSERT_EQ(removal->Examine(swap, L"acct@live.fr", nullptr).kind, Kind::Folder);
    bool swapped = false;
    const Progress swapOnce = [&] {
        if (swapped) return;
        swapped = true;
        MakeFile(swap + L"\\swap-now");
        WaitUntil([&] { return Exists(swap + L"\\swapped"); }, 5000);
    };
    // Number 0: the deletion went on through the link.
    const ProgramError error = ErrorRaisedBy([&] { removal->DeleteExamined(swapOnce); });
    EXPECT_EQ(error.number(), 75) << Narrow(error.description());
    EXPECT_NE(error.description().find(swap + L"\\acct@live.fr\\sub"), std::wstring::npos)
        << Narrow(error.description());
    ASSERT_TRUE(Exists(swap + L"\\swapped"));
    EXPECT_TRUE(Exists(ContractRoot() + L"\\links\\target\\precious.txt"));
}

}  // namespace
}  // namespace vardelune::contract
