#include "runtime/java_version.h"

#include <gtest/gtest.h>

namespace korvan {

// Beside JavaVersion's own namespace, where GoogleTest's printer looks.
void PrintTo(const JavaVersion& v, std::ostream* out) {
  *out << v.components[0] << "." << v.components[1] << "." << v.components[2] << "."
       << v.components[3] << " (" << v.group_count << " groups)";
}

namespace {

JavaVersion V(std::int32_t a, std::int32_t b, std::int32_t c, std::int32_t d, std::int32_t count) {
  return JavaVersion{{a, b, c, d}, count};
}

struct ParseCase {
  std::wstring text;  // owned: a case may build its text
  std::int32_t fill;
  JavaVersion expected;
};

class ParseVersionTest : public testing::TestWithParam<ParseCase> {};

TEST_P(ParseVersionTest, ReducesTextToARecord) {
  const JavaVersion parsed = ParseVersion(GetParam().text, GetParam().fill);
  EXPECT_TRUE(parsed == GetParam().expected)
      << testing::PrintToString(parsed) << " != " << testing::PrintToString(GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ParseVersionTest,
    testing::Values(
        ParseCase{L"1.6.0_20", 0, V(1, 6, 0, 20, 4)},
        ParseCase{L"1.6.0_20-b02", 0, V(1, 6, 0, 20, 5)},
        ParseCase{L"jre1.7", 0, V(1, 7, 0, 0, 2)},
        ParseCase{L"1.6", 65535, V(1, 6, 65535, 65535, 2)},
        ParseCase{L"1..6", 0, V(1, 6, 0, 0, 2)},
        ParseCase{L"17.0.15+6", 0, V(17, 0, 15, 6, 4)},
        ParseCase{L"21-ea", 0, V(21, 0, 0, 0, 1)},
        ParseCase{L"21-ea", 65535, V(21, 65535, 65535, 65535, 1)},
        ParseCase{L"1.8.0_402-b06", 0, V(1, 8, 0, 402, 5)},
        ParseCase{L"1.2.3.4", 65535, V(1, 2, 3, 4, 4)},
        ParseCase{L"", 65535, V(0, 0, 0, 0, 0)},
        ParseCase{L"any", 65535, V(0, 0, 0, 0, 0)},
        ParseCase{L"Any", 0, V(0, 0, 0, 0, 0)},
        ParseCase{L"garbage", 0, V(0, 0, 0, 0, 0)},
        ParseCase{L"007.08", 0, V(7, 8, 0, 0, 2)},
        // The 32-bit boundary: the largest component reads, one more fails the whole text.
        ParseCase{L"214748364", 0, V(214748364, 0, 0, 0, 1)},
        ParseCase{L"1.2147483647", 0, V(1, 2147483647, 0, 0, 2)},
        ParseCase{L"1.2147483648", 0, V(0, 0, 0, 0, 0)},
        ParseCase{L"1.21474836470", 0, V(0, 0, 0, 0, 0)},
        ParseCase{L"1.99999999999", 0, V(0, 0, 0, 0, 0)},
        ParseCase{std::wstring(1000, L'9'), 0, V(0, 0, 0, 0, 0)},
        ParseCase{L"1.2.3.4.99999999999", 0, V(1, 2, 3, 4, 5)}));

TEST(CompareVersions, OrdersByComponentsOnly) {
  EXPECT_LT(CompareVersions(V(1, 6, 0, 20, 4), V(1, 7, 0, 0, 2)), 0);
  EXPECT_GT(CompareVersions(V(1, 10, 0, 0, 2), V(1, 9, 0, 0, 2)), 0);
  EXPECT_EQ(CompareVersions(V(1, 6, 0, 0, 2), V(1, 6, 0, 0, 4)), 0);
  EXPECT_LT(CompareVersions(V(0, 0, 0, 0, 0), V(0, 0, 0, 1, 4)), 0);
}

struct FormatCase {
  JavaVersion version;
  const wchar_t* text;
};

class FormatVersionTest : public testing::TestWithParam<FormatCase> {};

TEST_P(FormatVersionTest, LeavesOutTrailingLimits) {
  EXPECT_EQ(FormatVersion(GetParam().version), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Cases, FormatVersionTest,
                         testing::Values(FormatCase{V(1, 6, 0, 0, 4), L"1.6"},
                                         FormatCase{V(1, 0, 0, 0, 4), L"1.0"},
                                         FormatCase{V(1, 6, 0, 20, 4), L"1.6.0.20"},
                                         FormatCase{V(1, 6, 65535, 65535, 2), L"1.6"},
                                         FormatCase{V(2, 65535, 3, 0, 4), L"2.65535.3"},
                                         FormatCase{V(17, 0, 0, 0, 1), L"17.0"},
                                         FormatCase{V(17, 65535, 65535, 65535, 1), L"17"},
                                         FormatCase{V(17, 65535, 3, 0, 3), L"17.65535.3"},
                                         FormatCase{V(0, 0, 0, 0, 4), L"0.0.0.0"},
                                         FormatCase{V(65535, 65535, 65535, 65535, 4), L"0.0.0.0"}));

struct LimitsCase {
  const wchar_t* minimum;
  const wchar_t* maximum;
  const wchar_t* phrase;
  std::vector<const wchar_t*> admitted;
  std::vector<const wchar_t*> refused;
};

class LimitsTest : public testing::TestWithParam<LimitsCase> {};

TEST_P(LimitsTest, ConvertsFiltersAndNamesTheRequirement) {
  const JavaVersion minimum = ConvertMinimumVersion(GetParam().minimum);
  const JavaVersion maximum = ConvertMaximumVersion(GetParam().maximum);
  EXPECT_EQ(RequirementPhrase(minimum, maximum), GetParam().phrase);
  for (const wchar_t* text : GetParam().admitted) {
    EXPECT_TRUE(WithinLimits(ParseVersion(text, 0), minimum, maximum)) << text;
  }
  for (const wchar_t* text : GetParam().refused) {
    EXPECT_FALSE(WithinLimits(ParseVersion(text, 0), minimum, maximum)) << text;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LimitsTest,
    testing::Values(
        LimitsCase{L"1.6", L"1.6", L"version between 1.6 and 1.6",
                   {L"1.6", L"1.6.0_20", L"1.6.0_45-b06"}, {L"1.5.0_22", L"1.7.0"}},
        LimitsCase{L"1.6.0.20", L"1.6.0.20", L"version 1.6.0.20 is required",
                   {L"1.6.0_20"}, {L"1.6.0_21", L"1.6.0_19"}},
        LimitsCase{L"any", L"any", L"latest version", {L"1.1", L"25", L"x"}, {}},
        LimitsCase{L"", L"", L"latest version", {L"1.1", L"25", L"not a version"}, {}},
        LimitsCase{L"1.5", L"", L"minimum version 1.5", {L"1.5", L"1.7", L"21.0.2"}, {L"1.4.2"}},
        LimitsCase{L"", L"1.8", L"maximum version 1.8", {L"1.4", L"1.8.0_402"}, {L"9", L"17.0.1"}},
        // The keyword is exact: "Any" reads as no digits, which sets no limit either.
        LimitsCase{L"Any", L"Any", L"latest version", {L"1.1", L"99"}, {}},
        LimitsCase{L"11", L"17", L"version between 11.0 and 17", {L"11.0.2", L"17.0.15"}, {L"1.8", L"21"}},
        LimitsCase{L"1.6.0_10", L"1.7", L"version between 1.6.0.10 and 1.7",
                   {L"1.6.0_10", L"1.7.0_80"}, {L"1.6.0_9", L"1.8"}}));

TEST(ConvertLimits, AnyGivesTheOpenBoundsWithFourGroups) {
  EXPECT_TRUE(ConvertMinimumVersion(L"any") == V(0, 0, 0, 0, 4));
  EXPECT_TRUE(ConvertMaximumVersion(L"any") == V(65535, 65535, 65535, 65535, 4));
  EXPECT_TRUE(ConvertMaximumVersion(L"") == V(0, 0, 0, 0, 0));
  EXPECT_TRUE(ConvertMaximumVersion(L"1.6") == V(1, 6, 65535, 65535, 2));
}

TEST(WithinLimits, DigitlessNamesPassOnlyWithoutAMinimum) {
  const JavaVersion unreadable = ParseVersion(L"latest", 0);
  EXPECT_TRUE(WithinLimits(unreadable, ConvertMinimumVersion(L""), ConvertMaximumVersion(L"1.8")));
  EXPECT_FALSE(WithinLimits(unreadable, ConvertMinimumVersion(L"1.1"), ConvertMaximumVersion(L"")));
}

struct PreferredCase {
  const wchar_t* preferred;
  const wchar_t* candidate;
  bool matches;
};

class MatchesPreferredTest : public testing::TestWithParam<PreferredCase> {};

TEST_P(MatchesPreferredTest, ComparesTheGroupsThePreferenceNames) {
  EXPECT_EQ(MatchesPreferred(GetParam().preferred, ParseVersion(GetParam().candidate, 0)),
            GetParam().matches)
      << "preferred " << testing::PrintToString(GetParam().preferred);
}

INSTANTIATE_TEST_SUITE_P(Cases, MatchesPreferredTest,
                         testing::Values(PreferredCase{L"1.6", L"1.6.0_20", true},
                                         PreferredCase{L"1.6", L"1.6.0", true},
                                         PreferredCase{L"1.6.0", L"1.6", true},
                                         PreferredCase{L"1.6", L"1.7.0", false},
                                         PreferredCase{L"1.6.0.20", L"1.6.0_20-b02", true},
                                         PreferredCase{L"1.6.0_20-b02", L"1.6.0_20", true},
                                         PreferredCase{L"1.6.0_21", L"1.6.0_20", false},
                                         PreferredCase{L"17", L"17.0.15+6", true},
                                         PreferredCase{L"17", L"1.7.0", false},
                                         PreferredCase{L"1.7.0", L"1.7", true},
                                         PreferredCase{L"1.7.0.1", L"1.7", false},
                                         PreferredCase{L"", L"1.6", false},
                                         PreferredCase{L"", L"no digits", true}));

TEST(SplitPreferredList, CutsAtEverySemicolon) {
  using List = std::vector<std::wstring>;
  EXPECT_EQ(SplitPreferredList(L"1.6;;1.5"), (List{L"1.6", L"", L"1.5"}));
  EXPECT_EQ(SplitPreferredList(L"1.6;"), (List{L"1.6"}));
  EXPECT_EQ(SplitPreferredList(L";1.6"), (List{L"", L"1.6"}));
  EXPECT_EQ(SplitPreferredList(L" 1.6 ; 1.7"), (List{L" 1.6 ", L" 1.7"}));
  EXPECT_EQ(SplitPreferredList(L"1.6"), (List{L"1.6"}));
  EXPECT_EQ(SplitPreferredList(L""), List{});
  EXPECT_EQ(SplitPreferredList(L";"), (List{L""}));
}

}  // namespace
}  // namespace korvan
