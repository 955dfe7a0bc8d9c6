// Manual-cleanup shortcuts through the shell object's Explore.
#include "cleanup/ManualCleanup.h"

#include "app/Rollover.h"
#include "cleanup/ProfilePaths.h"
#include "cleanup/WindowNames.h"

namespace vardelune {

void OpenDataFolder(Program& program, const char* cover, const wchar_t* suffix) {
    if (cover) ShowCover(program.form(kMainWindow), cover);
    std::unique_ptr<ShellObject> shell = program.platform().CreateShellObject();
    shell->Explore(JoinProfilePath(program, suffix));
}

void OpenMessengerFolder(Program& program) {
    OpenDataFolder(program, main_window::kOpenMessengerCover, MessengerDataSuffix);
}

void OpenContactsFolder(Program& program) {
    OpenDataFolder(program, main_window::kOpenContactsCover, ContactsFolderSuffix);
}

void OpenTempFolder(Program& program) { OpenDataFolder(program, nullptr, TempFolderSuffix); }

}  // namespace vardelune
