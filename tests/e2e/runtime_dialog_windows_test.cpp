// The Windows launcher's dialogs under Wine and Xvfb, worked from another
// process by tests/fixtures/dialog_driver as a user would: the missing-runtime
// dialog with its link and folder browser, and the "Java Exception" dialog of
// "Failure Check" over a real VM, and the windowed launcher's error box.
// Screenshots land in build/windows/screenshots.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/dialog_driver.h"
#include "support/launch_folder.h"
#include "support/real_runtimes.h"
#include "support/text_checks.h"

namespace korvan::e2e {
namespace {

namespace fs = std::filesystem;

const fs::path kFixtures = fs::path(KORVAN_WINDOWS_BUILD_DIR) / "fixtures";
const fs::path kScreenshots = fs::path(KORVAN_WINDOWS_BUILD_DIR) / "screenshots";
const std::string kMissingRuntime = "JRE Not Found";
const std::string kJavaException = "Java Exception";
const std::string kErrorBox = "App";  // the windowed launcher's box: the application's name
const std::string kColourKey = "HKCU\\Software\\Microsoft\\Internet Explorer\\Settings";


std::string StripLineEnd(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

DialogControl ControlOf(const std::string& dump, int id) {
  const DialogControl control = FindControl(dump, id);
  EXPECT_TRUE(control.found) << "no control " << id << " in:\n" << dump;
  return control;
}

class DialogTestBase : public testing::Test {
 protected:
  // Works only this test's launcher's dialogs, never one another run left open.
  ProcessResult Drive(std::vector<std::string> arguments) const {
    arguments.insert(arguments.begin(), {"--program", WinePath(folder_.launcher())});
    return DriveDialog(arguments);
  }

  void TearDown() override {
    // A dialog that a failed check left open must not outlive the test.
    if (run_.valid() &&
        run_.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
      Drive({"press", kMissingRuntime, "2"});
      Drive({"press", kJavaException, "303"});
      Drive({"press", kErrorBox, "1"});
      run_.wait();
    }
  }

  void WriteSettings(const std::string& extra) {
    folder_.WriteSettings(
        "[Java Runtime Environment]\nMain Class=com.example.App\n" + extra +
        "[Class Path]\nClass Path=app.jar\n"
        "[Product Information]\nProduct Name=Korvan Dialog Test\nProduct Code=" +
        folder_.folder().filename().string() + "\n");
  }

  void Start() {
    ProcessOptions options;
    options.environment.emplace("KORVAN_TEST_JVM_RECORD", folder_.NativePath("record.txt"));
    options.time_limit_seconds = 90;
    options.cancel_missing_runtime_dialog = false;
    run_ = std::async(std::launch::async, [this, options] { return folder_.Run({}, options); });
  }

  ProcessResult Finish() {
    EXPECT_EQ(run_.wait_for(std::chrono::seconds(60)), std::future_status::ready);
    const ProcessResult result = run_.get();
    EXPECT_FALSE(result.timed_out);
    return result;
  }

  std::string Dump(const std::string& caption) {
    const ProcessResult result = Drive({"dump", caption});
    EXPECT_EQ(result.exit_code, 0) << result.standard_output;
    return result.standard_output;
  }

  void Screenshot(const std::string& caption, const std::string& name) {
    fs::create_directories(kScreenshots);
    const ProcessResult result = Drive({"shot", caption, WinePath(kScreenshots / name)});
    EXPECT_EQ(result.exit_code, 0) << result.standard_output;
    EXPECT_GT(fs::file_size(kScreenshots / name), 100000u);
  }

  LaunchFolder folder_{Target{TargetKind::Windows, "Windows"}};
  std::future<ProcessResult> run_;
};

class RuntimeDialogTest : public DialogTestBase {
 protected:
  // Runtime folders go to the prefix's drive C:, which the folder browser
  // lists quickly (the root's /tmp may hold thousands of entries).
  void TearDown() override {
    DialogTestBase::TearDown();
    fs::remove_all(RuntimeRoot());
  }

  std::string RuntimeRootName() const { return "korvan-" + folder_.folder().filename().string(); }
  fs::path RuntimeRoot() const {
    return fs::path(std::getenv("WINEPREFIX")) / "drive_c" / RuntimeRootName();
  }
  // How the launcher sees a runtime folder, without its final backslash.
  std::string RuntimePath(const std::string& name) const {
    return "C:\\" + RuntimeRootName() + "\\" + name;
  }

  // A runtime whose only JVM library is a client one, the test JVM.
  void LayOutClientRuntime(const std::string& name) {
    fs::create_directories(RuntimeRoot() / name / "bin/client");
    std::ofstream(RuntimeRoot() / name / "bin/java.dll").put('\0');
    fs::copy_file(kFixtures / "test_jvm.dll", RuntimeRoot() / name / "bin/client/jvm.dll",
                  fs::copy_options::overwrite_existing);
  }

  // Browse... and pick runtime folder `name` in the folder browser.
  void BrowseTo(const std::string& name) {
    const ProcessResult result =
        Drive({"browse", kMissingRuntime, "Computer", "(C:)", RuntimeRootName(), name});
    ASSERT_EQ(result.exit_code, 0) << result.standard_output;
    // The browser's title is message 214.
    EXPECT_TRUE(Contains(result.standard_output, "Browse for JRE folder")) << result.standard_output;
  }

  // Wine gives every process the prefix's own APPDATA, whatever ours says.
  fs::path UserSettingsFile() const {
    const ProcessResult appdata = RunUnderWine({"cmd", "/c", "echo %APPDATA%"});
    const ProcessResult unix_path =
        RunUnderWine({"winepath", "-u", StripLineEnd(appdata.standard_output)});
    return fs::path(StripLineEnd(unix_path.standard_output)) / "Korvan Dialog Test" /
           folder_.folder().filename() / "App.ini";
  }

  // Pixels of `colour` (RRGGBB) on the link, looked at until there are some
  // or `seconds` have passed: the dialog paints itself after it shows.
  unsigned LinkPixels(const std::string& colour, int seconds) const {
    unsigned count = 0;
    for (int tries = 0; tries <= seconds * 2; ++tries) {
      const ProcessResult result = Drive({"count", kMissingRuntime, "205", colour});
      const std::size_t at = result.standard_output.find("count=");
      EXPECT_NE(at, std::string::npos) << result.standard_output;
      if (at == std::string::npos) return 0;
      count = static_cast<unsigned>(std::stoul(result.standard_output.substr(at + 6)));
      if (count > 0) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(500));
    }
    return count;
  }

  void ExpectNothingWritten(const std::string& settings_before) {
    const fs::path user_settings = UserSettingsFile();
    ASSERT_TRUE(fs::exists(user_settings.parent_path().parent_path().parent_path())) << user_settings;
    EXPECT_FALSE(fs::exists(user_settings));
    EXPECT_EQ(ReadText(folder_.SettingsFile()), settings_before);
  }
};

TEST_F(RuntimeDialogTest, OpensWithTheMessageTheLinkAndOkDisabled) {
  WriteSettings("Minimum Version=11\n");
  Start();
  const std::string dump = Dump(kMissingRuntime);
  EXPECT_FALSE(ControlOf(dump, 1).enabled);
  EXPECT_TRUE(ControlOf(dump, 2).enabled);
  EXPECT_EQ(ControlOf(dump, 201).text, "");
  EXPECT_EQ(ControlOf(dump, 203).text,
            "The Java Runtime Environment (JRE) was not found. Please  download and install a "
            "JRE (minimum version 11.0) from:");
  EXPECT_EQ(ControlOf(dump, 205).text, "https://adoptium.net/");
  EXPECT_EQ(ControlOf(dump, 206).text, "If you have a JRE installed you can browse for it below:");
  // The link is painted in the default link colour, blue.
  EXPECT_GT(LinkPixels("0000FF", 5), 0u);
  Screenshot(kMissingRuntime, "missing-runtime-start.png");
  Drive({"press", kMissingRuntime, "2"});
  EXPECT_EQ(Finish().exit_code, 255);
}

// Every way of leaving the dialog but OK ends the run with -1 and writes nothing.
struct CancelCase {
  const char* name;
  std::vector<std::string> command;
};

class RuntimeDialogCancelTest : public RuntimeDialogTest,
                                public testing::WithParamInterface<CancelCase> {};

TEST_P(RuntimeDialogCancelTest, EndsWithMinusOneAndWritesNothing) {
  LayOutClientRuntime("jre");
  WriteSettings("");
  const std::string settings_before = ReadText(folder_.SettingsFile());
  Start();
  BrowseTo("jre");  // a valid choice that is then not taken
  EXPECT_TRUE(ControlOf(Dump(kMissingRuntime), 1).enabled);
  std::vector<std::string> command = GetParam().command;
  command.insert(command.begin() + 1, kMissingRuntime);
  EXPECT_EQ(Drive(command).exit_code, 0);
  const ProcessResult result = Finish();
  EXPECT_EQ(result.exit_code, 255);
  EXPECT_EQ(result.standard_output, "");
  ExpectNothingWritten(settings_before);
}

INSTANTIATE_TEST_SUITE_P(Ways, RuntimeDialogCancelTest,
                         testing::Values(CancelCase{"CancelButton", {"press", "2"}},
                                         CancelCase{"Escape", {"escape"}},
                                         CancelCase{"CloseBox", {"close"}}),
                         [](const testing::TestParamInfo<CancelCase>& info) { return std::string(info.param.name); });

// Where no one can answer the dialog it is not shown: the error line says
// why, as on Linux. A service's line also goes to the event log, which Wine
// prints on its eventlog debug channel.
struct NotShownCase {
  const char* name;
  const char* application_type;
  bool display;
};

class RuntimeDialogNotShownTest : public RuntimeDialogTest,
                                  public testing::WithParamInterface<NotShownCase> {};

TEST_P(RuntimeDialogNotShownTest, SaysWhyOnTheErrorLine) {
  WriteSettings(std::string("Minimum Version=99\n[Application]\nApplication Type=") +
                GetParam().application_type + "\n");
  ProcessOptions options;
  options.cancel_missing_runtime_dialog = false;  // a dialog would hang the run
  options.time_limit_seconds = 30;
  options.environment.emplace("WINEDEBUG", "-all,err+eventlog");
  if (!GetParam().display) options.unset.push_back("DISPLAY");
  const ProcessResult result = folder_.Run({}, options);
  ASSERT_FALSE(result.timed_out);
  EXPECT_EQ(result.exit_code, 255);
  const std::string message =
      "The Java Runtime Environment (JRE) was not found. Please  download and install a JRE "
      "(minimum version 99.0) from: https://adoptium.net/";
  EXPECT_EQ(result.standard_output, "Error: " + message + " \r\n");
  const bool service = std::string(GetParam().application_type) == "service";
  EXPECT_EQ(Contains(result.standard_error, "err:eventlog:ReportEventW L\"Error: " + message.substr(0, 40)),
            service)
      << result.standard_error;
}

INSTANTIATE_TEST_SUITE_P(Where, RuntimeDialogNotShownTest,
                         testing::Values(NotShownCase{"NoDisplay", "console", false},
                                         NotShownCase{"Service", "service", true}),
                         [](const testing::TestParamInfo<NotShownCase>& info) { return std::string(info.param.name); });

// A runtime holding only a client JVM suits "any" and "favor_server", never "server".
struct KindCase {
  const char* name;
  const char* jvm_type;
  bool ok_enabled;
  const char* message_start;
};

class RuntimeDialogKindTest : public RuntimeDialogTest,
                              public testing::WithParamInterface<KindCase> {};

TEST_P(RuntimeDialogKindTest, ClientOnlyRuntimeEnablesOkByKind) {
  LayOutClientRuntime("jre");
  WriteSettings(std::string("JVM Type=") + GetParam().jvm_type + "\n");
  Start();
  BrowseTo("jre");
  const std::string dump = Dump(kMissingRuntime);
  EXPECT_EQ(ControlOf(dump, 1).enabled, GetParam().ok_enabled);
  EXPECT_EQ(ControlOf(dump, 201).text, RuntimePath("jre"));
  EXPECT_EQ(ControlOf(dump, 203).text.rfind(GetParam().message_start, 0), 0u) << dump;
  Drive({"press", kMissingRuntime, "2"});
  EXPECT_EQ(Finish().exit_code, 255);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, RuntimeDialogKindTest,
    testing::Values(
        KindCase{"Any", "", true, "The Java Runtime Environment (JRE) was not found. Please  download and install a JRE ("},
        KindCase{"FavorServer", "favor_server", true, "The Java Runtime Environment (JRE) was not found. Please  download and install a JRE ("},
        KindCase{"Server", "server", false, "The Java Runtime Environment (JRE) was not found. Please  download and install a JRE with a server JVM ("}),
    [](const testing::TestParamInfo<KindCase>& info) { return std::string(info.param.name); });

TEST_F(RuntimeDialogTest, AnInvalidFolderDisablesOkAgain) {
  LayOutClientRuntime("jre");
  fs::create_directories(RuntimeRoot() / "empty");
  std::ofstream(RuntimeRoot() / "empty" / "readme.txt") << "no runtime here";
  WriteSettings("");
  Start();
  BrowseTo("jre");
  EXPECT_TRUE(ControlOf(Dump(kMissingRuntime), 1).enabled);
  BrowseTo("empty");
  const std::string dump = Dump(kMissingRuntime);
  EXPECT_FALSE(ControlOf(dump, 1).enabled);
  EXPECT_EQ(ControlOf(dump, 201).text, RuntimePath("empty"));
  BrowseTo("jre");
  EXPECT_TRUE(ControlOf(Dump(kMissingRuntime), 1).enabled);
  Drive({"press", kMissingRuntime, "2"});
  EXPECT_EQ(Finish().exit_code, 255);
}

TEST_F(RuntimeDialogTest, CancelledFolderBrowserChangesNothing) {
  LayOutClientRuntime("jre");
  WriteSettings("");
  Start();
  BrowseTo("jre");
  const ProcessResult cancelled = Drive({"browse", kMissingRuntime});
  EXPECT_EQ(cancelled.exit_code, 0) << cancelled.standard_output;
  const std::string dump = Dump(kMissingRuntime);
  EXPECT_TRUE(ControlOf(dump, 1).enabled);
  EXPECT_EQ(ControlOf(dump, 201).text, RuntimePath("jre"));
  Drive({"press", kMissingRuntime, "2"});
  EXPECT_EQ(Finish().exit_code, 255);
}

TEST_F(RuntimeDialogTest, OkRemembersTheFolderForTheNextStart) {
  LayOutClientRuntime("jre");
  WriteSettings("");
  const std::string settings_before = ReadText(folder_.SettingsFile());
  Start();
  BrowseTo("jre");
  Screenshot(kMissingRuntime, "missing-runtime-after-browse.png");
  EXPECT_EQ(Drive({"press", kMissingRuntime, "1"}).exit_code, 0);
  const ProcessResult first = Finish();
  EXPECT_EQ(first.exit_code, 0) << first.standard_output << first.standard_error;
  EXPECT_TRUE(Contains(ReadText(folder_.folder() / "record.txt"), "main com/example/App"));

  // The per-user file, never the settings file, holds the folder with its backslash.
  EXPECT_EQ(ReadText(folder_.SettingsFile()), settings_before);
  const fs::path user_settings = UserSettingsFile();
  const std::string remembered = ReadText(user_settings);
  EXPECT_TRUE(Contains(remembered, "[Java Runtime Environment]")) << remembered;
  EXPECT_TRUE(Contains(remembered, "JRE Path=" + RuntimePath("jre") + "\\")) << remembered;

  // The next start finds the runtime there and shows no dialog.
  fs::remove(folder_.folder() / "record.txt");
  ProcessOptions options;
  options.environment.emplace("KORVAN_TEST_JVM_RECORD", folder_.NativePath("record.txt"));
  options.time_limit_seconds = 30;
  options.cancel_missing_runtime_dialog = false;
  const ProcessResult second = folder_.Run({}, options);
  EXPECT_FALSE(second.timed_out) << "the dialog came up again";
  EXPECT_EQ(second.exit_code, 0) << second.standard_output;
  EXPECT_TRUE(Contains(ReadText(folder_.folder() / "record.txt"), "main com/example/App"));
  fs::remove_all(user_settings.parent_path().parent_path());
}

// The link colour follows "Anchor Color" under HKEY_CURRENT_USER, when it is
// a well-formed text.
struct ColourCase {
  const char* name;
  const char* type;
  const char* data;
  const char* painted;      // RRGGBB found on the link
  const char* not_painted;  // and one that must not be
};

class LinkColourTest : public RuntimeDialogTest, public testing::WithParamInterface<ColourCase> {
 protected:
  void TearDown() override {
    RuntimeDialogTest::TearDown();
    RunUnderWine({"reg", "delete", kColourKey, "/v", "Anchor Color", "/f"});
  }
};

TEST_P(LinkColourTest, PaintsTheLinkInTheRegisteredColour) {
  const ColourCase& c = GetParam();
  const ProcessResult added = RunUnderWine(
      {"reg", "add", kColourKey, "/v", "Anchor Color", "/t", c.type, "/d", c.data, "/f"});
  ASSERT_EQ(added.exit_code, 0) << added.standard_error;
  WriteSettings("");
  Start();
  EXPECT_GT(LinkPixels(c.painted, 5), 0u);
  EXPECT_EQ(LinkPixels(c.not_painted, 0), 0u);
  if (std::string(c.name) == "Red") Screenshot(kMissingRuntime, "missing-runtime-red-link.png");
  Drive({"press", kMissingRuntime, "2"});
  EXPECT_EQ(Finish().exit_code, 255);
}

INSTANTIATE_TEST_SUITE_P(
    Values, LinkColourTest,
    testing::Values(ColourCase{"Red", "REG_SZ", "255,0,0", "FF0000", "0000FF"},
                    ColourCase{"OneComma", "REG_SZ", "255,0", "0000FF", "FF0000"},
                    ColourCase{"NothingAfterSecondComma", "REG_SZ", "255,0,", "0000FF", "FF0000"},
                    ColourCase{"RedMinusOne", "REG_SZ", "-1,0,0", "0000FF", "FF0000"},
                    ColourCase{"Dword", "REG_DWORD", "255", "0000FF", "FF0000"}),
    [](const testing::TestParamInfo<ColourCase>& info) { return std::string(info.param.name); });

// The link opens its target on a click on its text, Enter or Space, and is
// then painted purple; a click beside the text or another key does nothing.
struct NavigationCase {
  const char* name;
  std::vector<std::string> action;  // driver command without the caption
  bool opens;
};

class LinkNavigationTest : public RuntimeDialogTest,
                           public testing::WithParamInterface<NavigationCase> {};

TEST_P(LinkNavigationTest, PaintsTheLinkVisitedOnlyWhenItOpened) {
  WriteSettings("");
  Start();
  ASSERT_GT(LinkPixels("0000FF", 5), 0u);
  std::vector<std::string> action = GetParam().action;
  action.insert(action.begin() + 1, kMissingRuntime);
  ASSERT_EQ(Drive(action).exit_code, 0);
  if (GetParam().opens) {
    EXPECT_GT(LinkPixels("800080", 10), 0u);
    EXPECT_EQ(LinkPixels("0000FF", 0), 0u);
  } else {
    std::this_thread::sleep_for(std::chrono::seconds(2));
    EXPECT_GT(LinkPixels("0000FF", 0), 0u);
    EXPECT_EQ(LinkPixels("800080", 0), 0u);
  }
  Drive({"press", kMissingRuntime, "2"});
  EXPECT_EQ(Finish().exit_code, 255);
}

INSTANTIATE_TEST_SUITE_P(
    Actions, LinkNavigationTest,
    testing::Values(NavigationCase{"ClickOnText", {"click", "205", "3", "3"}, true},
                    NavigationCase{"ClickBesideText", {"click", "205", "-2", "3"}, false},
                    NavigationCase{"Space", {"char", "205", "32"}, true},
                    NavigationCase{"Enter", {"char", "205", "13"}, true},
                    // Real keys: Tab from the folder edit reaches Browse, then the link.
                    NavigationCase{"TabThenEnterKey", {"keys", "201", "9", "9", "13"}, true},
                    NavigationCase{"TabThenSpaceKey", {"keys", "201", "9", "9", "32"}, true},
                    NavigationCase{"OtherCharacter", {"char", "205", "97"}, false}),
    [](const testing::TestParamInfo<NavigationCase>& info) { return std::string(info.param.name); });

// A new font (as a move to a monitor of another DPI brings) is painted: the
// link does not keep its first underlined font.
TEST_F(RuntimeDialogTest, TheLinkFollowsANewFont) {
  WriteSettings("");
  Start();
  const unsigned before = LinkPixels("0000FF", 5);
  ASSERT_GT(before, 0u);
  ASSERT_EQ(Drive({"font", kMissingRuntime, "205", "13"}).exit_code, 0);  // SYSTEM_FONT, bold
  unsigned after = before;
  for (int tries = 0; tries < 10 && after == before; ++tries) {
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    after = LinkPixels("0000FF", 0);
  }
  EXPECT_NE(after, before);
  Drive({"press", kMissingRuntime, "2"});
  EXPECT_EQ(Finish().exit_code, 255);
}

// "Failure Check": the uncaught exception of a real VM's main is shown with
// Ignore and Stop. "-XX:+PrintStringTableStatistics" makes the VM print its
// symbol table when it shuts down, which Stop never lets it do.
class ExceptionDialogTest : public DialogTestBase {
 protected:
  void StartThrowingApplication() {
    if (const std::string why = WhyNotRunnable(runtime_); !why.empty()) GTEST_SKIP() << why;
    folder_.WriteSettings("[Java Runtime Environment]\nJRE Path=" + LauncherPath(runtime_) +
                          "\nMain Class=korvan.probe.Probe\nVirtual Machine Parameters=" +
                          WineVmOptions(runtime_) + " -XX:+PrintStringTableStatistics\n"
                          "[Class Path]\nClass Path=" +
                          WinePath(std::string(KORVAN_JAVA_TESTS_DIR) + "/probe.jar") +
                          "\n[Application]\nFailure Check=yes\nCmd=exit \"not a number\"\n");
    Start();
  }

