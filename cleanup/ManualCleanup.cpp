// Manual-cleanup shortcuts through the shell object's Explore.
#include "cleanup/ManualCleanup.h"

#include "app/Rollover.h"
#include "cleanup/ProfilePaths.h"

namespace vardelune {

void OpenDataFolder(Program& program, const char* cover, const wchar_t* suffix) {
    if (cover) ShowCover(program.form(FormId::Form1), cover);
    std::unique_ptr<ShellObject> shell = program.platform().CreateShellObject();
    shell->Explore(JoinProfilePath(program, suffix));
}

}  // namespace vardelune
