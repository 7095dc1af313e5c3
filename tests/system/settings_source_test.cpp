#include "settings/settings_source.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/profile.h"

namespace korvan {
namespace {

namespace fs = std::filesystem;

// A temporary folder for settings files, removed afterwards.
class SettingsFolder {
 public:
  SettingsFolder() {
    std::string pattern = (fs::temp_directory_path() / "korvan-unit-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) folder_ = pattern;
  }
  ~SettingsFolder() {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }
  std::wstring Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(folder_ / name, std::ios::binary) << bytes;
    return Path(name);
  }
  std::wstring Path(const std::string& name) const { return (folder_ / name).wstring(); }

 private:
  fs::path folder_;
};

class ReadProfileStringTest : public testing::TestWithParam<std::size_t> {};

// The buffer starts at 256 characters and doubles while the value fills it:
// values just below, at and beyond each size come back whole.
TEST_P(ReadProfileStringTest, ReadsAValueOfAnyLengthWhole) {
  SettingsFolder folder;
  std::string value;
  for (std::size_t i = 0; i < GetParam(); ++i) value += static_cast<char>('a' + i % 26);
  const std::wstring file = folder.Write("long.ini", "[A]\r\nk=" + value + "\r\nnext=1\r\n");
  EXPECT_EQ(ReadProfileString(file, L"A", L"k"), std::wstring(value.begin(), value.end()));
}

INSTANTIATE_TEST_SUITE_P(Lengths, ReadProfileStringTest,
                         testing::Values(0, 1, 254, 255, 256, 257, 511, 512, 1023, 10000, 100000));

TEST(ReadProfileString, AbsentFileSectionOrKeyGiveEmptyText) {
  SettingsFolder folder;
  const std::wstring file = folder.Write("s.ini", "[A]\nk=v\n");
  EXPECT_EQ(ReadProfileString(folder.Path("missing.ini"), L"A", L"k"), L"");
  EXPECT_EQ(ReadProfileString(file, L"B", L"k"), L"");
  EXPECT_EQ(ReadProfileString(file, L"A", L"j"), L"");
  EXPECT_EQ(ReadProfileString(folder.Path(""), L"A", L"k"), L"");  // a folder
}

TEST(ReadProfileString, SeesTheFileChangeBetweenReads) {
  SettingsFolder folder;
  const std::wstring file = folder.Write("s.ini", "[A]\nk=first\n");
  EXPECT_EQ(ReadProfileString(file, L"A", L"k"), L"first");
  folder.Write("s.ini", "[A]\nk=second, longer\n");
  EXPECT_EQ(ReadProfileString(file, L"A", L"k"), L"second, longer");
}

TEST(ReadProfileValue, CutsLikeTheProfileFunctions) {
  SettingsFolder folder;
  const std::wstring file = folder.Write("s.ini", "[A]\nk=abcdef\nq=\"abc\"\n");
  std::wstring value;
  EXPECT_EQ(platform::ReadProfileValue(file, L"A", L"k", 4, value), 3u);
  EXPECT_EQ(value, L"abc");
  EXPECT_EQ(platform::ReadProfileValue(file, L"A", L"k", 7, value), 6u);
  EXPECT_EQ(value, L"abcdef");
  EXPECT_EQ(platform::ReadProfileValue(file, L"A", L"q", 4, value), 3u);
  EXPECT_EQ(value, L"abc");
}

TEST(WriteProfileValue, CreatesAndUpdatesAFileThatReadsBack) {
  SettingsFolder folder;
  const std::wstring file = folder.Path("user.ini");
  ASSERT_TRUE(platform::WriteProfileValue(file, L"Java Runtime Environment", L"JRE Path", L"/a/"));
  EXPECT_EQ(ReadProfileString(file, L"Java Runtime Environment", L"JRE Path"), L"/a/");
  ASSERT_TRUE(platform::WriteProfileValue(file, L"Java Runtime Environment", L"JRE Path", L"/b/"));
  EXPECT_EQ(ReadProfileString(file, L"Java Runtime Environment", L"JRE Path"), L"/b/");
  EXPECT_FALSE(platform::WriteProfileValue(folder.Path("no/such/folder.ini"), L"A", L"k", L"v"));
}

TEST(WriteProfileValue, KeepsAUtf16File) {
  SettingsFolder folder;
  const std::wstring file =
      folder.Write("wide.ini", std::string("\xFF\xFE[\0A\0]\0\r\0\n\0", 12));
  ASSERT_TRUE(platform::WriteProfileValue(file, L"A", L"k", L"\u00e4"));
  std::ifstream stream(fs::path(folder.Path("wide.ini")), std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
  EXPECT_EQ(bytes, std::string("\xFF\xFE[\0A\0]\0\r\0\n\0k\0=\0\xE4\0\r\0\n\0", 22));
}

// The layered read over a settings file and an embedded text.
struct LayerCase {
  const char* name;
  const char* settings_file;  // nullptr: no settings file
  const wchar_t* embedded;    // value of [Application] Cmd in the embedded text, or nullptr
  std::wstring expected;
  SettingOrigin origin;
};

class LookupSettingTest : public testing::TestWithParam<LayerCase> {};

TEST_P(LookupSettingTest, LayersFileOverEmbeddedText) {
  const LayerCase& c = GetParam();
  SettingsFolder folder;
  SettingsSource source;
  source.file_path = c.settings_file ? folder.Write("s.ini", c.settings_file) : folder.Path("s.ini");
  if (c.embedded) {
    source.embedded_sections = {EmbeddedSection{L"Other", {{L"Cmd", L"wrong section"}}},
                                EmbeddedSection{L"Application", {{L"Cmd", c.embedded}}}};
  }
  SettingOrigin origin = SettingOrigin::None;
  EXPECT_EQ(LookupSetting(source, L"Application", L"Cmd", &origin), c.expected);
  EXPECT_EQ(origin, c.origin);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LookupSettingTest,
    testing::Values(
        LayerCase{"NothingAnywhere", nullptr, nullptr, L"", SettingOrigin::None},
        LayerCase{"EmbeddedOnly", nullptr, L"-e", L"-e", SettingOrigin::Embedded},
        LayerCase{"FileReplacesEmbedded", "[Application]\nCmd=-f\n", L"-e", L"-f",
                  SettingOrigin::SettingsFile},
        LayerCase{"EmptyFileValueKeepsEmbedded", "[Application]\nCmd=\n", L"-e", L"-e",
                  SettingOrigin::Embedded},
        LayerCase{"PlusAddsWithOneSpace", "[Application+]\nCmd=-p\n", L"-e", L"-e -p",
                  SettingOrigin::EmbeddedAndPlus},
        LayerCase{"PlusStartingWithSpaceAddsNone", "[Application+]\nCmd=\" -p\"\n", L"-e",
                  L"-e -p", SettingOrigin::EmbeddedAndPlus},
        LayerCase{"PlusAloneNeedsNoSpace", "[Application+]\nCmd=-p\n", nullptr, L"-p",
                  SettingOrigin::PlusSection},
        LayerCase{"PlusIgnoredWhenFileHasValue", "[Application]\nCmd=-f\n[Application+]\nCmd=-p\n",
                  L"-e", L"-f", SettingOrigin::SettingsFile},
        LayerCase{"PlusAfterEmptyFileValue", "[Application]\nCmd=\n[Application+]\nCmd=-p\n",
                  L"-e", L"-e -p", SettingOrigin::EmbeddedAndPlus},
        LayerCase{"FileSectionCaseIgnored", "[APPLICATION]\ncmd=-f\n", L"-e", L"-f",
                  SettingOrigin::SettingsFile}),
    [](const testing::TestParamInfo<LayerCase>& info) { return std::string(info.param.name); });

TEST(FindEmbeddedValue, ExactNamesFirstSectionFirstEntry) {
  const std::vector<EmbeddedSection> sections = {
      EmbeddedSection{L"Application", {{L"Cmd", L"1"}, {L"Cmd", L"2"}}},
      EmbeddedSection{L"Application", {{L"Cmd", L"3"}, {L"Other", L"4"}}},
      EmbeddedSection{L" Application ", {{L"Cmd", L"5"}}},
  };
  EXPECT_EQ(FindEmbeddedValue(sections, L"Application", L"Cmd"), L"1");
  EXPECT_EQ(FindEmbeddedValue(sections, L"Application", L"Other"), L"");  // second section unreached
  EXPECT_EQ(FindEmbeddedValue(sections, L"application", L"Cmd"), L"");    // case counts
  EXPECT_EQ(FindEmbeddedValue(sections, L"Application", L"cmd"), L"");
  EXPECT_EQ(FindEmbeddedValue(sections, L" Application ", L"Cmd"), L"5");
}

}  // namespace
}  // namespace korvan
