#include "platform/shared/ini_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>

namespace korvan::platform {
namespace {

struct LookupCase {
  const char* name;
  const wchar_t* text;
  const wchar_t* section;
  const wchar_t* key;
  std::optional<std::wstring> expected;
};

class FindIniValueTest : public testing::TestWithParam<LookupCase> {};

TEST_P(FindIniValueTest, FindsWhatTheProfileFunctionsFind) {
  const LookupCase& c = GetParam();
  EXPECT_EQ(FindIniValue(ParseIniText(c.text), c.section, c.key), c.expected);
}

const std::nullopt_t kAbsent = std::nullopt;

INSTANTIATE_TEST_SUITE_P(
    Cases, FindIniValueTest,
    testing::Values(
        LookupCase{"Plain", L"[A]\r\nk=v\r\n", L"A", L"k", L"v"},
        LookupCase{"SectionCaseIgnored", L"[Java Runtime Environment]\nMain Class=x\n",
                   L"JAVA runtime environment", L"main class", L"x"},
        LookupCase{"BlanksAroundKeyAndValue", L"[A]\n \t key \t= \t value \t \n", L"A", L"key",
                   L"value"},
        LookupCase{"BlanksInsideKept", L"[A]\nk=a  b\n", L"A", L"k", L"a  b"},
        LookupCase{"QueryNamesTrimmed", L"[A]\nk=v\n", L" A ", L" k ", L"v"},
        LookupCase{"BlanksAroundHeaderLine", L"  [A]  \nk=v\n", L"A", L"k", L"v"},
        LookupCase{"BlanksInsideBracketsTrimmed", L"[ A ]\nk=v\n", L"A", L"k", L"v"},
        LookupCase{"OnlyAToZFoldCase", L"[\u00c4]\nk=v\n", L"\u00e4", L"k", kAbsent},
        LookupCase{"TextAfterClosingBracket", L"[A] trailing\nk=v\n", L"A", L"k", L"v"},
        LookupCase{"NameUpToLastBracket", L"[A]]\nk=v\n", L"A]", L"k", L"v"},
        LookupCase{"UnclosedHeaderIsEntry", L"[A\nk=v\n", L"A", L"k", kAbsent},
        LookupCase{"EmptySectionNameNeverFound", L"[]\nk=v\n", L"", L"k", kAbsent},
        LookupCase{"DoubleQuotesStripped", L"[A]\nk=\"a b\"\n", L"A", L"k", L"a b"},
        LookupCase{"SingleQuotesStripped", L"[A]\nk='a b'\n", L"A", L"k", L"a b"},
        LookupCase{"OnlyOnePairStripped", L"[A]\nk=\"\"a\"\"\n", L"A", L"k", L"\"a\""},
        LookupCase{"MismatchedQuotesKept", L"[A]\nk=\"a'\n", L"A", L"k", L"\"a'"},
        LookupCase{"LoneQuoteKept", L"[A]\nk=\"\n", L"A", L"k", L"\""},
        LookupCase{"EmptyQuotes", L"[A]\nk=\"\"\n", L"A", L"k", L""},
        LookupCase{"BlanksInsideQuotesKept", L"[A]\nk=\" a \"\n", L"A", L"k", L" a "},
        LookupCase{"EmptyValue", L"[A]\nk=\n", L"A", L"k", L""},
        LookupCase{"EqualsInValue", L"[A]\nk=a=b==c\n", L"A", L"k", L"a=b==c"},
        LookupCase{"LineWithoutEqualsIsNoEntry", L"[A]\nk\n", L"A", L"k", kAbsent},
        LookupCase{"LineWithoutEqualsShadowsLaterKey", L"[A]\nk\nk=v\n", L"A", L"k", kAbsent},
        LookupCase{"FirstDuplicateKeyWins", L"[A]\nk=1\nK=2\n", L"A", L"k", L"1"},
        LookupCase{"OnlyFirstSectionOfANameSearched", L"[A]\nx=1\n[B]\n[a]\nk=2\n", L"A", L"k",
                   kAbsent},
        LookupCase{"FirstSectionWins", L"[A]\nk=1\n[A]\nk=2\n", L"A", L"k", L"1"},
        LookupCase{"KeysBeforeAnySection", L"k=v\n[A]\n", L"A", L"k", kAbsent},
        LookupCase{"CommentIsJustALine", L"[A]\n;k=v\n", L"A", L"k", kAbsent},
        LookupCase{"CommentKeyCanBeRead", L"[A]\n;k=v\n", L"A", L";k", L"v"},
        LookupCase{"CrLfLines", L"[A]\r\nk=v\r\nj=w\r\n", L"A", L"j", L"w"},
        LookupCase{"LoneCrEndsALine", L"[A]\rk=v\rj=w", L"A", L"j", L"w"},
        LookupCase{"NoFinalLineEnd", L"[A]\nk=v", L"A", L"k", L"v"},
        LookupCase{"ControlZIsABlank", L"[A]\nk=v\x1a\n", L"A", L"k", L"v"},
        LookupCase{"EmptyKeyNeverFound", L"[A]\n=v\n", L"A", L"", kAbsent},
        LookupCase{"MissingSection", L"[A]\nk=v\n", L"B", L"k", kAbsent},
        LookupCase{"MissingKey", L"[A]\nk=v\n", L"A", L"j", kAbsent},
        LookupCase{"SectionEndsAtNextHeader", L"[A]\n[B]\nk=v\n", L"A", L"k", kAbsent}),
    [](const testing::TestParamInfo<LookupCase>& info) { return std::string(info.param.name); });

TEST(FindIniValue, NulInTextEndsValueNotLine) {
  const std::wstring text(L"[A]\nk=ab\0cd\nj=w\n", 16);
  const auto sections = ParseIniText(text);
  EXPECT_EQ(FindIniValue(sections, L"A", L"k"), L"ab");
  EXPECT_EQ(FindIniValue(sections, L"A", L"j"), L"w");
}

// Messages about a file's entries name their lines: every line end counts,
// blank lines too.
TEST(ParseIniText, NumbersHeadersAndEntriesByTheirLines) {
  const auto sections = ParseIniText(L"; c\r\n[A]\rk=v\n\nj=w\n");
  ASSERT_EQ(sections.size(), 2u);
  ASSERT_EQ(sections[1].entries.size(), 2u);
  EXPECT_EQ(sections[1].line, 2u);
  EXPECT_EQ(sections[1].entries[0].line, 3u);
  EXPECT_EQ(sections[1].entries[1].line, 5u);
}

struct DecodeCase {
  const char* name;
  std::string bytes;
  std::wstring text;
  IniEncoding encoding;
};

class DecodeIniFileTest : public testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeIniFileTest, ChoosesEncodingByByteOrderMark) {
  const IniFileText decoded = DecodeIniFile(GetParam().bytes);
  EXPECT_EQ(decoded.text, GetParam().text);
  EXPECT_EQ(decoded.encoding, GetParam().encoding);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DecodeIniFileTest,
    testing::Values(
        DecodeCase{"Narrow", "[A]\nk=v", L"[A]\nk=v", IniEncoding::Narrow},
        DecodeCase{"Utf8Bom", "\xEF\xBB\xBFk=\xC3\xA4", L"k=\u00e4", IniEncoding::Utf8},
        DecodeCase{"Utf16LeBom", std::string("\xFF\xFE[\0A\0]\0\xE4\0", 10), L"[A]\u00e4",
                   IniEncoding::Utf16Le},
        DecodeCase{"Utf16LeOddByteDropped", std::string("\xFF\xFEk\0v\0x", 7), L"kv",
                   IniEncoding::Utf16Le},
        DecodeCase{"Utf16BeBom", std::string("\xFE\xFF\0k\0=\0v", 8), L"k=v",
                   IniEncoding::Utf16Be},
        DecodeCase{"Empty", "", L"", IniEncoding::Narrow}),
    [](const testing::TestParamInfo<DecodeCase>& info) { return std::string(info.param.name); });

TEST(DecodeIniFile, SurrogatePairsBecomeOneCharacter) {
  const IniFileText decoded = DecodeIniFile(std::string("\xFF\xFE\x3D\xD8\x00\xDE", 6));
  EXPECT_EQ(decoded.text, L"\U0001F600");
}

TEST(EncodeIniFile, RoundTripsEveryEncoding) {
  const std::wstring text = L"[A]\r\nk=v \u00e4\U0001F600\r\n";
  for (IniEncoding encoding : {IniEncoding::Utf8, IniEncoding::Utf16Le, IniEncoding::Utf16Be}) {
    const IniFileText decoded = DecodeIniFile(EncodeIniFile(text, encoding));
    EXPECT_EQ(decoded.text, text);
    EXPECT_EQ(decoded.encoding, encoding);
  }
}

struct WriteCase {
  const char* name;
  const wchar_t* before;
  const wchar_t* section;
  const wchar_t* key;
  const wchar_t* value;
  const wchar_t* after;
};

class SetIniValueTest : public testing::TestWithParam<WriteCase> {};

TEST_P(SetIniValueTest, ChangesOnlyTheOneEntry) {
  const WriteCase& c = GetParam();
  const std::wstring after = SetIniValue(c.before, c.section, c.key, c.value);
  EXPECT_EQ(after, c.after);
  // What was written reads back, less its leading blanks.
  const std::wstring value = c.value;
  EXPECT_EQ(FindIniValue(ParseIniText(after), c.section, c.key),
            value.substr(std::min(value.size(), value.find_first_not_of(L' '))));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SetIniValueTest,
    testing::Values(
        WriteCase{"NewFile", L"", L"Java Runtime Environment", L"JRE Path", L"C:\\jre\\",
                  L"[Java Runtime Environment]\nJRE Path=C:\\jre\\\n"},
        WriteCase{"ReplacesFirstEntry", L"[A]\r\nk = old\r\nk=second\r\n", L"a", L"K", L"new",
                  L"[A]\r\nk=new\r\nk=second\r\n"},
        WriteCase{"AddsAfterLastLineOfSection", L"[A]\nx=1\n\n[B]\ny=2\n", L"A", L"k", L"v",
                  L"[A]\nx=1\nk=v\n\n[B]\ny=2\n"},
        WriteCase{"AddsToSectionAtEndWithoutLineEnd", L"[A]\nx=1", L"A", L"k", L"v",
                  L"[A]\nx=1\nk=v\n"},
        WriteCase{"AppendsSectionKeepingCrLf", L"[B]\r\ny=2", L"A", L"k", L"v",
                  L"[B]\r\ny=2\r\n[A]\r\nk=v\r\n"},
        WriteCase{"GivesValueToLineWithoutEquals", L"[A]\nk\n", L"A", L"k", L"v", L"[A]\nk=v\n"},
        WriteCase{"LeadingBlanksOfValueDropped", L"[A]\n", L"A", L"k", L"  v", L"[A]\nk=v\n"},
        WriteCase{"OnlyFirstSectionOfName", L"[A]\nx=1\n[A]\nk=2\n", L"A", L"k", L"v",
                  L"[A]\nx=1\nk=v\n[A]\nk=2\n"}),
    [](const testing::TestParamInfo<WriteCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace korvan::platform
