#include "settings/settings_text_file.h"

#include <gtest/gtest.h>

#include "platform/shared/utf_text.h"
#include "settings/settings_text.h"

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
        TextFileCase{"Utf16Input", std::string("\xFF\xFE[\0A\0]\0\n\0", 10), L"[A]\r\n"}),
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

}  // namespace
}  // namespace korvan
