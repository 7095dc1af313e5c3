// The rules that turn "Virtual Machine Parameters" and "Cmd" into VM options,
// the thread stack size and application arguments.
#include "options/vm_parameters.h"

#include <gtest/gtest.h>

namespace korvan {
namespace {

using Texts = std::vector<std::wstring>;

constexpr std::uint64_t kKiB = 1024;
constexpr std::uint64_t kMiB = 1024 * kKiB;
constexpr std::uint64_t kGiB = 1024 * kMiB;

// 4194304 KiB of physical memory and 256 MiB of address space left.
const platform::MemoryFigures kMachine{4 * kGiB, 256 * kMiB};

struct SplitCase {
  const wchar_t* text;
  Texts tokens;
};

class SplitVmParametersTest : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitVmParametersTest, SplitsAtSpacesOutsideQuotes) {
  EXPECT_EQ(SplitVmParameters(GetParam().text), GetParam().tokens);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitVmParametersTest,
    testing::Values(
        SplitCase{L"", {}},
        SplitCase{L"-Xmx50P", {L"-Xmx50P"}},
        SplitCase{L"-Xms10P    -Xmx50:256:1024P", {L"-Xms10P", L"-Xmx50:256:1024P"}},
        SplitCase{L"-Da=1 -Db=2   ", {L"-Da=1", L"-Db=2"}},
        SplitCase{L" -Da=1", {L"", L"-Da=1"}},  // processing drops the empty token
        SplitCase{L"-Da=1\t-Db=2", {L"-Da=1\t-Db=2"}},
        SplitCase{L"-Dpath=\"C:\\Program Files\\x\" -Xss1m",
                  {L"-Dpath=\"C:\\Program Files\\x\"", L"-Xss1m"}},
        SplitCase{L"\"a b\"c\" d\" e", {L"\"a b\"c\" d\"", L"e"}},
        SplitCase{L"-Da=\"x y", {L"-Da=\"x", L"y"}},      // unmatched quote
        SplitCase{L"-Da=\"x\" \"y z", {L"-Da=\"x\"", L"\"y", L"z"}},
        SplitCase{L"-Da=x\"y", {L"-Da=x\"y"}},            // quote after the last space
        SplitCase{L"\"a \"\"b c\" d", {L"\"a \"\"b", L"c\"", L"d"}},  // doubled quote closes
        SplitCase{L"\"a\"\" b\" c", {L"\"a\"\"", L"b\"", L"c"}}));

struct UnquoteCase {
  const wchar_t* token;
  const wchar_t* unquoted;
};

class UnquoteVmParameterTest : public testing::TestWithParam<UnquoteCase> {};

TEST_P(UnquoteVmParameterTest, RemovesQuotePairs) {
  EXPECT_EQ(UnquoteVmParameter(GetParam().token), GetParam().unquoted);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnquoteVmParameterTest,
    testing::Values(UnquoteCase{L"-Xmx50P", L"-Xmx50P"},
                    UnquoteCase{L"\"abc\"", L"abc"},
                    UnquoteCase{L"-Dpath=\"C:\\Program Files\\x\"", L"-Dpath=C:\\Program Files\\x"},
                    UnquoteCase{L"\"a\"b\"c\"", L"abc"},
                    UnquoteCase{L"x\"\"y", L"xy"},
                    UnquoteCase{L"\"\"", L""},
                    UnquoteCase{L"\"abc\"\"", L"abc\""},  // doubled quote leaves one
                    UnquoteCase{L"\"a\"\"b\"", L"a\"b\""},
                    UnquoteCase{L"\"\"\"\"", L"\"\""},
                    UnquoteCase{L"-Da=\"x", L"-Da=\"x"},  // unmatched stays
                    UnquoteCase{L"\"a\" \"b", L"a \"b"}));

struct ProcessCase {
  const wchar_t* parameters;
  platform::MemoryFigures machine;
  Texts options;
  std::uint64_t stack_size;
};

class ProcessVmParametersTest : public testing::TestWithParam<ProcessCase> {};

TEST_P(ProcessVmParametersTest, BuildsOptionsAndStackSize) {
  const ProcessCase& c = GetParam();
  const ProcessedVmParameters processed = ProcessVmParameters(c.parameters, c.machine, 0);
  EXPECT_EQ(processed.options, c.options);
  EXPECT_EQ(processed.stack_size, c.stack_size);
}

INSTANTIATE_TEST_SUITE_P(
    Memory, ProcessVmParametersTest,
    testing::Values(
        ProcessCase{L"-Xms10P -Xmx50:256:1024P", kMachine, {L"-Xms419430K", L"-Xmx1048576K"}, 0},
        ProcessCase{L"-Xmx50:64:1024P", {8 * kGiB, 0}, {L"-Xmx1048576K"}, 0},
        ProcessCase{L"-Xmx10:2048:1024P", kMachine, {L"-Xmx2097152K"}, 0},  // minimum wins
        ProcessCase{L"-Xmx80:0:512T", kMachine, {L"-Xmx209715K"}, 0},  // address space left
        ProcessCase{L"-Xmx80:0:512t -Xms25p", kMachine, {L"-Xmx209715K", L"-Xms1048576K"}, 0},
        ProcessCase{L"-Xmx80:0:512P", kMachine, {L"-Xmx524288K"}, 0},
        ProcessCase{L"-Xmx:512P", kMachine, {L"-Xmx524288K"}, 0},  // leading colon: percent 0
        ProcessCase{L"-Xmx5x0P", kMachine, {L"-Xmx2097152K"}, 0},  // other characters skipped
        ProcessCase{L"-Xmx=50P", kMachine, {L"-Xmx=2097152K"}, 0},
        ProcessCase{L"\"-Xmx50P\"", kMachine, {L"-Xmx2097152K"}, 0},  // unquoted first
        ProcessCase{L"-Xmx100P", {8192 * kGiB, 0}, {L"-Xmx8589934592K"}, 0},  // above 2^31 KiB
        ProcessCase{L"-Xmx150P", {2048 * kGiB, 0}, {L"-Xmx3221225472K"}, 0},
        ProcessCase{L"-Xmx512m -Xmx50 -XMX50P -Xmn50P -Xmx50Q", kMachine,
                    {L"-Xmx512m", L"-Xmx50", L"-XMX50P", L"-Xmn50P", L"-Xmx50Q"}, 0},
        ProcessCase{L"-XmxP -Xmx%MEM%P", kMachine, {L"-XmxP", L"-Xmx%MEM%P"}, 0},
        ProcessCase{L"%HEAP%", kMachine, {L"%HEAP%"}, 0}));

INSTANTIATE_TEST_SUITE_P(
    StackSize, ProcessVmParametersTest,
    testing::Values(
        ProcessCase{L"-Xss512k", kMachine, {L"-Xss512k"}, 524288},
        ProcessCase{L"-Xss1048576", kMachine, {L"-Xss1048576"}, 1048576},
        ProcessCase{L"-Xss2M", kMachine, {L"-Xss2M"}, 2097152},
        ProcessCase{L"-Xss1g", kMachine, {L"-Xss1g"}, kGiB},
        ProcessCase{L"-Xss512x", kMachine, {L"-Xss512x"}, 512},
        ProcessCase{L"-Xss1m -Xss256k", kMachine, {L"-Xss1m", L"-Xss256k"}, 262144},
        ProcessCase{L"-Xss1m -Xssk -Xss -Xss1:2 -Xssx1", kMachine,
                    {L"-Xss1m", L"-Xssk", L"-Xss", L"-Xss1:2", L"-Xssx1"}, kMiB},
        ProcessCase{L"-Xss99999999999999999999G", kMachine, {L"-Xss99999999999999999999G"}, 0},
        ProcessCase{L"-Xss99999999999G", kMachine, {L"-Xss99999999999G"}, 0},
        ProcessCase{L"-Xss1P", kMachine, {L"-Xss41943K"}, 41943 * kKiB},  // rewritten first
        ProcessCase{L"-XSS1m", kMachine, {L"-XSS1m"}, 0}));

INSTANTIATE_TEST_SUITE_P(
    Tokens, ProcessVmParametersTest,
    testing::Values(
        ProcessCase{L"", kMachine, {}, 0},
        ProcessCase{L"  -Da=1   -Db=2  ", kMachine, {L"-Da=1", L"-Db=2"}, 0},
        ProcessCase{L"-Da=1 \"\" -Db=2", kMachine, {L"-Da=1", L"-Db=2"}, 0},  // empty dropped
        ProcessCase{L"-Dpath=\"C:\\Program Files\\x\" -Dq=\"\"", kMachine,
                    {L"-Dpath=C:\\Program Files\\x", L"-Dq="}, 0}));

TEST(ProcessVmParametersTest, KeepsTheGivenStackSizeWithoutAValidXss) {
  EXPECT_EQ(ProcessVmParameters(L"-Xmx1g -Xssabc", kMachine, 65536).stack_size, 65536u);
  EXPECT_EQ(ProcessVmParameters(L"-Xss128k", kMachine, 65536).stack_size, 131072u);
}

// A settings value of megabytes is read in one pass: reading it again for
// each token or quote pair would take minutes and look like a hang.
TEST(ProcessVmParametersTest, LongValuesAreProcessedWhole) {
  constexpr std::size_t kPairs = 1000000;
  constexpr std::size_t kTokens = 500000;
  std::wstring text;
  std::wstring unquoted;
  for (std::size_t i = 0; i < kPairs; ++i) text += L"\"a\"b", unquoted += L"ab";
  for (std::size_t i = 0; i < kTokens; ++i) text += L" -Da";
  const ProcessedVmParameters processed = ProcessVmParameters(text, kMachine, 0);
  ASSERT_EQ(processed.options.size(), kTokens + 1);
  EXPECT_TRUE(processed.options.front() == unquoted);  // too long to print
  EXPECT_EQ(processed.options.back(), L"-Da");
}

struct ArgumentsCase {
  const wchar_t* text;
  Texts arguments;
};

class SplitExtraArgumentsTest : public testing::TestWithParam<ArgumentsCase> {};

TEST_P(SplitExtraArgumentsTest, SplitsLikeTheCommandLine) {
  EXPECT_EQ(SplitExtraArguments(GetParam().text), GetParam().arguments);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitExtraArgumentsTest,
    testing::Values(ArgumentsCase{L"", {}},
                    ArgumentsCase{L"a \"b c\" d", {L"a", L"b c", L"d"}},
                    ArgumentsCase{L"   a    b   ", {L"a", L"b"}},
                    ArgumentsCase{L"\"ab\"cd", {L"ab", L"cd"}},
                    ArgumentsCase{L"\"ab\"  \"c d\"", {L"ab", L"c d"}},
                    ArgumentsCase{L"a\"b c", {L"a\"b", L"c"}},
                    ArgumentsCase{L"a \"b c", {L"a", L"b c"}},  // no closing quote
                    ArgumentsCase{L"a \"\" b", {L"a", L"b"}},   // empty tokens left out
                    ArgumentsCase{L"\"", {}},
                    ArgumentsCase{L"a\tb", {L"a\tb"}}));

}  // namespace
}  // namespace korvan
