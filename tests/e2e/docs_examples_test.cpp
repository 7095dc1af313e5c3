// The settings examples of README.md and docs/settings.md, taken from the
// documents themselves and run as written on their target and a real
// runtime, from a folder other than the launcher's: a document that drifts
// from what the launchers do fails here.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/real_runtimes.h"
#include "support/text_checks.h"

namespace korvan::e2e {
namespace {

namespace fs = std::filesystem;

// The first ```ini block after `anchor` in `document`; "" when there is none.
std::string IniBlock(const std::string& document, const std::string& anchor) {
  const std::string text = ReadText(fs::path(KORVAN_SOURCE_DIR) / document);
  const std::size_t at = anchor.empty() ? std::string::npos : text.find(anchor);
  const std::size_t start = at == std::string::npos ? at : text.find("```ini\n", at);
  const std::size_t end = start == std::string::npos ? start : text.find("```\n", start + 7);
  return end == std::string::npos ? "" : text.substr(start + 7, end - start - 7);
}

// The value of `key` in an ini text; "" when absent.
std::string ValueOf(const std::string& text, const std::string& key) {
  const std::size_t at = text.find(key + "=");
  if (at == std::string::npos) return "";
  const std::size_t start = at + key.size() + 1;
  return text.substr(start, text.find('\n', start) - start);
}

struct DocExample {
  const char* name;
  const char* document;
  const char* anchor;  // the text that the example's block follows
  TargetKind target;
  const char* launcher;
  const char* rest;      // settings the page gives elsewhere, in sections of their own
  const char* embedded;  // the anchor of a block to embed, or the text the page gives in words
  const char* printed;    // what the application prints, in order
};

void PrintTo(const DocExample& example, std::ostream* out) { *out << example.name; }

class DocExampleTest : public testing::TestWithParam<DocExample> {};

TEST_P(DocExampleTest, RunsAsWritten) {
  const DocExample& example = GetParam();
  const RealRuntime runtime = NewestRuntime(example.target);
  if (const std::string why = WhyNotRunnable(runtime); !why.empty()) GTEST_SKIP() << why;
  const std::string settings = IniBlock(example.document, example.anchor);
  ASSERT_NE(settings, "") << "no ini block after \"" << example.anchor << "\" in " << example.document;
  LaunchFolder folder(runtime.target, example.launcher);
  folder.WriteSettings(settings + example.rest);
  const fs::path jars = KORVAN_JAVA_TESTS_DIR;
  fs::create_directories(folder.folder() / "lib");
  for (const char* jar : {"app.jar", "tool.jar"}) fs::copy_file(jars / "probe.jar", folder.folder() / jar);
  fs::copy_file(jars / "extra.jar", folder.folder() / "lib/extra.jar");
  folder.WriteFile("app.args", "-Dfrom.args=yes\n");
  if (*example.embedded) {
    const std::string block = IniBlock(example.document, example.embedded);
    folder.WriteFile("embedded.ini", block.empty() ? example.embedded : block);
    const ProcessResult stamped =
        StampLauncher(folder, {"--upgrade-code", ValueOf(settings, "Upgrade Code")}, "embedded.ini");
    ASSERT_EQ(stamped.exit_code, 0) << stamped.standard_error;
  }
  fs::create_directories(folder.folder() / "elsewhere");
  ProcessOptions options;
  options.working_directory = (folder.folder() / "elsewhere").string();
  options.environment["JAVA_HOME"] = LauncherPath(runtime);
  const ProcessResult result = folder.Run({}, options);
  EXPECT_EQ(result.exit_code, 0) << result.standard_output << result.standard_error;
  EXPECT_TRUE(Contains(result.standard_output, folder.Lines(example.printed))) << result.standard_output;
}

const char kReadme[] = "README.md";
const char kSettings[] = "docs/settings.md";
const char kMain[] = "[Java Runtime Environment]\nMain Class=com.example.App\n";
const char kMainAndClassPath[] =
    "[Java Runtime Environment]\nMain Class=com.example.App\n[Class Path]\nClass Path=%KORVAN_APP_HOME%/app.jar\n";
const std::vector<DocExample> kExamples = {
    {"WindowsReadmeMinimal", kReadme, "A minimal one for Windows", TargetKind::Windows, "Tool", "", "",
     "main of com.example.App\nlib class found\n"},
    {"LinuxReadmeMinimal", kReadme, "The same for Linux", TargetKind::Linux, "tool", "", "",
     "main of com.example.App\njava.lang open\nlib class found\n"},
    {"WindowsReadmePackaging", kReadme, "`dist/Tool.ini`", TargetKind::Windows, "Tool", "", "`defaults.ini`",
     "main of com.example.Tool\n"},
    {"LinuxSettingsWildcards", kSettings, "### Class path wildcards", TargetKind::Linux, "App", kMain, "",
     "main of com.example.App\nlib class found\n"},
    {"LinuxSettingsVmParameters", kSettings, "### VM parameters", TargetKind::Linux, "App", "", kMainAndClassPath,
     "app.title=My App\nfrom.args=yes\njava.lang open\n"},
    {"LinuxSettingsPlusSection", kSettings, "## Layering", TargetKind::Linux, "App", kMainAndClassPath,
     "[Application]\nCmd=-Dmode=base\n", "argument -Dmode=base\nargument -Dextra=1\n"},
    {"LinuxSettingsUpgradeCode", kSettings, "must name the same code", TargetKind::Linux, "App", "",
     kMainAndClassPath, "main of com.example.App\n"},
};

INSTANTIATE_TEST_SUITE_P(Documents, DocExampleTest, testing::ValuesIn(kExamples),
                         [](const testing::TestParamInfo<DocExample>& info) { return info.param.name; });

// A new example in either document needs its row above.
TEST(DocExamples, EveryIniBlockHasARow) {
  for (const char* document : {kReadme, kSettings}) {
    const std::string text = ReadText(fs::path(KORVAN_SOURCE_DIR) / document);
    std::size_t blocks = 0;
    for (std::size_t at = text.find("```ini"); at != std::string::npos; at = text.find("```ini", at + 1)) ++blocks;
    std::size_t rows = 0;
    for (const DocExample& example : kExamples) {
      if (example.document == document) rows += 1 + !IniBlock(document, example.embedded).empty();
    }
    EXPECT_EQ(blocks, rows) << document;
  }
}

}  // namespace
}  // namespace korvan::e2e
