// Settings files that are broken, binary, enormous or cut short: the launcher
// never crashes or hangs; it reads what the profile rules find and ends with
// the message for a missing main class, or goes on when one is found.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "support/launch_folder.h"
#include "support/settings_checks.h"

namespace korvan::e2e {
namespace {


class BrokenSettingsFileTest : public TargetTest {
 protected:
  // Writes `bytes` as they are (no line-end conversion) and runs the launcher.
  ProcessResult RunWith(const LaunchFolder& folder, const std::string& bytes) {
    folder.WriteFile(folder.SettingsFile().filename().string(), bytes);
    const ProcessResult result = folder.Run();
    EXPECT_FALSE(result.timed_out);
    EXPECT_EQ(result.exit_code, 255);
    return result;
  }
};

TEST_P(BrokenSettingsFileTest, BinaryFileHasNoMainClass) {
  LaunchFolder folder(GetParam());
  std::string bytes;
  for (int i = 0; i < 100000; ++i) bytes += static_cast<char>((i * 7919 + i / 13) % 256);
  EXPECT_EQ(folder.ErrorOutput(RunWith(folder, bytes)), folder.Lines(kMainClassMissing));
}

TEST_P(BrokenSettingsFileTest, Utf16FileCutInTheMiddleOfACharacter) {
  LaunchFolder folder(GetParam());
  const std::string text = "[Java Runtime Environment]\r\nMain Class=com.example.App\r\n";
  std::string bytes = "\xFF\xFE";
  for (char c : text) bytes += std::string{c, '\0'};
  bytes.resize(bytes.size() - 21);  // cut inside "App": odd length, no line end
  EXPECT_TRUE(PassedTheSettings(RunWith(folder, bytes)));
}

TEST_P(BrokenSettingsFileTest, Utf16FileCutBeforeTheValue) {
  LaunchFolder folder(GetParam());
  const std::string text = "[Java Runtime Environment]\r\nMain Class=com";
  std::string bytes = "\xFF\xFE";
  for (char c : text) bytes += std::string{c, '\0'};
  bytes.resize(bytes.size() - 9);  // "Main Cla" and half a character
  EXPECT_EQ(folder.ErrorOutput(RunWith(folder, bytes)), folder.Lines(kMainClassMissing));
}

TEST_P(BrokenSettingsFileTest, EnormousFileIsReadToTheEnd) {
  LaunchFolder folder(GetParam());
  std::string bytes = "[Padding]\r\n";
  const std::string line = "Key=" + std::string(120, 'v') + "\r\n";
  while (bytes.size() < (24u << 20)) bytes += line;
  bytes += "[Java Runtime Environment]\r\nMain Class=com.example.App\r\n";
  EXPECT_TRUE(PassedTheSettings(RunWith(folder, bytes)));
}

TEST_P(BrokenSettingsFileTest, EnormousValueIsReadWhole) {
  LaunchFolder folder(GetParam());
  // 4 million characters: the plain read doubles its buffer 15 times.
  const std::string bytes =
      "[Java Runtime Environment]\r\nMain Class=" + std::string(4u << 20, 'c') + "\r\n";
  EXPECT_TRUE(PassedTheSettings(RunWith(folder, bytes)));
}

TEST_P(BrokenSettingsFileTest, FolderInPlaceOfTheSettingsFile) {
  LaunchFolder folder(GetParam());
  std::filesystem::create_directory(folder.SettingsFile());
  const ProcessResult result = folder.Run();
  EXPECT_EQ(folder.ErrorOutput(result), folder.Lines(kMainClassMissing));
  EXPECT_EQ(result.exit_code, 255);
}

TEST_P(BrokenSettingsFileTest, FifoInPlaceOfTheSettingsFileIsNeverWaitedFor) {
  LaunchFolder folder(GetParam());
  if (folder.windows()) GTEST_SKIP() << "a FIFO is a Linux file";
  ASSERT_EQ(mkfifo(folder.SettingsFile().c_str(), 0600), 0);
  const ProcessResult result = folder.Run();
  EXPECT_FALSE(result.timed_out);
  EXPECT_EQ(folder.ErrorOutput(result), folder.Lines(kMainClassMissing));
  EXPECT_EQ(result.exit_code, 255);
}

INSTANTIATE_TEST_SUITE_P(Targets, BrokenSettingsFileTest, testing::ValuesIn(AllTargets()),
                         TargetName);

}  // namespace
}  // namespace korvan::e2e
