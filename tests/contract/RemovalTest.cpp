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
const char* const kKindNames[] = {"Absent", "File", "Folder", "ContainsLink", "Unverifiable"};
const char* KindName(Kind kind) { return kKindNames[static_cast<int>(kind)]; }

std::unique_ptr<FolderDeletionObject> NewRemoval() { return Win32Platform().CreateFolderDeletionObject(); }

void ExpectTarget(const std::wstring& folder, const std::wstring& name, Kind kind, const std::wstring& linkPath = L"") {
    DeletionTarget target;
    const ProgramError error = ErrorRaisedBy([&] { target = NewRemoval()->Examine(folder, name, nullptr); });
    const std::string where = Narrow(folder + L"\\" + name);
    ASSERT_EQ(error.number(), 0) << where << ": " << Narrow(error.description());
    EXPECT_STREQ(KindName(target.kind), KindName(kind)) << where;
    EXPECT_EQ(target.linkPath, linkPath) << where;
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
                      {L"Full@Live.fr\\sub\\", kSystem | kReadOnly}, {L"Full@Live.fr\\sub\\contacts.edb", kHidden},
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
        // Another account's folder in another case is not this account's.
        {folder, L"full@live.fr", Kind::Absent},
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
    for (const wchar_t* name : {L"..\\keep", L"a\\..\\keep", L"..", L"a*@live.fr", L"x/y@live.fr"})
        EXPECT_EQ(ErrorRaisedBy([&] { NewRemoval()->Examine(folder + L"\\keep", name, nullptr); }).number(), 52)
            << Narrow(name);
    EXPECT_TRUE(Exists(folder + L"\\keep"));
}

TEST(Removal, RemovesWholeTreesDeepAndLong) {
    const std::wstring folder = FreshFolder();
    MakeFolder(folder + L"\\neighbour@hotmail.com");
    std::vector<std::wstring> accounts{L"someone@hotmail.com", L"josé@exemple.fr", L"用户@例子.中国",
                                       L"smile\U0001F600@live.fr"};
    for (const std::wstring& account : accounts) {
        MakeTree(folder, {{account + L"\\"}, {account + L"\\contacts.edb"}, {account + L"\\hidden\\", kHidden},
                          {account + L"\\hidden\\settings.dat", kHidden}, {account + L"\\system\\", kSystem},
                          {account + L"\\system\\desktop.ini", kSystem}, {account + L"\\readonly\\", kReadOnly},
                          {account + L"\\readonly\\nested\\", kHidden | kSystem | kReadOnly},
                          {account + L"\\readonly\\nested\\avatar.dat"}});
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

TEST(Removal, ReadOnlyFileIsPermissionDenied) {
    const std::wstring folder = FreshFolder();
    MakeTree(folder, {{L"someone@hotmail.com\\"}, {L"someone@hotmail.com\\locked.dat", kReadOnly}});

    const ProgramError error = Removal(folder, L"someone@hotmail.com");
    EXPECT_EQ(error.number(), 70);
    EXPECT_EQ(error.description(), L"Permission refusée\r\n" + folder + L"\\someone@hotmail.com\\locked.dat");
    EXPECT_TRUE(Exists(folder + L"\\someone@hotmail.com\\locked.dat"));
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
        {links, L"holds-socket", Kind::Unverifiable, links + L"\\holds-socket\\wire"},
        {links, L"target", Kind::Folder, L""},
        // Reached through a linked folder above it, a plain folder is still plain.
        {links + L"\\folder-is-link", L"inner", Kind::Folder, L""},
    };
    for (const Case& c : cases) ExpectTarget(c.folder, c.name, c.kind, c.link);
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
