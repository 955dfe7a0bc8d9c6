// The extended-length form of long paths. Wine does not enforce the classic
// path limit, so the trees of the other tests cannot show a missing prefix;
// these cases pin down the form that Windows needs.
#include "TestTree.h"
#include "platform/win32/FsPath.h"

#include <gtest/gtest.h>

namespace vardelune::contract {
namespace {

TEST(FsPath, LongPathsTakeTheExtendedForm) {
    const std::wstring tail(300, L'a');
    const std::wstring atLimit = L"C:\\" + std::wstring(MAX_PATH - 4, L'b');  // MAX_PATH - 1 characters
    struct Case {
        std::wstring path;
        std::wstring expected;
    };
    const Case cases[] = {
        {L"C:\\Documents and Settings\\x\\*@*", L"C:\\Documents and Settings\\x\\*@*"},
        {atLimit, atLimit},
        {atLimit + L"c", L"\\\\?\\" + atLimit + L"c"},
        {L"C:\\x\\" + tail + L"\\*@*", L"\\\\?\\C:\\x\\" + tail + L"\\*@*"},
        {L"c:/x/" + tail, L"\\\\?\\c:\\x\\" + tail},
        {L"C:\\x\\.\\y\\..\\" + tail, L"\\\\?\\C:\\x\\" + tail},
        {L"\\\\server\\share\\" + tail, L"\\\\?\\UNC\\server\\share\\" + tail},
        {L"\\\\?\\C:\\" + tail, L"\\\\?\\C:\\" + tail},
    };
    for (const Case& c : cases)
        EXPECT_TRUE(ToSystemPath(c.path) == c.expected) << Narrow(c.path.substr(0, 40)) << " -> "
                                                        << Narrow(ToSystemPath(c.path).substr(0, 60));
}

TEST(FsPath, LongRelativePathIsMadeFull) {
    const std::wstring relative = L"sub\\" + std::wstring(300, L'r');
    const std::wstring result = ToSystemPath(relative);
    ASSERT_EQ(result.compare(0, 4, L"\\\\?\\"), 0) << Narrow(result.substr(0, 60));
    EXPECT_EQ(result.find(L"\\.\\"), std::wstring::npos);
    EXPECT_EQ(result.substr(result.size() - relative.size()), relative);
}

}  // namespace
}  // namespace vardelune::contract
