// Account discovery through the directory enumeration.
#include "cleanup/AccountDiscovery.h"

#include "cleanup/Accounts.h"
#include "cleanup/ProfilePaths.h"
#include "cleanup/WindowNames.h"

#include <utility>
#include <vector>

namespace vardelune {

void ListAccounts(Program& program) {
    Platform& platform = program.platform();
    Control& list = program.form(kMainWindow).control(main_window::kAccountList);
    const std::wstring expression = JoinProfilePath(program, AccountPatternSuffix);
    std::vector<std::wstring> accounts;
    for (std::wstring entry = platform.FindFirstEntry(expression, kAccountAttributeMask); !entry.empty();
         entry = platform.FindNextEntry())
        accounts.push_back(std::move(entry));  // the next call gives entry a new value
    list.AddItems(std::move(accounts));
}

void LoadMainWindow(Program& program) {
    InitProfilePaths(program);
    ListAccounts(program);
}

}  // namespace vardelune
