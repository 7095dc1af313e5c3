// The link colours read from the user's browser settings: which stored values
// count, and how "red,green,blue" texts are read.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/shared/link_colour.h"

namespace korvan::platform {
namespace {

struct ParseCase {
  const char* name;
  std::wstring text;
  std::optional<LinkColour> expected;
};

class ParseLinkColourTest : public testing::TestWithParam<ParseCase> {};

TEST_P(ParseLinkColourTest, ReadsTheColourOrRejectsTheText) {
  EXPECT_EQ(ParseLinkColour(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ParseLinkColourTest,
    testing::Values(
        ParseCase{"Red", L"255,0,0", MakeLinkColour(255, 0, 0)},
        ParseCase{"Blue", L"0,0,255", 0x00FF0000u},
        ParseCase{"EachComponentInItsByte", L"1,2,3", 0x00030201u},
        ParseCase{"OneComma", L"255,0", std::nullopt},
        ParseCase{"NothingAfterSecondComma", L"255,0,", std::nullopt},
        ParseCase{"NoComma", L"255", std::nullopt},
        ParseCase{"Empty", L"", std::nullopt},
        ParseCase{"RedMinusOne", L"-1,0,0", std::nullopt},
        ParseCase{"GreenMinusOne", L"0,-1,0", std::nullopt},
        ParseCase{"BlueMinusOneIs255", L"0,0,-1", MakeLinkColour(0, 0, 255)},
        ParseCase{"LowEightBits", L"300,0,0", MakeLinkColour(44, 0, 0)},
        ParseCase{"OtherNegativesWrap", L"-2,0,0", MakeLinkColour(254, 0, 0)},
        ParseCase{"BlanksAndSignsAsAtoi", L" +12, 7x,  9 ", MakeLinkColour(12, 7, 9)},
        ParseCase{"LettersReadAsZero", L"a,b,c", MakeLinkColour(0, 0, 0)},
        ParseCase{"BlankBlueIsStillSomething", L"1,2, ", MakeLinkColour(1, 2, 0)}),
    [](const testing::TestParamInfo<ParseCase>& info) { return std::string(info.param.name); });

struct StoredCase {
  const char* name;
  StoredValueType type;
  std::string bytes;
  bool usable;
};

class ColourValueUsableTest : public testing::TestWithParam<StoredCase> {};

TEST_P(ColourValueUsableTest, AcceptsOnlyTerminatedTexts) {
  const StoredCase& c = GetParam();
  EXPECT_EQ(IsColourValueUsable(c.type, reinterpret_cast<const unsigned char*>(c.bytes.data()),
                                c.bytes.size()),
            c.usable);
}

// "1,2" in UTF-16LE, with and without its NUL character.
const std::string kTerminated("1\0,\0" "2\0\0\0", 8);
const std::string kUnterminated("1\0,\0" "2\0", 6);

INSTANTIATE_TEST_SUITE_P(
    Values, ColourValueUsableTest,
    testing::Values(StoredCase{"Text", StoredValueType::Text, kTerminated, true},
                    StoredCase{"ExpandableText", StoredValueType::ExpandableText, kTerminated, true},
                    StoredCase{"Dword", StoredValueType::Other, std::string("\xFF\0\0\0", 4), false},
                    StoredCase{"OtherTypeTerminated", StoredValueType::Other, kTerminated, false},
                    StoredCase{"EmptyText", StoredValueType::Text, "", true},
                    StoredCase{"NotTerminated", StoredValueType::Text, kUnterminated, false},
                    StoredCase{"OddByteCount", StoredValueType::Text, std::string("1\0\0", 3), false},
                    StoredCase{"HalfANul", StoredValueType::Text, std::string("1\0\0\x01", 4), false}),
    [](const testing::TestParamInfo<StoredCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace korvan::platform
