#include "settings/settings_text_file.h"

#include <gtest/gtest.h>

#include "platform/shared/utf_text.h"
#include "settings/deciphered_text.h"
#include "settings/settings_text.h"
#include "settings/settings_text_file_check.h"

namespace korvan {
namespace {

// What the tool embeds: a byte-order mark, then the text.
std::string Utf16(const std::wstring& text) {
  return platform::Utf16BytesFromWide(L"\uFEFF" + text, platform::ByteOrder::LittleEndian);
}

struct TextFileCase {
  const char* name;
  std::string file;
  std::wstring embedded;
};

class EmbeddedBytesFromTextFileTest : public testing::TestWithParam<TextFileCase> {};

TEST_P(EmbeddedBytesFromTextFileTest, GivesUtf16WithCrLfLines) {
  EXPECT_EQ(EmbeddedBytesFromTextFile(GetParam().file), Utf16(GetParam().embedded));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EmbeddedBytesFromTextFileTest,
    testing::Values(
        TextFileCase{"Empty", "", L""},
        TextFileCase{"LfLines", "[A]\nk=v\n", L"[A]\r\nk=v\r\n"},
        TextFileCase{"CrLfLinesKept", "[A]\r\nk=v", L"[A]\r\nk=v"},
        TextFileCase{"LoneCr", "[A]\rk=v", L"[A]\r\nk=v"},
        TextFileCase{"BlankLines", "\n\r\n\r", L"\r\n\r\n\r\n"},
        TextFileCase{"Utf8", "k=\xC3\xA4\xE2\x82\xAC", L"k=\u00e4\u20ac"},
        TextFileCase{"Utf8MarkDropped", "\xEF\xBB\xBFk=v", L"k=v"},
        TextFileCase{"Utf16Input", std::string("\xFF\xFE[\0A\0]\0\n\0", 10), L"[A]\r\n"},
        TextFileCase{"Utf16BeInput", std::string("\xFE\xFF\0[\0A\0]\0\n\0k\x20\xAC", 14),
                     L"[A]\r\nk\u20ac"},
        TextFileCase{"Utf16SurrogatePair", std::string("\xFF\xFE\x3D\xD8\x00\xDE", 6), L"\U0001F600"}),
    [](const testing::TestParamInfo<TextFileCase>& info) { return std::string(info.param.name); });

TEST(SettingsTextFile, StampedTextParsesAsWritten) {
  const std::string file = "[Application]\nCmd = -x\n[Java Runtime Environment]\nMain Class=A\n";
  const auto sections =
      ParseSettingsText(platform::WideFromUtf16Bytes(EmbeddedBytesFromTextFile(file), platform::ByteOrder::LittleEndian));
  ASSERT_EQ(sections.size(), 2u);
  EXPECT_EQ(sections[0].entries.front().second, L"-x");
  EXPECT_EQ(sections[1].name, L"Java Runtime Environment");
  EXPECT_EQ(TextFileFromEmbeddedBytes(EmbeddedBytesFromTextFile(file)), file);
}

// Every file the tool accepts embeds a text whose first line is read as
// written; every other file is refused with its reason.
struct FileCheckCase {
  const char* name;
  std::string file;
  const char* problem;  // part of the reason; nullptr when the file is taken
};

class SettingsTextFileCheckTest : public testing::TestWithParam<FileCheckCase> {};

TEST_P(SettingsTextFileCheckTest, TakesWhatTheReaderReadsAsMeant) {
  const std::optional<std::string> problem = SettingsTextFileProblem(GetParam().file);
  if (GetParam().problem == nullptr) {
    EXPECT_EQ(problem, std::nullopt);
    // ... and the launcher takes it for a text deciphered with the right code.
    const auto sections = ReadableSettingsText(
        platform::WideFromUtf16Bytes(EmbeddedBytesFromTextFile(GetParam().file), platform::ByteOrder::LittleEndian));
    ASSERT_TRUE(sections.has_value() && !sections->empty());
    EXPECT_EQ(sections->front().name, L"A");
  } else {
    ASSERT_TRUE(problem.has_value());
    EXPECT_NE(problem->find(GetParam().problem), std::string::npos) << *problem;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Files, SettingsTextFileCheckTest,
    testing::Values(
        FileCheckCase{"Utf8", "[A]\nk=\xC3\xA4", nullptr},
        FileCheckCase{"Utf8WithMark", "\xEF\xBB\xBF[A]\n", nullptr},
        FileCheckCase{"Utf8BeyondTheBasicPlane", "[A]\nk=\xF0\x9F\x98\x80", nullptr},
        FileCheckCase{"Utf16Le", std::string("\xFF\xFE[\0A\0]\0", 8), nullptr},
        FileCheckCase{"Utf16Be", std::string("\xFE\xFF\0[\0A\0]", 8), nullptr},
        FileCheckCase{"TwoUtf8Marks", "\xEF\xBB\xBF\xEF\xBB\xBF[A]\n", "two byte-order marks"},
        FileCheckCase{"TwoUtf16Marks", std::string("\xFF\xFE\xFF\xFE[\0A\0]\0", 10),
                      "two byte-order marks"},
        FileCheckCase{"Latin1Byte", "[A]\nk=\xE4\n", "not valid UTF-8 at byte 6"},
        FileCheckCase{"CutUtf8Sequence", "[A]\nk=\xE2\x82", "not valid UTF-8 at byte 6"},
        FileCheckCase{"OverlongUtf8", "[A]\nk=\xC0\xAF", "not valid UTF-8"},
        FileCheckCase{"Utf16OddLength", std::string("\xFF\xFE[\0A\0]", 7), "odd length"},
        FileCheckCase{"LoneHighSurrogate", std::string("\xFF\xFE[\0A\0]\0\x3D\xD8", 10),
                      "unpaired surrogate"},
        FileCheckCase{"LoneLowSurrogate", std::string("\xFE\xFF\xDE\x00\0[", 6),
                      "unpaired surrogate at byte 2"},
        FileCheckCase{"Utf16WithoutMark", std::string("[\0A\0]\0", 6), "NUL character"}),
    [](const testing::TestParamInfo<FileCheckCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace korvan
