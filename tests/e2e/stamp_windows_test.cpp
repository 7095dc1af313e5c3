// korvan-stamp on Windows launchers, read back under Wine with the Windows
// API as a user's system reads it (tests/fixtures/resource_probe): the icon
// Explorer shows, the version information of the file's properties, the
// settings text the launcher deciphers, the manifest; re-stamping, removing,
// refused inputs, and the same bytes from the Linux and the Windows build.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>

#include "support/launch_folder.h"
#include "support/settings_checks.h"

namespace korvan::e2e {
namespace {

namespace fs = std::filesystem;

const std::string kLinuxStamp = (LinuxBuildDir() / "korvan-stamp").string();
const std::string kWindowsStamp = std::string(KORVAN_WINDOWS_BUILD_DIR) + "/korvan-stamp.exe";
const fs::path kInputs = fs::path(KORVAN_SOURCE_DIR) / "tests/fixtures/stamp_inputs";
const char kCode[] = "{5B1C9E20-3A7D-4F61-8E2B-0C9D4A6F7E13}";

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), {});
}

std::string WithoutCr(std::string text) {
  text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
  return text;
}

enum class Tool { Linux, Windows };

class StampWindowsLauncher : public testing::Test {
 protected:
  void SetUp() override { KORVAN_SKIP_UNLESS_RUNNABLE((Target{TargetKind::Windows, "Windows"})); }
  StampWindowsLauncher() {
    folder_.WriteFile("embedded.txt", "[Java Runtime Environment]\nMain Class=com.example.Embedded\n");
    fs::copy_file(kInputs / "three-sizes.ico", folder_.folder() / "three.ico");
    fs::copy_file(kInputs / "one-size.ico", folder_.folder() / "one.ico");
    fs::copy_file(kInputs / "version.txt", folder_.folder() / "version.txt");
    folder_.WriteFile("bad-version.txt", "FileVersion=1.0\nCompany=Acme\n");
    // Settings texts that the launcher would misread: a second byte-order
    // mark hides the first section header; Latin-1 is no UTF-8.
    folder_.WriteFile("two-marks.txt", "\xEF\xBB\xBF\xEF\xBB\xBF[Java Runtime Environment]\nMain Class=A\n");
    folder_.WriteFile("latin1.txt", "[Application]\nCmd=caf\xE9\n");
    folder_.WriteFile("no-section.txt", "Main Class=A\n");  // would read as a wrong upgrade code
  }

  // Runs one build of the tool with `arguments`; names in the folder are given as "@name".
  ProcessResult Stamp(Tool tool, std::vector<std::string> arguments) const {
    for (std::string& argument : arguments) {
      if (argument[0] != '@') continue;
      argument = tool == Tool::Linux ? (folder_.folder() / argument.substr(1)).string()
                                     : folder_.NativePath(argument.substr(1));
    }
    arguments.insert(arguments.begin(), tool == Tool::Linux ? kLinuxStamp : kWindowsStamp);
    return tool == Tool::Linux ? RunProcess(arguments, {}) : RunUnderWine(arguments);
  }

  void StampAll(Tool tool, const std::string& output = "App.exe") const {
    const ProcessResult result =
        Stamp(tool, {"--icon", "@three.ico", "--version-info", "@version.txt", "--upgrade-code", kCode,
                     "--output", "@" + output, "@App.exe", "@embedded.txt"});
    ASSERT_EQ(result.exit_code, 0) << result.standard_output << result.standard_error;
  }

  // What resource-probe.exe reads from the folder's launcher, "rc=N" last.
  std::string Probe(const std::string& what, const std::string& file = "App.exe") const {
    const ProcessResult result = RunUnderWine(
        {std::string(KORVAN_WINDOWS_BUILD_DIR) + "/fixtures/resource-probe.exe", what, folder_.NativePath(file)});
    return WithoutCr(result.standard_output) + "rc=" + std::to_string(result.exit_code);
  }

