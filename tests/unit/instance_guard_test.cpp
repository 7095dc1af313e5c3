#include "instance/argument_area.h"
#include "instance/instance_guard.h"

#include <gtest/gtest.h>

namespace korvan {
namespace {

struct WantedCase {
  const wchar_t* application_type;
  const wchar_t* single_instance;
  bool wanted;
};

class SingleInstanceWantedTest : public testing::TestWithParam<WantedCase> {};

TEST_P(SingleInstanceWantedTest, OnlyAnExactLowerCaseYesOutsideAServiceTurnsTheGuardOn) {
  EXPECT_EQ(SingleInstanceWanted(GetParam().application_type, GetParam().single_instance),
            GetParam().wanted);
}

INSTANTIATE_TEST_SUITE_P(Cases, SingleInstanceWantedTest,
                         testing::Values(WantedCase{L"", L"yes", true},
                                         WantedCase{L"console", L"yes", true},
                                         WantedCase{L"Service", L"yes", true},
                                         WantedCase{L"", L"Yes", false},
                                         WantedCase{L"", L"YES", false},
                                         WantedCase{L"", L"y", false},
                                         WantedCase{L"", L"", false},
                                         WantedCase{L"service", L"yes", false},
                                         WantedCase{L"service", L"", false}));

TEST(InstanceName, TurnsEveryBackslashIntoAnUnderscore) {
  EXPECT_EQ(InstanceName(L"C:\\Program Files\\App\\App.exe"), L"C:_Program Files_App_App.exe");
  EXPECT_EQ(InstanceName(L"\\\\server\\share\\App.exe"), L"__server_share_App.exe");
  EXPECT_EQ(InstanceName(L"/opt/app/bin/app"), L"/opt/app/bin/app");
}

TEST(InstanceName, NamesAPathTooLongForTheObjectNamesByItsDigest) {
  const std::wstring folder = L"C:\\" + std::wstring(300, L'd') + L"\\";
  const std::wstring name = InstanceName(folder + L"App.exe");
  EXPECT_LE(name.size(), kLongestPlainInstanceName);
  EXPECT_EQ(InstanceName(L"c:\\" + std::wstring(300, L'D') + L"\\app.EXE"), name);
  EXPECT_NE(InstanceName(folder + L"Other.exe"), name);
  const std::wstring longest = L"C:\\" + std::wstring(kLongestPlainInstanceName - 3, L'x');
  EXPECT_EQ(InstanceName(longest), L"C:_" + std::wstring(kLongestPlainInstanceName - 3, L'x'));
}

TEST(ArgumentsToHandOver, GivesOneEmptyArgumentForNone) {
  EXPECT_EQ(ArgumentsToHandOver({}), std::vector<std::wstring>{L""});
  EXPECT_EQ(ArgumentsToHandOver({L"a"}), std::vector<std::wstring>{L"a"});
}

class ArgumentAreaRoundTripTest : public testing::TestWithParam<std::vector<std::wstring>> {};

TEST_P(ArgumentAreaRoundTripTest, EveryListArrivesWhole) {
  const std::optional<ArgumentArea> area = EncodeArgumentArea(GetParam(), 1040);
  ASSERT_TRUE(area);
  EXPECT_EQ(DecodeArgumentArea(area->data(), area->size()), GetParam());
  // As the fixed-size area carries it: zero-filled behind the list.
  ArgumentArea padded = *area;
  padded.resize(1040, 0);
  EXPECT_EQ(DecodeArgumentArea(padded.data(), padded.size()), GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    Lists, ArgumentAreaRoundTripTest,
    testing::Values(std::vector<std::wstring>{L"a", L"b"},
                    std::vector<std::wstring>{L"a", L"", L"b"},
                    std::vector<std::wstring>{L""},
                    std::vector<std::wstring>{L"", L""},
                    std::vector<std::wstring>{L"caf\u00E9", L"\u65E5\u672C", L"\U0001F600"},
                    std::vector<std::wstring>{L" two words ", L"\"quoted\"", L"tab\there"},
                    std::vector<std::wstring>{std::wstring(1032, L'x')}));

TEST(EncodeArgumentArea, RefusesAListOneByteTooLong) {
  // Count and length take 4 bytes each: 1032 bytes of text fill 1040 exactly.
  EXPECT_TRUE(EncodeArgumentArea({std::wstring(1032, L'x')}, 1040));
  EXPECT_FALSE(EncodeArgumentArea({std::wstring(1033, L'x')}, 1040));
  // UTF-8 bytes count, not characters: U+00E9 takes two.
  EXPECT_FALSE(EncodeArgumentArea({std::wstring(517, L'\u00E9')}, 1040));
  EXPECT_FALSE(EncodeArgumentArea(std::vector<std::wstring>(300, L"ab"), 1040));
}

ArgumentArea Bytes(std::initializer_list<int> values) {
  ArgumentArea bytes;
  for (int value : values) bytes.push_back(static_cast<std::uint8_t>(value));
  return bytes;
}

struct BrokenAreaCase {
  const char* name;
  ArgumentArea bytes;
};

class BrokenArgumentAreaTest : public testing::TestWithParam<BrokenAreaCase> {};

TEST_P(BrokenArgumentAreaTest, IsRefusedWithoutReadingPastTheEnd) {
  // A copy of exactly the given size, so a read past it shows under a sanitizer.
  const ArgumentArea bytes = GetParam().bytes;
  EXPECT_EQ(DecodeArgumentArea(bytes.data(), bytes.size()), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BrokenArgumentAreaTest,
    testing::Values(
        BrokenAreaCase{"Empty", {}},
        BrokenAreaCase{"CountCut", Bytes({1, 0, 0})},
        BrokenAreaCase{"HugeCount", Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0})},
        BrokenAreaCase{"LengthCut", Bytes({1, 0, 0, 0, 1, 0})},
        BrokenAreaCase{"LengthPastTheEnd", Bytes({1, 0, 0, 0, 3, 0, 0, 0, 'a', 'b'})},
        BrokenAreaCase{"HugeLength", Bytes({1, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 'a'})},
        BrokenAreaCase{"FewerArgumentsThanCounted", Bytes({2, 0, 0, 0, 1, 0, 0, 0, 'a'})},
        BrokenAreaCase{"BytesAfterTheList", Bytes({1, 0, 0, 0, 1, 0, 0, 0, 'a', 0, 'x'})}),
    [](const testing::TestParamInfo<BrokenAreaCase>& info) { return info.param.name; });

TEST(DecodeArgumentArea, RefusesEveryCutOfAWholeList) {
  const ArgumentArea area = *EncodeArgumentArea({L"first", L"", L"caf\u00E9"}, 1040);
  for (std::size_t size = 0; size < area.size(); ++size) {
    const ArgumentArea cut(area.begin(), area.begin() + static_cast<std::ptrdiff_t>(size));
    EXPECT_EQ(DecodeArgumentArea(cut.data(), cut.size()), std::nullopt) << size << " bytes";
  }
}

TEST(DecodeArgumentArea, ReplacesInvalidUtf8) {
  const ArgumentArea bytes = Bytes({1, 0, 0, 0, 3, 0, 0, 0, 'a', 0xFF, 'b'});
  EXPECT_EQ(DecodeArgumentArea(bytes.data(), bytes.size()),
            std::vector<std::wstring>{L"a\uFFFDb"});
}

}  // namespace
}  // namespace korvan
