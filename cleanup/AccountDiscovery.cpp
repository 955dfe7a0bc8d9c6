// Account discovery through the directory enumeration.
#include "cleanup/AccountDiscovery.h"

#include "cleanup/ProfilePaths.h"
#include "cleanup/WindowNames.h"

#include <utility>

namespace vardelune {

void ListAccounts(Program& program) {
    Platform& platform = program.platform();
    Control& list = program.form(kMainWindow).control(main_window::kAccountList);
    const std::wstring expression = JoinProfilePath(program, AccountPatternSuffix);
    for (std::wstring entry = platform.FindFirstEntry(expression, kAccountAttributeMask); !entry.empty();
         entry = platform.FindNextEntry())
        list.AddItem(std::move(entry));  // the next call gives entry a new value
}

void LoadMainWindow(Program& program) {
    InitProfilePaths(program);
    ListAccounts(program);
}

}  // namespace vardelune
