// The Windows launcher's two forms from the same sources: console, and windowed as javaw.exe
// is. The windowed error box is tested with the other dialogs (runtime_dialog_windows_test.cpp).
#include <gtest/gtest.h>

#include "support/launch_folder.h"
#include "support/pe_header.h"
#include "support/real_runtimes.h"

namespace korvan::e2e {
namespace {

namespace fs = std::filesystem;

// `console`: System.console() in a start through "wine start", as Explorer starts a program.
struct LauncherForm { std::string name, file; int subsystem; std::string console; };

class LauncherFormTest : public testing::TestWithParam<LauncherForm> {};

TEST_P(LauncherFormTest, HasItsSubsystemAndConsole) {
  const fs::path built = fs::path(KORVAN_WINDOWS_BUILD_DIR) / GetParam().file;
  if (!fs::exists(built)) GTEST_SKIP() << built << " is not built";
  EXPECT_EQ(PeSubsystem(built), GetParam().subsystem);
  // Java 21: later lines give redirected starts a console object too.
  const std::vector<RealRuntime> runtimes = RealRuntimesOf(TargetKind::Windows, 21);
  if (runtimes.empty() || runtimes.front().line != 21 || !WhyNotRunnable(runtimes.front()).empty()) {
    GTEST_SKIP() << "no Windows runtime of Java 21 here";
  }
  LaunchFolder folder(runtimes.front().target);
  fs::copy_file(built, folder.launcher(), fs::copy_options::overwrite_existing);
  folder.WriteSettings("[Java Runtime Environment]\nJRE Path=" + LauncherPath(runtimes.front()) +
                       "\nMain Class=korvan.probe.Probe\nVirtual Machine Parameters=" +
                       WineVmOptions(runtimes.front()) + "\n[Class Path]\nClass Path=" +
                       WinePath(std::string(KORVAN_JAVA_TESTS_DIR) + "/probe.jar") +
                       "\n[Application]\nOutput File=" + folder.NativePath("out.txt") + "\n");
  const ProcessResult started = RunUnderWine({"start", "/wait", WinePath(folder.launcher()), "console"});
  EXPECT_EQ(started.exit_code, 0) << started.standard_output << started.standard_error;
  EXPECT_EQ(ReadText(folder.folder() / "out.txt"), folder.Lines("console=" + GetParam().console + "\n"));
}

INSTANTIATE_TEST_SUITE_P(Forms, LauncherFormTest,
                         testing::Values(LauncherForm{"WindowsConsole", "korvan.exe", 3, "present"},
                                         LauncherForm{"WindowsWindowed", "korvanw.exe", 2, "none"}),
                         [](const testing::TestParamInfo<LauncherForm>& info) { return info.param.name; });

}  // namespace
}  // namespace korvan::e2e
