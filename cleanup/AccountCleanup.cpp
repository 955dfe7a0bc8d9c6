// The cleanup action. The results window is shown before any deletion so that
// its message names the account even when a deletion then fails and the error
// report ends the program.
#include "cleanup/AccountCleanup.h"

#include "app/ErrorTexts.h"
#include "app/Rollover.h"
#include "cleanup/ProfilePaths.h"
#include "cleanup/ResultsActions.h"
#include "cleanup/WindowNames.h"

namespace vardelune {

namespace {

// Windows' path rules drop a trailing dot or space from a name, so such a
// path would reach another account's folder, or none at all and look clean.
bool EndsWithDroppedCharacter(const std::wstring& path) {
    return !path.empty() && (path.back() == L'.' || path.back() == L' ');
}

}  // namespace

void DeleteAccountFolder(Platform& platform, FolderDeletionObject& deleter, const std::wstring& path) {
    if (EndsWithDroppedCharacter(path)) throw DroppedCharacterRefusal(path);
    const DeletionTarget target = platform.ProbeDeletionTarget(path);
    switch (target.kind) {
        case DeletionTarget::Kind::Absent:
            // Nothing there: the account has no such folder, or it was
            // already deleted by an earlier cleanup.
            return;
        case DeletionTarget::Kind::File:
            // A file is not an account folder; never report it as cleaned.
            throw NumberedError(error::kPathNotFound, path);
        case DeletionTarget::Kind::ContainsLink:
            // The folder deletion follows links and would delete what they
            // point to, outside the account: delete nothing of this folder.
            throw LinkRefusal(target.linkPath, path);
        case DeletionTarget::Kind::Unverifiable:
            // What cannot be judged is not deleted: it may be a link.
            throw UnverifiableEntryRefusal(target.linkPath, path);
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
    Form& main = program.form(kMainWindow);
    ShowCover(main, main_window::kRepairCover);

    const std::wstring account = main.control(main_window::kAccountList).SelectedText();
    if (account.empty()) {
        program.ShowForm(kErrorWindow);
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
