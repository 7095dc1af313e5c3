#include "platform/shared/percent_references.h"

#include <gtest/gtest.h>

#include <map>

namespace korvan::platform {
namespace {

struct ExpandCase {
  const wchar_t* text;
  const wchar_t* expected;
};

class ExpandPercentReferencesTest : public testing::TestWithParam<ExpandCase> {};

TEST_P(ExpandPercentReferencesTest, ExpandsKnownNamesOnly) {
  const std::map<std::wstring, std::wstring> variables = {
      {L"HOME", L"/home/u"}, {L"Path", L"/bin:/usr/bin"}, {L"EMPTY", L""}, {L"PCT", L"%HOME%"}};
  const auto lookup = [&](const std::wstring& name) -> std::optional<std::wstring> {
    auto found = variables.find(name);
    if (found == variables.end()) return std::nullopt;
    return found->second;
  };
  EXPECT_EQ(ExpandPercentReferences(GetParam().text, lookup), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExpandPercentReferencesTest,
    testing::Values(ExpandCase{L"%HOME%/x", L"/home/u/x"},
                    ExpandCase{L"%Path%:/opt", L"/bin:/usr/bin:/opt"},
                    ExpandCase{L"%NOPE%/x", L"%NOPE%/x"},
                    ExpandCase{L"a%EMPTY%b", L"ab"},
                    ExpandCase{L"100%", L"100%"},
                    ExpandCase{L"%%HOME%", L"%/home/u"},
                    ExpandCase{L"50% of %HOME%", L"50% of /home/u"},
                    ExpandCase{L"%NOPE%HOME%", L"%NOPE/home/u"},
                    ExpandCase{L"%PCT%", L"%HOME%"},  // values are not expanded again
                    ExpandCase{L"", L""}));

}  // namespace
}  // namespace korvan::platform
