#include "platform/shared/command_line.h"

#include <gtest/gtest.h>

namespace korvan::platform {
namespace {

struct SplitCase {
  const wchar_t* line;
  std::vector<std::wstring> tokens;  // the program path included
};

class SplitCommandLineTest : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitCommandLineTest, YieldsTheTokens) {
  EXPECT_EQ(SplitCommandLine(GetParam().line), GetParam().tokens);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitCommandLineTest,
    testing::Values(
        SplitCase{L"app \"a b\" c", {L"app", L"a b", L"c"}},
        SplitCase{L"app \"ab\"cd", {L"app", L"ab", L"cd"}},
        SplitCase{L"app a\"b", {L"app", L"a\"b"}},
        SplitCase{L"app \"abc", {L"app", L"abc"}},
        SplitCase{L"app \"\"", {L"app", L""}},
        SplitCase{L"app \"\" \"\"", {L"app", L"", L""}},
        SplitCase{L"app    a     b", {L"app", L"a", L"b"}},
        SplitCase{L"app a\tb", {L"app", L"a\tb"}},
        SplitCase{L"app", {L"app"}},
        SplitCase{L"  \t app a  \t\r\n", {L"app", L"a"}},
        SplitCase{L"\"C:\\Program Files\\App\\App.exe\" x", {L"C:\\Program Files\\App\\App.exe", L"x"}},
        SplitCase{L"app \"a\"\"b\"", {L"app", L"a", L"b"}},
        SplitCase{L"app \"x y", {L"app", L"x y"}},
        SplitCase{L"", {}},
        SplitCase{L"   ", {}}));

}  // namespace
}  // namespace korvan::platform
