// The cleanup action. The results window is shown before any deletion so that
// its message names the account even when a deletion then fails and the error
// report ends the program.
#include "cleanup/AccountCleanup.h"

#include "app/ErrorTexts.h"
#include "app/Rollover.h"
#include "cleanup/Accounts.h"
#include "cleanup/ProfilePaths.h"
#include "cleanup/ResultsActions.h"
#include "cleanup/WindowNames.h"

#include <optional>

namespace vardelune {

namespace {

// Whether the account has that folder to delete. A folder that is not what
// its name promises stops the whole cleanup before anything is deleted.
bool Examined(FolderDeletionObject& deleter, const std::wstring& folder, const std::wstring& account,
              const Progress& progress) {
    const std::wstring path = folder + account;
    const DeletionTarget target = deleter.Examine(folder, account, progress);
    switch (target.kind) {
        case DeletionTarget::Kind::Absent:
            // Nothing there: the account has no such folder, or it was
            // already deleted by an earlier cleanup.
            return false;
        case DeletionTarget::Kind::File:
            // A file is not an account folder; never report it as cleaned.
            throw NumberedError(error::kPathNotFound, path);
        case DeletionTarget::Kind::ContainsLink:
            // What a link points to lies outside the account: delete nothing of it.
            throw LinkRefusal(target.entryPath, path);
        case DeletionTarget::Kind::Unverifiable:
            // What cannot be judged is not deleted: it may be a link.
            throw UnverifiableEntryRefusal(target.doubt, target.entryPath, path);
        case DeletionTarget::Kind::OnlyCaseVariant:
            // Another folder, where case matters: never silently left as if cleaned.
            throw CaseVariantRefusal(target.entryPath, path);
        case DeletionTarget::Kind::Folder:
            break;
    }
    return true;
}

}  // namespace

void CleanSelectedAccount(Program& program) {
    Form& main = program.form(kMainWindow);
    ShowCover(main, main_window::kRepairCover);

    const std::wstring account = main.control(main_window::kAccountList).SelectedText();
    if (account.empty()) {
        program.ShowForm(kErrorWindow);
        return;
    }

    ShowResults(program, account);
    WindowHost& host = program.host();
    const BusyScope busy(host);
    // Drawn now, so that the window names the account throughout a long deletion.
    host.PaintNow();

    const std::wstring messenger = JoinProfilePath(program, MessengerDataSuffix);
    const std::wstring contacts = JoinProfilePath(program, ContactsDataSuffix);
    if (const std::optional<UnsafeName> unsafe = UnsafeEntryName(account))
        throw AccountNameRefusal(*unsafe, messenger + account);

    const Progress progress = [&host] { host.KeepResponsive(); };
    Platform& platform = program.platform();
    std::unique_ptr<FolderDeletionObject> first = platform.CreateFolderDeletionObject();
    std::unique_ptr<FolderDeletionObject> second = platform.CreateFolderDeletionObject();
    // Both folders are judged before either is touched; then Messenger
    // first: when its deletion fails the Contacts folder stays untouched.
    const bool messengerFound = Examined(*first, messenger, account, progress);
    const bool contactsFound = Examined(*second, contacts, account, progress);
    if (messengerFound) first->DeleteExamined(progress);
    if (contactsFound) second->DeleteExamined(progress);
}

}  // namespace vardelune
