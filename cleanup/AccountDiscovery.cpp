// Account discovery through the directory enumeration.
#include "cleanup/AccountDiscovery.h"

#include "cleanup/ProfilePaths.h"

namespace vardelune {

void ListAccounts(Program& program) {
    Platform& platform = program.platform();
    Control& list = program.form(FormId::Form1).control("List1");
    const std::wstring expression = JoinProfilePath(program, AccountPatternSuffix);
    for (std::wstring entry = platform.FindFirstEntry(expression, kAccountAttributeMask); !entry.empty();
         entry = platform.FindNextEntry())
        list.AddItem(entry);
}

}  // namespace vardelune
