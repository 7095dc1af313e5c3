#include "settings/settings_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace korvan {
namespace {

using Entries = std::vector<std::pair<std::wstring, std::wstring>>;

struct Section {
  std::wstring name;
  Entries entries;
};

struct ParseCase {
  const char* name;
  std::wstring text;
  std::vector<Section> expected;
};

class ParseSettingsTextTest : public testing::TestWithParam<ParseCase> {};

TEST_P(ParseSettingsTextTest, SplitsSectionsAndEntries) {
  const std::vector<EmbeddedSection> parsed = ParseSettingsText(GetParam().text);
  ASSERT_EQ(parsed.size(), GetParam().expected.size());
  for (std::size_t i = 0; i < parsed.size(); ++i) {
    EXPECT_EQ(parsed[i].name, GetParam().expected[i].name) << "section " << i;
    EXPECT_EQ(parsed[i].entries, GetParam().expected[i].entries) << "section " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ParseSettingsTextTest,
    testing::Values(
        ParseCase{"Empty", L"", {}},
        ParseCase{"OneSection", L"[A]\r\nk=v\r\n", {{L"A", {{L"k", L"v"}}}}},
        ParseCase{"NoFinalLineEnd", L"[A]\r\nk=v", {{L"A", {{L"k", L"v"}}}}},
        ParseCase{"ByteOrderMarkDropped", L"\uFEFF[A]\r\nk=v", {{L"A", {{L"k", L"v"}}}}},
        ParseCase{"ByteOrderMarkOnlyAtStart", L"[A]\r\n\uFEFFk=v",
                  {{L"A", {{L"\uFEFFk", L"v"}}}}},
        ParseCase{"LoneLfDoesNotEndALine", L"[A]\r\nk=v\nj=w\r\n", {{L"A", {{L"k", L"v\nj=w"}}}}},
        ParseCase{"LoneCrDoesNotEndALine", L"[A]\rk=v\r\n", {}},
        ParseCase{"EmptyLinesSkipped", L"\r\n\r\n[A]\r\n\r\nk=v\r\n\r\n", {{L"A", {{L"k", L"v"}}}}},
        ParseCase{"BlanksAroundHeader", L"  [Application]  \r\nk=v",
                  {{L"Application", {{L"k", L"v"}}}}},
        ParseCase{"BlanksInsideBracketsKept", L"[ Application ]\r\nk=v",
                  {{L" Application ", {{L"k", L"v"}}}}},
        ParseCase{"ControlCharactersBeforeHeader", L"\t\x01[A]\x1f\r\nk=v", {{L"A", {{L"k", L"v"}}}}},
        ParseCase{"NameUpToLastBracket", L"[A]x]\r\nk=v", {{L"A]x", {{L"k", L"v"}}}}},
        ParseCase{"UnclosedHeaderIsEntry", L"[A]\r\n[B=c\r\n", {{L"A", {{L"[B", L"c"}}}}},
        ParseCase{"EmptyName", L"[]\r\nk=v", {{L"", {{L"k", L"v"}}}}},
        ParseCase{"FirstEqualsSplits", L"[A]\r\nk = a=b = c ", {{L"A", {{L"k", L"a=b = c"}}}}},
        ParseCase{"WhiteSpaceTrimmed", L"[A]\r\n\t k \t=\t v w \t", {{L"A", {{L"k", L"v w"}}}}},
        ParseCase{"LineWithoutEqualsSkipped", L"[A]\r\njust text\r\nk=v", {{L"A", {{L"k", L"v"}}}}},
        ParseCase{"EmptyKeyAndValueKept", L"[A]\r\n=\r\n", {{L"A", {{L"", L""}}}}},
        ParseCase{"EntriesBeforeFirstHeaderDropped", L"k=v\r\n[A]\r\nj=w",
                  {{L"A", {{L"j", L"w"}}}}},
        ParseCase{"RepeatedNamesAndKeysKept", L"[A]\r\nk=1\r\nk=2\r\n[A]\r\nk=3",
                  {{L"A", {{L"k", L"1"}, {L"k", L"2"}}}, {L"A", {{L"k", L"3"}}}}},
        ParseCase{"QuotesKept", L"[A]\r\nk=\"v\"", {{L"A", {{L"k", L"\"v\""}}}}},
        ParseCase{"NulIsACharacter", std::wstring(L"[A]\r\nk=a\0b", 10),
                  {{L"A", {{L"k", std::wstring(L"a\0b", 3)}}}}}),
    [](const testing::TestParamInfo<ParseCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace korvan