  const RealRuntime runtime_ = NewestRuntime(TargetKind::Windows);
};

TEST_F(ExceptionDialogTest, ShowsTheStackTraceAndStopEndsAtOnce) {
  StartThrowingApplication();
  const std::string dump = Dump(kJavaException);
  // Integer.parseInt's exception, frames of java.base first; line ends show as "\n".
  EXPECT_TRUE(std::regex_match(ControlOf(dump, 302).text,
                               std::regex(R"(java\.lang\.NumberFormatException: For input string: "not a number"\\n)"
                                          R"((\tat java\.base/java\.lang\.[^\\]+\\n)+)"
                                          R"(\tat korvan\.probe\.Probe\.main\(Probe\.java:\d+\)\\n)")))
      << dump;
  EXPECT_EQ(ControlOf(dump, 303).text, "Ignore");
  EXPECT_EQ(ControlOf(dump, 304).text, "Stop");
  Screenshot(kJavaException, "java-exception.png");
  Drive({"press", kJavaException, "304"});
  const ProcessResult result = Finish();
  EXPECT_EQ(result.exit_code, 255);
  EXPECT_FALSE(Contains(result.standard_output, "SymbolTable statistics:")) << result.standard_output;
}

TEST_F(ExceptionDialogTest, IgnoreLetsTheRunEnd) {
  StartThrowingApplication();
  Drive({"press", kJavaException, "303"});
  const ProcessResult result = Finish();
  EXPECT_EQ(result.exit_code, 255);
  EXPECT_TRUE(Contains(result.standard_output, "SymbolTable statistics:")) << result.standard_output;
  // Wine's C run-time writes the VM's prefix after the trace that Java writes.
  EXPECT_TRUE(Contains(result.standard_error, "Exception in thread \"main\" ")) << result.standard_error;
  EXPECT_TRUE(Contains(result.standard_error,
                       "java.lang.NumberFormatException: For input string: \"not a number\"\r\n"
                       "\tat java.base/java.lang.NumberFormatException.forInputString("))
      << result.standard_error;
}

// The windowed launcher (korvanw.exe): each failure also in one box titled
// with the application's name, the error line first, then what the VM said
// (`explained`); the error line still reaches the redirected standard output.
struct ErrorBoxCase {
  std::string name, entry, vm_option, command, explained;
  int exit_code = 255;
};

class ErrorBoxDialogTest : public DialogTestBase, public testing::WithParamInterface<ErrorBoxCase> {};

TEST_P(ErrorBoxDialogTest, ShowsTheFailureInABox) {
  const RealRuntime runtime = NewestRuntime(TargetKind::Windows);
  if (const std::string why = WhyNotRunnable(runtime); !why.empty()) GTEST_SKIP() << why;
  fs::copy_file(fs::path(KORVAN_WINDOWS_BUILD_DIR) / "korvanw.exe", folder_.launcher(),
                fs::copy_options::overwrite_existing);
  folder_.WriteSettings("[Java Runtime Environment]\nJRE Path=" + LauncherPath(runtime) + "\n" +
                        GetParam().entry + "\nVirtual Machine Parameters=" + WineVmOptions(runtime) +
                        " " + GetParam().vm_option + "\n[Class Path]\nClass Path=" +
                        WinePath(std::string(KORVAN_JAVA_TESTS_DIR) + "/probe.jar") +
                        "\n[Application]\nCmd=" + GetParam().command + "\n");
  Start();
  const std::string box = ControlOf(Dump(kErrorBox), 65535).text;
  Screenshot(kErrorBox, "error-box-" + GetParam().name + ".png");
  ASSERT_EQ(Drive({"press", kErrorBox, "1"}).exit_code, 0);
  EXPECT_EQ(Drive({"--wait", "3", "gone", kErrorBox}).exit_code, 0) << "a second box";
  const ProcessResult result = Finish();
  EXPECT_EQ(result.exit_code, GetParam().exit_code);
  const std::string line = std::regex_replace(StripLineEnd(result.standard_output), std::regex("\r\n"), "\\n");
  EXPECT_EQ(box.substr(0, line.size()), line) << "the box does not begin with the error line";
  EXPECT_TRUE(Contains(box, GetParam().explained)) << box;
}

INSTANTIATE_TEST_SUITE_P(
    Failures, ErrorBoxDialogTest,
    testing::Values(
        ErrorBoxCase{"NoMainJar", "Main Jar=Z:\\nowhere\\app.jar", "", "args", "Z:\\nowhere\\app.jar"},
        ErrorBoxCase{"RefusedOption", "Main Class=korvan.probe.Probe", "-Xfoo", "args",
                     "Unrecognized option: -Xfoo"},
        ErrorBoxCase{"VmEndsItsCreation", "Main Class=korvan.probe.Probe", "-Xms2g -Xmx1g", "args",
                     "Error occurred during initialization of VM\\nInitial heap size set to a larger value "
                     "than the maximum heap size", 1},
        ErrorBoxCase{"MissingMainClass", "Main Class=korvan.probe.Missing", "", "args",
                     "java.lang.ClassNotFoundException: korvan.probe.Missing"},
        ErrorBoxCase{"UncaughtException", "Main Class=korvan.probe.Probe", "", "throw boom",
                     "java.lang.IllegalStateException: boom"}),
    [](const testing::TestParamInfo<ErrorBoxCase>& info) { return info.param.name; });

}  // namespace
}  // namespace korvan::e2e
