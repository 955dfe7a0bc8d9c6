// GetEnvironmentText against the real process environment.
#include "TestTree.h"
#include "platform/win32/Win32Platform.h"

#include <gtest/gtest.h>

namespace vardelune::contract {
namespace {

TEST(Environment, ReturnsTheValueAndEmptyWhenUnset) {
    struct Case {
        const wchar_t* value;  // nullptr: unset
        std::wstring expected;
    };
    const std::wstring longValue(30000, L'x');  // far beyond any first guess of a buffer size
    const Case cases[] = {
        {L"C:\\Documents and Settings\\José", L"C:\\Documents and Settings\\José"},
        {L"Z:\\用户\\\U0001F600", L"Z:\\用户\\\U0001F600"},
        {L"C:\\profil\\", L"C:\\profil\\"},
        {longValue.c_str(), longValue},
        {nullptr, L""},
    };
    Win32Platform platform;
    for (const Case& c : cases) {
        SetEnvironmentVariableW(L"VARDELUNE_CONTRACT_VALUE", c.value);
        const std::wstring value = platform.GetEnvironmentText(L"VARDELUNE_CONTRACT_VALUE");
        EXPECT_TRUE(value == c.expected) << value.size() << " characters: " << Narrow(value.substr(0, 80));
    }
}

}  // namespace
}  // namespace vardelune::contract
