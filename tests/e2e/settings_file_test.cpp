// The launch settings as the launchers read them from the settings file: the
// message for a missing main class, the "+" sections, the per-user "JRE Path".
// No runtime or class path is set up: a launch that passes the settings fails
// later (exit code 255), and the trace shows what was read.
#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "support/launch_folder.h"
#include "support/settings_checks.h"
#include "support/text_checks.h"

namespace korvan::e2e {
namespace {

namespace fs = std::filesystem;


ProcessOptions Traced() {
  ProcessOptions options;
  options.environment["KORVAN_TRACE"] = "1";
  return options;
}

class SettingsFileTest : public TargetTest {};

TEST_P(SettingsFileTest, DottedLauncherWithoutSettingsFileLacksAMainClass) {
  LaunchFolder folder(GetParam(), "My.Tool");
  const ProcessResult result = folder.Run();
  ASSERT_FALSE(result.timed_out);
  EXPECT_EQ(folder.ErrorOutput(result), folder.Lines(kMainClassMissing));
  EXPECT_EQ(result.exit_code, 255);
}

TEST_P(SettingsFileTest, EmptyMainClassIsMissing) {
  LaunchFolder folder(GetParam());
  folder.WriteSettings("[Java Runtime Environment]\nMain Class=\n");
  const ProcessResult result = folder.Run();
  EXPECT_EQ(folder.ErrorOutput(result), folder.Lines(kMainClassMissing));
  EXPECT_EQ(result.exit_code, 255);
}

TEST_P(SettingsFileTest, MainClassLetsTheLaunchGoOn) {
  LaunchFolder folder(GetParam());
  folder.WriteSettings(
      "[Java Runtime Environment]\n"
      "  main CLASS  =  \"com.example.App\"  \n"
      "Minimum Version=any\n");
  const ProcessResult result = folder.Run({}, Traced());
  ASSERT_FALSE(result.timed_out);
  EXPECT_TRUE(PassedTheSettings(result));
  EXPECT_EQ(result.exit_code, 255);  // no runtime here
  EXPECT_TRUE(Contains(result.standard_error,
                       folder.Lines("korvan: setting [Java Runtime Environment] Main Class = "
                                    "com.example.App (settings file)\n")))
      << result.standard_error;
}

TEST_P(SettingsFileTest, PlusSectionAloneSuppliesTheMainClass) {
  LaunchFolder folder(GetParam());
  folder.WriteSettings("[Java Runtime Environment+]\nMain Class=com.example.App\n");
  const ProcessResult result = folder.Run({}, Traced());
  EXPECT_TRUE(PassedTheSettings(result));
  EXPECT_TRUE(Contains(result.standard_error,
                       "Main Class = com.example.App (settings file [Java Runtime Environment+])"))
      << result.standard_error;
}

TEST_P(SettingsFileTest, TraceGoesToStandardErrorOnly) {
  LaunchFolder folder(GetParam());
  folder.WriteSettings("[Java Runtime Environment]\nMain Class=A\n[Application]\nCmd=-x\n");
  const ProcessResult result = folder.Run({}, Traced());
  EXPECT_FALSE(Contains(result.standard_output, "korvan:")) << result.standard_output;
  EXPECT_TRUE(Contains(result.standard_error, "korvan: setting [Java Runtime Environment] Main Class = A"));
}

// The folder under which the launcher looks for per-user settings, as seen from
// this test. Wine sets APPDATA itself, from its prefix.
fs::path UserSettingsRoot(const LaunchFolder& folder, ProcessOptions& options) {
  if (!folder.windows()) {
    options.environment["XDG_CONFIG_HOME"] = (folder.folder() / "config").string();
    return folder.folder() / "config";
  }
  const passwd* user = getpwuid(getuid());
  return fs::path(std::getenv("WINEPREFIX")) / "drive_c" / "users" /
         (user != nullptr ? user->pw_name : "root") / "AppData" / "Roaming";
}

TEST_P(SettingsFileTest, PerUserJrePathDecidesAloneWhenItsFileExists) {
  LaunchFolder folder(GetParam());
  const std::string product = "Korvan Test " + folder.folder().filename().string();
  folder.WriteSettings(
      "[Product Information]\nProduct Name=" + product + "\nProduct Code={CODE-1}\n"
      "[Java Runtime Environment]\nMain Class=A\nJRE Path=from-settings-file\n");
  ProcessOptions options = Traced();
  const fs::path user_folder = UserSettingsRoot(folder, options) / product / "{CODE-1}";

  // Without the per-user file, the settings file's value counts.
  ProcessResult result = folder.Run({}, options);
  EXPECT_TRUE(Contains(result.standard_error, "JRE Path = from-settings-file (settings file)"))
      << result.standard_error;

  fs::create_directories(user_folder);
  std::ofstream(user_folder / "App.ini") << "[Java Runtime Environment]\r\nJRE Path=from-user-file\r\n";
  result = folder.Run({}, options);
  EXPECT_TRUE(Contains(result.standard_error, "JRE Path = from-user-file (per-user settings file "))
      << result.standard_error;

  if (!folder.windows()) {  // a root that others may write to is not this user's own
    fs::permissions(UserSettingsRoot(folder, options), fs::perms::all);
    result = folder.Run({}, options);
    fs::permissions(UserSettingsRoot(folder, options), fs::perms::owner_all);
    EXPECT_TRUE(Contains(result.standard_error, "config has mode 0777") &&
                Contains(result.standard_error, "JRE Path = from-settings-file (settings file)"));
  }

  // A per-user file without the key leaves the folder empty.
  std::ofstream(user_folder / "App.ini") << "[Other]\r\nx=1\r\n";
  result = folder.Run({}, options);
  EXPECT_FALSE(Contains(result.standard_error, "JRE Path =")) << result.standard_error;
  EXPECT_TRUE(Contains(result.standard_error, "setting JRE Path: none, as the per-user settings file"))
      << result.standard_error;
  EXPECT_EQ(result.exit_code, 255);

  std::error_code ignored;
  fs::remove_all(user_folder.parent_path(), ignored);
}

// Without a product name, Windows looks up %APPDATA%\\\App.ini as it is;
// on Linux that would be ~/.config/App.ini, any program's file, so there is none.
TEST_P(SettingsFileTest, PerUserFileWithoutProductName) {
  LaunchFolder folder(GetParam(), "korvan-no-product");
  folder.WriteSettings("[Java Runtime Environment]\nMain Class=A\nJRE Path=from-settings-file\n");
  ProcessOptions options = Traced();
  const fs::path user_file = UserSettingsRoot(folder, options) / "korvan-no-product.ini";
  fs::create_directories(user_file.parent_path());
  std::ofstream(user_file) << "[Java Runtime Environment]\r\nJRE Path=from-user-file\r\n";
  const ProcessResult result = folder.Run({}, options);
  std::error_code ignored;
  fs::remove(user_file, ignored);
  const std::string expected = folder.windows() ? "JRE Path = from-user-file (per-user settings file "
                                                : "JRE Path = from-settings-file (settings file)";
  EXPECT_TRUE(Contains(result.standard_error, expected)) << result.standard_error;
  EXPECT_EQ(Contains(result.standard_error, "per-user settings file: none without a Product Name"), !folder.windows());
}

TEST_P(SettingsFileTest, ServiceIgnoresThePerUserFile) {
  LaunchFolder folder(GetParam());
  const std::string product = "Korvan Service " + folder.folder().filename().string();
  folder.WriteSettings(
      "[Product Information]\nProduct Name=" + product + "\nProduct Code=C\n"
      "[Application]\nApplication Type=service\n"
      "[Java Runtime Environment]\nMain Class=A\nJRE Path=from-settings-file\n");
  ProcessOptions options = Traced();
  const fs::path user_folder = UserSettingsRoot(folder, options) / product / "C";
  fs::create_directories(user_folder);
  std::ofstream(user_folder / "App.ini") << "[Java Runtime Environment]\r\nJRE Path=from-user-file\r\n";
  const ProcessResult result = folder.Run({}, options);
  EXPECT_TRUE(Contains(result.standard_error, "JRE Path = from-settings-file (settings file)"))
      << result.standard_error;
  std::error_code ignored;
  fs::remove_all(user_folder.parent_path(), ignored);
}

TEST_P(SettingsFileTest, LauncherPathBeyondMaxPathReadsTheSettingsBesideIt) {
  // Cut to MAX_PATH, this launcher's path would end inside the folders below
  // "app.v1", whose "." would name app.ini up there.
  std::string deep = "app.v1";
  while (deep.size() < 320) deep += "/" + std::string(60, 'd');
  LaunchFolder folder(GetParam(), deep + "/hello");
  folder.WriteFile("app.ini", "[Java Runtime Environment]\nMain Class=com.example.Ancestor\n");
  folder.WriteFile(deep + "/hello.ini", "[Application]\nFailure Check=Yes\n");
  const ProcessResult result = folder.Run();
  EXPECT_EQ(folder.ErrorOutput(result), folder.Lines(kMainClassMissing));
  EXPECT_EQ(result.exit_code, 255);
}

INSTANTIATE_TEST_SUITE_P(Targets, SettingsFileTest, testing::ValuesIn(AllTargets()), TargetName);

// Started without a locale (a service, cron), the Linux launcher reads its own
// path as bytes of no known encoding: a UTF-8 name must still lead to its settings.
TEST(SettingsFileLinux, NonAsciiLauncherNameFindsItsSettingsWithoutALocale) {
  LaunchFolder folder(Target{TargetKind::Linux, "Linux"}, "J\xc3\xb6rg");
  folder.WriteSettings("[Java Runtime Environment]\nMain Class=com.example.App\n");
  ProcessOptions options = Traced();
  options.unset = {"LANG", "LC_ALL", "LC_CTYPE"};
  const ProcessResult result = folder.Run({}, options);
  ASSERT_FALSE(result.timed_out);
  EXPECT_TRUE(PassedTheSettings(result));
  EXPECT_TRUE(Contains(result.standard_error,
                       "korvan: settings file: " + folder.NativePath("J\xc3\xb6rg.ini") + "\n"))
      << result.standard_error;
}

}  // namespace
}  // namespace korvan::e2e
