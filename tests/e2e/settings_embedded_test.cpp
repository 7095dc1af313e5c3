// Launchers stamped with an embedded settings text (tools/stamp): the
// settings file replaces its values, adds to them through "+" sections, or
// leaves them alone; a text that does not decipher, or bytes that are no text
// at all, leave the launcher to its settings file. No runtime or class path is
// set up: a launch that passes the settings fails later (exit code 255), and
// the trace shows where each setting came from.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "common/hex_text.h"
#include "support/launch_folder.h"
#include "support/settings_checks.h"
#include "support/text_checks.h"

namespace korvan::e2e {
namespace {

namespace fs = std::filesystem;

const char kCode[] = "{0F6A2C51-7D3E-4B8A-9C1D-2E3F4A5B6C7D}";

std::string Hex(const std::string& bytes) { return testing_support::HexFromBytes(bytes); }

// The bytes of a probe's hex output line.
std::string FromHex(std::string hex) {
  while (!hex.empty() && (hex.back() == '\n' || hex.back() == '\r')) hex.pop_back();
  return testing_support::BytesFromHex(hex).value_or(std::string());
}

class EmbeddedSettings : public testing::Test {
 protected:
  // Runs the stamping tool of the folder's target on its launcher.
  void Stamp(const LaunchFolder& folder, const std::vector<std::string>& options,
             const std::string& input_name) {
    const ProcessResult result = StampLauncher(folder, options, input_name);
    ASSERT_EQ(result.exit_code, 0) << result.standard_output << result.standard_error;
  }

  void StampText(const LaunchFolder& folder, const std::string& text,
                 const std::string& code = kCode) {
    folder.WriteFile("embedded.txt", text);
    Stamp(folder, {"--upgrade-code", code}, "embedded.txt");
  }

  void StampRaw(const LaunchFolder& folder, const std::string& bytes) {
    folder.WriteFile("embedded.bin", bytes);
    Stamp(folder, {"--raw"}, "embedded.bin");
  }

  ProcessResult RunTraced(const LaunchFolder& folder) {
    ProcessOptions options;
    options.environment["KORVAN_TRACE"] = "1";
    const ProcessResult result = folder.Run({}, options);
    EXPECT_FALSE(result.timed_out);
    EXPECT_EQ(result.exit_code, 255);
    return result;
  }

