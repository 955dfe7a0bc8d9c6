// DeleteFolder through the real script runtime: whole trees go, whatever the
// attributes of their folders; failures come back with a number and a text.
#include "TestTree.h"
#include "platform/win32/Win32Platform.h"

#include <gtest/gtest.h>

namespace vardelune::contract {
namespace {

// Runs the deletion and returns the error it raised; number 0 when none.
ProgramError DeletionError(const std::wstring& path) {
    Win32Platform platform;
    std::unique_ptr<FolderDeletionObject> deleter = platform.CreateFolderDeletionObject();
    try {
        deleter->DeleteFolder(path);
    } catch (const ProgramError& error) {
        return error;
    }
    return ProgramError(0, L"");
}

void MakeAccountTree(const std::wstring& account) {
    MakeFolder(account);
    MakeFile(account + L"\\contacts.edb");
    MakeFolder(account + L"\\hidden", FILE_ATTRIBUTE_HIDDEN);
    MakeFile(account + L"\\hidden\\settings.dat", FILE_ATTRIBUTE_HIDDEN);
    MakeFolder(account + L"\\system", FILE_ATTRIBUTE_SYSTEM);
    MakeFile(account + L"\\system\\desktop.ini", FILE_ATTRIBUTE_SYSTEM);
    MakeFolder(account + L"\\readonly", FILE_ATTRIBUTE_READONLY);
    MakeFolder(account + L"\\readonly\\nested", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY);
    MakeFile(account + L"\\readonly\\nested\\avatar.dat");
}

TEST(FolderDeletion, RemovesTheWholeTree) {
    const std::wstring folder = FreshFolder();
    const std::wstring accounts[] = {folder + L"\\someone@hotmail.com", folder + L"\\josé@exemple.fr",
                                     folder + L"\\用户@例子.中国", folder + L"\\smile\U0001F600@live.fr"};
    MakeFolder(folder + L"\\neighbour@hotmail.com");
    for (const std::wstring& account : accounts) {
        MakeAccountTree(account);
        const ProgramError error = DeletionError(account);
        EXPECT_EQ(error.number(), 0) << Narrow(account) << ": " << Narrow(error.description());
        EXPECT_FALSE(Exists(account)) << Narrow(account);
    }
    EXPECT_TRUE(Exists(folder + L"\\neighbour@hotmail.com"));
}

TEST(FolderDeletion, ReadOnlyFileIsPermissionDenied) {
    const std::wstring account = FreshFolder() + L"\\someone@hotmail.com";
    MakeFolder(account);
    MakeFile(account + L"\\locked.dat", FILE_ATTRIBUTE_READONLY);

    const ProgramError error = DeletionError(account);
    EXPECT_EQ(error.number(), 70);
    EXPECT_EQ(error.description(), L"Permission refusée");
    EXPECT_TRUE(Exists(account + L"\\locked.dat"));
}

TEST(FolderDeletion, MissingFolderFailsWithNumberAndText) {
    const std::wstring folder = FreshFolder();
    struct Case {
        std::wstring path;
    };
    const Case cases[] = {
        {folder + L"\\missing@hotmail.com"},             // parent exists
        {folder + L"\\missing\\missing@hotmail.com"},    // parent missing too
    };
    for (const Case& c : cases) {
        const ProgramError error = DeletionError(c.path);
        // The script runtime says "file not found" or "path not found"
        // depending on the system and on whether the parent exists.
        EXPECT_TRUE(error.number() == 53 || error.number() == 76) << error.number() << " " << Narrow(c.path);
        const wchar_t* expected = error.number() == 53 ? L"Fichier introuvable" : L"Chemin d'accès introuvable";
        EXPECT_EQ(error.description(), expected);
    }
}

}  // namespace
}  // namespace vardelune::contract
