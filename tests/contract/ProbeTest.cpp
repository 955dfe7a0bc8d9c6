// ProbeDeletionTarget against real trees, including the symbolic links that
// the test script makes on the Unix side before the tests start.
#include "TestTree.h"
#include "platform/win32/Win32Platform.h"

#include <gtest/gtest.h>

namespace vardelune::contract {
namespace {

using Kind = DeletionTarget::Kind;

// In the order of DeletionTarget::Kind, for readable failures.
const char* const kKindNames[] = {"Absent", "File", "Folder", "ContainsLink", "Unverifiable"};
const char* KindName(Kind kind) { return kKindNames[static_cast<int>(kind)]; }

void ExpectTarget(const std::wstring& path, Kind kind, const std::wstring& linkPath = L"") {
    Win32Platform platform;
    const DeletionTarget target = platform.ProbeDeletionTarget(path);
    EXPECT_STREQ(KindName(target.kind), KindName(kind)) << Narrow(path);
    EXPECT_EQ(target.linkPath, linkPath) << Narrow(path);
}

TEST(Probe, AbsentFileAndFolder) {
    const std::wstring folder = FreshFolder();
    MakeFile(folder + L"\\account@live.fr", FILE_ATTRIBUTE_READONLY);
    MakeFolder(folder + L"\\empty@live.fr");
    MakeFolder(folder + L"\\full@live.fr", FILE_ATTRIBUTE_HIDDEN);
    MakeFolder(folder + L"\\full@live.fr\\sub", FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY);
    MakeFile(folder + L"\\full@live.fr\\sub\\contacts.edb", FILE_ATTRIBUTE_HIDDEN);
    MakeFolder(folder + L"\\josé@exemple.fr");

    struct Case {
        std::wstring path;
        Kind kind;
    };
    const Case cases[] = {
        {folder + L"\\missing@live.fr", Kind::Absent},
        {folder + L"\\missing\\missing@live.fr", Kind::Absent},
        {folder + L"\\account@live.fr", Kind::File},
        {folder + L"\\empty@live.fr", Kind::Folder},
        {folder + L"\\full@live.fr", Kind::Folder},
        {folder + L"\\full@live.fr\\", Kind::Folder},
        {folder + L"\\josé@exemple.fr", Kind::Folder},
    };
    for (const Case& c : cases) ExpectTarget(c.path, c.kind);
}

TEST(Probe, DeepAndLongTrees) {
    const std::wstring deep = FreshFolder() + L"\\deep@live.fr";
    std::wstring path = deep;
    MakeFolder(path);
    for (int level = 0; level < 100; ++level) {
        path += L"\\" + std::to_wstring(level);
        MakeFolder(path);
    }
    MakeFile(path + L"\\bottom.txt");
    EXPECT_GT(path.size(), 260u);
    ExpectTarget(deep, Kind::Folder);

    // The probed folder's own path beyond the limit.
    std::wstring longFolder = FreshFolder(L"long");
    while (longFolder.size() < 280) {
        longFolder += L"\\a-rather-long-folder-name";
        MakeFolder(longFolder);
    }
    MakeFile(longFolder + L"\\file.txt");
    ExpectTarget(longFolder, Kind::Folder);
    ExpectTarget(longFolder + L"\\file.txt", Kind::File);
    ExpectTarget(longFolder + L"\\missing", Kind::Absent);
}

// The links under the script's "links" folder (see run-contract.sh). Wine 8
// shows a link to a file as a plain file, found by its real name only, and
// hides a dangling link, which cannot be found through Win32 there.
TEST(Probe, FindsLinksWithoutFollowingThem) {
    const std::wstring links = ContractRoot() + L"\\links";
    if (!Exists(links + L"\\target\\precious.txt")) GTEST_SKIP() << "no link fixture: run through run-contract.sh";

    std::wstring deepLink = links + L"\\holds-deep-link";
    for (int level = 1; level <= 40; ++level)
        deepLink += (level < 10 ? L"\\level-0" : L"\\level-") + std::to_wstring(level);
    deepLink += L"\\link";

    struct Case {
        std::wstring path;
        std::wstring link;
    };
    const Case cases[] = {
        {links + L"\\folder-is-link", links + L"\\folder-is-link"},
        {links + L"\\holds-link", links + L"\\holds-link\\a\\b\\c\\link"},
        // A link back to its own parent: entering it would never end.
        {links + L"\\holds-loop", links + L"\\holds-loop\\sub\\loop"},
        {links + L"\\holds-deep-link", deepLink},  // beyond the path limit
        {links + L"\\holds-file-link", links + L"\\holds-file-link\\x\\copy.txt"},
    };
    for (const Case& c : cases) ExpectTarget(c.path, Kind::ContainsLink, c.link);
    ExpectTarget(links + L"\\target", Kind::Folder);
    // What cannot be judged is never taken as plain.
    ExpectTarget(links + L"\\holds-socket", Kind::Unverifiable, links + L"\\holds-socket\\wire");
    // Reached through a linked folder above it, a plain folder is still plain.
    ExpectTarget(links + L"\\folder-is-link\\inner", Kind::Folder);
}

}  // namespace
}  // namespace vardelune::contract