  static std::string Settings(const std::string& rest) {
    return std::string("[Product Information]\nUpgrade Code=") + kCode + "\n" + rest;
  }
};

class EmbeddedSettingsTest : public EmbeddedSettings, public testing::WithParamInterface<Target> {
  void SetUp() override { KORVAN_SKIP_UNLESS_RUNNABLE(GetParam()); }
};

const Target kLinux{TargetKind::Linux, "Linux"};

const char kEmbedded[] =
    "[Java Runtime Environment]\n"
    "Main Class = com.example.Embedded\n"
    "System Path = embedded-system\n"
    "Library Path = embedded-library\n"
    "JRE Path = embedded-jre\n"
    "Unread = \xF0\x9F\x98\x80\n";  // a surrogate pair in UTF-16: still a text

TEST_P(EmbeddedSettingsTest, EmbeddedTextSuppliesTheMainClass) {
  LaunchFolder folder(GetParam());
  StampText(folder, kEmbedded);
  folder.WriteSettings(Settings(""));
  const ProcessResult result = RunTraced(folder);
  EXPECT_TRUE(PassedTheSettings(result));
  EXPECT_TRUE(Contains(result.standard_error,
                       "Main Class = com.example.Embedded (embedded settings text)"))
      << result.standard_error;
  EXPECT_TRUE(Contains(result.standard_error, "embedded settings text: ")) << result.standard_error;
}

TEST_P(EmbeddedSettingsTest, SettingsFileReplacesAddsToOrLeavesEmbeddedValues) {
  LaunchFolder folder(GetParam());
  StampText(folder, kEmbedded);
  folder.WriteSettings(Settings(
      "[Java Runtime Environment]\n"
      "Main Class=com.example.FromFile\n"
      "JRE Path=\n"  // empty: cannot blank out the embedded value
      "[Java Runtime Environment+]\n"
      "System Path=added\n"
      "Main Class=ignored, the file has a value\n"));
  const ProcessResult result = RunTraced(folder);
  EXPECT_TRUE(PassedTheSettings(result));
  const std::string& trace = result.standard_error;
  EXPECT_TRUE(Contains(trace, "Main Class = com.example.FromFile (settings file)")) << trace;
  EXPECT_TRUE(Contains(trace, "System Path = embedded-system added (embedded settings text + "
                              "settings file [Java Runtime Environment+])"))
      << trace;
  EXPECT_TRUE(Contains(trace, "Library Path = embedded-library (embedded settings text)")) << trace;
  EXPECT_TRUE(Contains(trace, "JRE Path = embedded-jre (embedded settings text)")) << trace;
}

TEST_P(EmbeddedSettingsTest, EmbeddedNamesAreExact) {
  LaunchFolder folder(GetParam());
  StampText(folder,
            "[java runtime environment]\nMain Class=wrong.Case\n"
            "[ Java Runtime Environment ]\nMain Class=wrong.Blanks\n"
            "[Java Runtime Environment]\nmain class=wrong.KeyCase\n");
  folder.WriteSettings(Settings(""));
  const ProcessResult result = RunTraced(folder);
  EXPECT_EQ(folder.ErrorOutput(result), folder.Lines(kMainClassMissing));
}

TEST_P(EmbeddedSettingsTest, WrongUpgradeCodeLeavesOnlyTheSettingsFile) {
  LaunchFolder folder(GetParam());
  StampText(folder, kEmbedded, "{ANOTHER-CODE}");
  folder.WriteSettings(Settings(""));
  const ProcessResult result = RunTraced(folder);
  EXPECT_EQ(folder.ErrorOutput(result), folder.Lines(kMainClassMissing));
  EXPECT_FALSE(Contains(result.standard_error, "(embedded settings text)")) << result.standard_error;
  const std::string mismatch = "the upgrade code does not match the embedded settings (or they are damaged)";
  EXPECT_TRUE(Contains(result.standard_error, "ignored: " + mismatch)) << result.standard_error;
  const ProcessResult shown = StampLauncher(folder, {"--show", "--upgrade-code", kCode});
  EXPECT_EQ(shown.exit_code, 1);
  EXPECT_TRUE(Contains(shown.standard_error, mismatch)) << shown.standard_error;
}

TEST_P(EmbeddedSettingsTest, EmptyUpgradeCodeIsAKeyToo) {
  LaunchFolder folder(GetParam());
  StampText(folder, kEmbedded, "");
  const ProcessResult result = RunTraced(folder);  // no settings file at all
  EXPECT_TRUE(PassedTheSettings(result));
  EXPECT_TRUE(Contains(result.standard_error, "Main Class = com.example.Embedded (embedded"))
      << result.standard_error;
}

TEST_P(EmbeddedSettingsTest, RestampingReplacesTheText) {
  LaunchFolder folder(GetParam());
  StampText(folder, kEmbedded);
  StampText(folder, "[Java Runtime Environment]\r\nMain Class=com.example.Second\r\n");
  folder.WriteSettings(Settings(""));
  const ProcessResult result = RunTraced(folder);
  EXPECT_TRUE(Contains(result.standard_error, "Main Class = com.example.Second (embedded"))
      << result.standard_error;
}

// Random bytes decipher to noise: no sections, no crash.
TEST_P(EmbeddedSettingsTest, GarbageBytesAreNoSettings) {
  LaunchFolder folder(GetParam());
  std::string garbage;
  for (int i = 0; i < 4099; ++i) garbage += static_cast<char>((i * 131 + 7) % 256);
  StampRaw(folder, garbage);
  folder.WriteSettings(Settings(""));
  const ProcessResult result = RunTraced(folder);
  EXPECT_EQ(folder.ErrorOutput(result), folder.Lines(kMainClassMissing));
}

// An odd byte count: the last byte holds no character and is dropped; the
// characters before it still count. (The portable cipher enciphers for both
// targets: it equals CryptoAPI, see settings_cipher_cryptoapi_test.cpp.)
TEST_P(EmbeddedSettingsTest, OddLengthTextKeepsItsWholeCharacters) {
  LaunchFolder folder(GetParam());
  const std::string text = "[Java Runtime Environment]\r\nMain Class=com.example.Odd";
  std::string plain;
  for (char c : text) plain += std::string{c, '\0'};
  plain += 'X';
  const ProcessResult enciphered =
      RunProcess({(LinuxBuildDir() / "fixtures/cipher-probe").string(), "encipher",
                  Hex(kCode), Hex(plain)},
                 {});
  ASSERT_EQ(enciphered.exit_code, 0);
  const std::string bytes = FromHex(enciphered.standard_output);
  ASSERT_EQ(bytes.size() % 2, 1u);
  StampRaw(folder, bytes);
  folder.WriteSettings(Settings(""));
  const ProcessResult result = RunTraced(folder);
  EXPECT_TRUE(PassedTheSettings(result));
  EXPECT_TRUE(Contains(result.standard_error, "Main Class = com.example.Odd (embedded"))
      << result.standard_error;
}

TEST_P(EmbeddedSettingsTest, OneByteIsNoText) {
  LaunchFolder folder(GetParam());
  StampRaw(folder, "x");
  folder.WriteSettings(Settings(""));
  EXPECT_EQ(folder.ErrorOutput(RunTraced(folder)), folder.Lines(kMainClassMissing));
}

// A Linux launcher whose trailer counts more bytes than the file holds
// carries no settings text. (Windows launchers carry a resource instead.)
TEST_F(EmbeddedSettings, InconsistentTrailerIsNoText) {
  LaunchFolder folder(kLinux);
  std::ofstream(folder.launcher(), std::ios::binary | std::ios::app)
      << std::string("\xff\xff\xff\x7fKORVSET1", 12);
  folder.WriteSettings(Settings("[Java Runtime Environment]\nMain Class=A\n"));
  const ProcessResult result = RunTraced(folder);
  EXPECT_TRUE(PassedTheSettings(result));
  EXPECT_FALSE(Contains(result.standard_error, "embedded settings text:")) << result.standard_error;
}

TEST_P(EmbeddedSettingsTest, EmptyTextGivesNoSettings) {
  LaunchFolder folder(GetParam());
  StampText(folder, kEmbedded);
  StampText(folder, "");
  folder.WriteSettings(Settings(""));
  EXPECT_EQ(folder.ErrorOutput(RunTraced(folder)), folder.Lines(kMainClassMissing));
}

// A Linux launcher loses its trailer; removal from Windows launchers is
// tested in stamp_windows_test.cpp.
TEST_F(EmbeddedSettings, RemovedTextIsGone) {
  LaunchFolder folder(kLinux);
  StampText(folder, kEmbedded);
  const ProcessResult removed = RunProcess(
      {(LinuxBuildDir() / "korvan-stamp").string(), "--remove", folder.launcher().string()},
      {});
  ASSERT_EQ(removed.exit_code, 0) << removed.standard_error;
  folder.WriteSettings(Settings(""));
  EXPECT_EQ(folder.ErrorOutput(RunTraced(folder)), folder.Lines(kMainClassMissing));
  // The trailer went, and nothing else.
  EXPECT_EQ(fs::file_size(folder.launcher()), fs::file_size(LinuxBuildDir() / "korvan"));
}

INSTANTIATE_TEST_SUITE_P(Targets, EmbeddedSettingsTest, testing::ValuesIn(AllTargets()), TargetName);

}  // namespace
}  // namespace korvan::e2e