  // Runs the launcher against the recording test JVM: the main class it was asked to call.
  std::string MainClassRun() const {
    folder_.WriteFile("jre/bin/java.dll", "");
    fs::create_directories(folder_.folder() / "jre/bin/server");
    fs::copy_file(fs::path(KORVAN_WINDOWS_BUILD_DIR) / "fixtures/test_jvm.dll",
                  folder_.folder() / "jre/bin/server/jvm.dll", fs::copy_options::overwrite_existing);
    folder_.WriteSettings(std::string("[Product Information]\nUpgrade Code=") + kCode +
                          "\n[Java Runtime Environment]\nJRE Path=" + folder_.NativePath("jre") +
                          "\n[Class Path]\nClass Path=app.jar\n");
    ProcessOptions options;
    options.environment["KORVAN_TEST_JVM_RECORD"] = folder_.NativePath("record.txt");
    const ProcessResult result = folder_.Run({}, options);
    EXPECT_EQ(result.exit_code, 0) << result.standard_output << result.standard_error;
    const std::string record = ReadBytes(folder_.folder() / "record.txt");
    const std::size_t main = record.find("\nmain ");
    return main == std::string::npos ? "" : record.substr(main + 6, record.find('\n', main + 1) - main - 6);
  }

  LaunchFolder folder_{Target{TargetKind::Windows, "Windows"}};
};

TEST_F(StampWindowsLauncher, LinuxStampedLauncherShowsItsIconVersionAndSettingsToWindows) {
  StampAll(Tool::Linux);
  EXPECT_EQ(Probe("version"),
            "CompanyName=Example Tools Ltd\n"
            "FileDescription=Example Tool, a Java application\n"
            "FileVersion=2.5.1.17\n"
            "LegalCopyright=\u00A9 2024 Example Tools Ltd\n"
            "OriginalFilename=ExampleTool.exe\n"
            "ProductName=Example Tool\n"
            "ProductVersion=2.5 beta\n"
            "FileVersion#=2.5.1.17\n"
            "ProductVersion#=2.5.0.0\n"
            "rc=0");
  EXPECT_EQ(Probe("icons"), "groups=1\nimages=3\nextracted=32x32\nloaded=48x48\nrc=0");
  const std::string manifest = Probe("manifest");
  EXPECT_NE(manifest.find("PerMonitorV2, PerMonitor</dpiAwareness>"), std::string::npos) << manifest;
  EXPECT_NE(manifest.find(">true</longPathAware>"), std::string::npos) << manifest;
  EXPECT_EQ(MainClassRun(), "com/example/Embedded");  // FindResourceW, deciphered, used
}

TEST_F(StampWindowsLauncher, RestampingReplacesAndRemovingLeavesNothing) {
  StampAll(Tool::Linux);
  for (int round = 0; round < 2; ++round) {
    const ProcessResult again =
        Stamp(Tool::Linux, {"--icon", "@one.ico", "--version-info", "FileVersion=3.0", "CompanyName=Other",
                            "@App.exe"});
    ASSERT_EQ(again.exit_code, 0) << again.standard_error;
  }
  const auto size = fs::file_size(folder_.launcher());
  ASSERT_EQ(Stamp(Tool::Linux, {"--version-info", "FileVersion=3.0", "CompanyName=Other", "@App.exe"}).exit_code, 0);
  EXPECT_EQ(fs::file_size(folder_.launcher()), size);  // rebuilt in place, not grown
  EXPECT_EQ(Probe("version"),
            "CompanyName=Other\nFileVersion=3.0\nFileVersion#=3.0.0.0\nProductVersion#=3.0.0.0\nrc=0");
  EXPECT_EQ(Probe("icons").substr(0, 18), "groups=1\nimages=1\n");
  EXPECT_EQ(MainClassRun(), "com/example/Embedded");  // the settings text stayed

  // The Windows build removes under Wine too (UpdateResourceW could not).
  const ProcessResult removed =
      Stamp(Tool::Windows, {"--remove", "--remove-icon", "--remove-version-info", "@App.exe"});
  ASSERT_EQ(removed.exit_code, 0) << removed.standard_error;
  EXPECT_EQ(Probe("version"), "rc=3");
  EXPECT_EQ(Probe("icons"), "groups=0\nimages=0\nrc=3");
  EXPECT_EQ(Probe("settings"), "rc=3");
  EXPECT_NE(Probe("manifest").find("longPathAware"), std::string::npos);
  EXPECT_EQ(folder_.Run().standard_output, folder_.Lines(kMainClassMissing));
}

