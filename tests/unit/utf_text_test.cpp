#include "platform/shared/utf_text.h"

#include <gtest/gtest.h>

namespace korvan::platform {
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
                    // Lone surrogates stay as they are, as in Windows' wchar_t units.
                    Utf16Case{{static_cast<wchar_t>(0xD83D), L'x', static_cast<wchar_t>(0xDE00)}, u"\xD83Dx\xDE00"},
                    Utf16Case{{L'e', static_cast<wchar_t>(0xDBFF)}, u"e\xDBFF"},
                    Utf16Case{std::wstring(L"nul\0inside", 10), std::u16string(u"nul\0inside", 10)}));

// Wide text that holds whole code points (UTF-32) may carry values beyond
// U+10FFFF; each becomes the replacement character.
TEST(Utf16FromWide, ReplacesValuesBeyondTheLastCharacter) {
  if (sizeof(wchar_t) != 4) GTEST_SKIP() << "wide text is UTF-16 here";
  const std::wstring text = {L'a', static_cast<wchar_t>(0x110000), static_cast<wchar_t>(-1), L'b'};
  EXPECT_EQ(Utf16FromWide(text), u"a\uFFFD\uFFFDb");
}

struct CaseComparison {
  const wchar_t* a;
  const wchar_t* b;
  bool equal;
};

class EqualsIgnoringAsciiCaseTest : public testing::TestWithParam<CaseComparison> {};

TEST_P(EqualsIgnoringAsciiCaseTest, FoldsOnlyAToZ) {
  EXPECT_EQ(EqualsIgnoringAsciiCase(GetParam().a, GetParam().b), GetParam().equal);
  EXPECT_EQ(EqualsIgnoringAsciiCase(GetParam().b, GetParam().a), GetParam().equal);
}

INSTANTIATE_TEST_SUITE_P(
    Names, EqualsIgnoringAsciiCaseTest,
    testing::Values(CaseComparison{L"Favor_JRockit", L"favor_jrockit", true},
                    CaseComparison{L"Main Class", L"MAIN class", true},
                    CaseComparison{L"Main Class", L"MainClass", false},
                    CaseComparison{L"Main", L"Main ", false}, CaseComparison{L"any", L"anyway", false},
                    CaseComparison{L"\u00c4", L"\u00e4", false},  // no folding beyond A to Z
                    CaseComparison{L"@", L"`", false},             // neighbours of A and a
                    CaseComparison{L"[", L"{", false}));

}  // namespace
}  // namespace korvan::platform
