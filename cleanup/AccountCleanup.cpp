// The cleanup action. The results window is shown before any deletion so that
// its message names the account even when a deletion then fails and the error
// report ends the program.
#include "cleanup/AccountCleanup.h"

#include "app/Rollover.h"
#include "cleanup/ProfilePaths.h"
#include "forms/Windows.h"

namespace vardelune {

namespace {

// Numbers of the script runtime's errors, so that ours read like its own.
constexpr long kBadFileName = 52;
constexpr long kPathNotFound = 76;
constexpr long kPathFileAccessError = 75;

// Windows' path rules drop a trailing dot or space from a name, so such a
// path would reach another account's folder, or none at all and look clean.
bool EndsWithDroppedCharacter(const std::wstring& path) {
    return !path.empty() && (path.back() == L'.' || path.back() == L' ');
}

}  // namespace

void DeleteAccountFolder(Platform& platform, FolderDeletionObject& deleter, const std::wstring& path) {
    if (EndsWithDroppedCharacter(path))
        throw ProgramError(kBadFileName,
                           L"Nom de fichier incorrect : Windows lit ce nom sans son point ou son espace final "
                           L"et supprimerait un autre dossier\r\n" +
                               path);
    const DeletionTarget target = platform.ProbeDeletionTarget(path);
    switch (target.kind) {
        case DeletionTarget::Kind::Absent:
            // Nothing there: the account has no such folder, or it was
            // already deleted by an earlier cleanup.
            return;
        case DeletionTarget::Kind::File:
            // A file is not an account folder; never report it as cleaned.
            throw ProgramError(kPathNotFound, L"Chemin d'accès introuvable\r\n" + path);
        case DeletionTarget::Kind::ContainsLink:
            // The folder deletion follows links and would delete what they
            // point to, outside the account: delete nothing of this folder.
            throw ProgramError(kPathFileAccessError,
                               L"Suppression refusée : ce dossier contient un lien vers un autre emplacement\r\n" +
                                   target.linkPath + L"\r\nRien n'a été supprimé dans\r\n" + path);
        case DeletionTarget::Kind::Folder:
            break;
    }
    try {
        deleter.DeleteFolder(path);
    } catch (const ProgramError& error) {
        throw ProgramError(error.number(), error.description() + L"\r\n" + path);
    }
}

void CleanSelectedAccount(Program& program) {
    Form& main = program.form(FormId::Form1);
    ShowCover(main, "Image1");

    const std::wstring account = main.control("List1").SelectedText();
    if (account.empty()) {
        program.ShowForm(FormId::Form3);
        return;
    }

    ShowResults(program, account);

    Platform& platform = program.platform();
    std::unique_ptr<FolderDeletionObject> first = platform.CreateFolderDeletionObject();
    std::unique_ptr<FolderDeletionObject> second = platform.CreateFolderDeletionObject();
    // Messenger first: when its deletion fails the Contacts folder stays untouched.
    DeleteAccountFolder(platform, *first, JoinProfilePath(program, MessengerDataSuffix) + account);
    DeleteAccountFolder(platform, *second, JoinProfilePath(program, ContactsDataSuffix) + account);
}

}  // namespace vardelune