TEST_F(StampWindowsLauncher, LinuxAndWindowsBuildsWriteTheSameBytes) {
  StampAll(Tool::Linux, "linux.exe");
  StampAll(Tool::Windows, "windows.exe");
  const std::string linux_bytes = ReadBytes(folder_.folder() / "linux.exe");
  ASSERT_GT(linux_bytes.size(), fs::file_size(folder_.launcher()));
  EXPECT_TRUE(linux_bytes == ReadBytes(folder_.folder() / "windows.exe"));
  ASSERT_EQ(Stamp(Tool::Linux, {"--remove-icon", "@linux.exe"}).exit_code, 0);
  ASSERT_EQ(Stamp(Tool::Windows, {"--remove-icon", "@windows.exe"}).exit_code, 0);
  EXPECT_TRUE(ReadBytes(folder_.folder() / "linux.exe") == ReadBytes(folder_.folder() / "windows.exe"));
}

struct Refusal {
  const char* name;
  Tool tool;
  std::function<std::string(const std::string& launcher)> input;  // App.exe's new bytes
  std::vector<std::string> arguments;                            // before "@App.exe"
  const char* message;
  std::vector<std::string> after = {};  // after "@App.exe": the settings text file
};

std::string WithMachine(std::string launcher, std::uint16_t machine) {
  const auto pe = static_cast<unsigned char>(launcher[0x3C]) | static_cast<unsigned char>(launcher[0x3D]) << 8;
  launcher[pe + 4] = static_cast<char>(machine & 0xFF);
  launcher[pe + 5] = static_cast<char>(machine >> 8);
  return launcher;
}

class RefusedStamp : public StampWindowsLauncher, public testing::WithParamInterface<Refusal> {};

TEST_P(RefusedStamp, SaysWhyAndLeavesTheFileAsItWas) {
  const std::string input = GetParam().input(ReadBytes(folder_.launcher()));
  folder_.WriteFile("App.exe", input);
  std::vector<std::string> arguments = GetParam().arguments;
  arguments.push_back("@App.exe");
  arguments.insert(arguments.end(), GetParam().after.begin(), GetParam().after.end());
  const ProcessResult result = Stamp(GetParam().tool, arguments);
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_NE(result.standard_error.find(GetParam().message), std::string::npos) << result.standard_error;
  EXPECT_TRUE(ReadBytes(folder_.launcher()) == input);
  EXPECT_FALSE(fs::exists(folder_.folder() / "App.exe.korvan-stamp-new"));
}

const auto kSame = [](const std::string& launcher) { return launcher; };
const auto kTruncated = [](const std::string& launcher) { return launcher.substr(0, launcher.size() / 3); };
const auto kI386 = [](const std::string& launcher) { return WithMachine(launcher, 0x14C); };

INSTANTIATE_TEST_SUITE_P(
    Inputs, RefusedStamp,
    testing::Values(
        Refusal{"LinuxTruncated", Tool::Linux, kTruncated, {"--icon", "@one.ico"}, "truncated"},
        Refusal{"WindowsTruncated", Tool::Windows, kTruncated, {"--icon", "@one.ico"}, "truncated"},
        Refusal{"LinuxI386", Tool::Linux, kI386, {"--remove"}, "not x86-64"},
        Refusal{"WindowsI386", Tool::Windows, kI386, {"--remove"}, "not x86-64"},
        Refusal{"LinuxDosProgram", Tool::Linux, [](const std::string&) { return std::string("MZ") + std::string(200, '\0'); },
                {"--remove"}, "not a PE executable"},
        Refusal{"LinuxTextFile", Tool::Linux, [](const std::string&) { return std::string("hello\n"); },
                {"--icon", "@one.ico"}, "not a Windows executable"},
        Refusal{"LinuxIconNotAnIcon", Tool::Linux, kSame, {"--icon", "@version.txt"}, "not an icon file"},
        Refusal{"WindowsUnknownVersionKey", Tool::Windows, kSame, {"--version-info", "@bad-version.txt"},
                "unknown version information key \"Company\""},
        Refusal{"LinuxTwoByteOrderMarks", Tool::Linux, kSame, {}, "two byte-order marks", {"@two-marks.txt"}},
        Refusal{"WindowsTwoByteOrderMarks", Tool::Windows, kSame, {}, "two byte-order marks", {"@two-marks.txt"}},
        Refusal{"LinuxLatin1Text", Tool::Linux, kSame, {}, "not valid UTF-8 at byte 21", {"@latin1.txt"}},
        Refusal{"LinuxNoSection", Tool::Linux, kSame, {}, "holds no [section] line", {"@no-section.txt"}}),
    [](const testing::TestParamInfo<Refusal>& info) { return info.param.name; });

}  // namespace
}  // namespace korvan::e2e
