#include "jvm/java_text.h"

#include <gtest/gtest.h>

namespace korvan {
namespace {

struct Utf16Case {
  std::wstring wide;
  std::u16string utf16;
};

class Utf16FromWideTest : public testing::TestWithParam<Utf16Case> {};

TEST_P(Utf16FromWideTest, GivesTheCodeUnitsJavaStringsHold) {
  EXPECT_EQ(Utf16FromWide(GetParam().wide), GetParam().utf16);
}

TEST_P(Utf16FromWideTest, ComesBackUnchanged) {
  EXPECT_EQ(WideFromUtf16(GetParam().utf16), GetParam().wide);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Utf16FromWideTest,
    testing::Values(Utf16Case{L"", u""}, Utf16Case{L"a b \"c\"", u"a b \"c\""},
                    Utf16Case{L"caf\u00E9", u"caf\u00E9"}, Utf16Case{L"\u65E5\u672C", u"\u65E5\u672C"},
                    // Beyond U+FFFF: a surrogate pair, high half first.
                    Utf16Case{L"x\U0001F600y", u"x\xD83D\xDE00y"},
                    Utf16Case{L"\U00010000\U0010FFFF", u"\xD800\xDC00\xDBFF\xDFFF"},
                    Utf16Case{std::wstring(L"nul\0inside", 10), std::u16string(u"nul\0inside", 10)}));

// Wide text that holds whole code points (UTF-32) may carry values that are no
// character; Java gets the replacement character for each of them.
TEST(Utf16FromWide, ReplacesValuesThatAreNoCharacter) {
  if (sizeof(wchar_t) != 4) GTEST_SKIP() << "wide text is UTF-16 here";
  const std::wstring text = {L'a', static_cast<wchar_t>(0xD800), static_cast<wchar_t>(0x110000),
                             static_cast<wchar_t>(0xDFFF), L'b'};
  EXPECT_EQ(Utf16FromWide(text), u"a\uFFFD\uFFFD\uFFFDb");
}

TEST(WideFromUtf16, ReplacesUnpairedSurrogates) {
  if (sizeof(wchar_t) != 4) GTEST_SKIP() << "wide text is UTF-16 here";
  EXPECT_EQ(WideFromUtf16(u"\xD83Dx\xDE00"), L"\uFFFDx\uFFFD");
  EXPECT_EQ(WideFromUtf16(u"end\xD83D"), L"end\uFFFD");
}

}  // namespace
}  // namespace korvan
