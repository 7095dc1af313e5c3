// The two forms of the Windows launcher under Wine: korvan.exe, a console
// program, and korvanw.exe, a windowed one (as javaw.exe is), built from the
// same sources. Their failure boxes are tested with the other dialogs
// (runtime_dialog_windows_test.cpp).
#include <gtest/gtest.h>

#include <filesystem>

#include "support/launch_folder.h"
#include "support/pe_header.h"
#include "support/real_runtimes.h"
#include "support/text_checks.h"

namespace korvan::e2e {
namespace {

namespace fs = std::filesystem;

struct LauncherForm {
  std::string name;
  std::string file;  // in build/windows
  int subsystem;     // of its PE header
  std::string console;  // what System.console() gives in a start through "wine start /wait"
};

class LauncherFormTest : public testing::TestWithParam<LauncherForm> {};

TEST_P(LauncherFormTest, HasItsSubsystemAndConsole) {
  const LauncherForm& form = GetParam();
  const fs::path built = fs::path(KORVAN_WINDOWS_BUILD_DIR) / form.file;
  if (!fs::exists(built)) GTEST_SKIP() << built << " is not built";
  EXPECT_EQ(PeSubsystem(built), form.subsystem);

  // Java 21: later lines give a console object to redirected starts too.
  const std::vector<RealRuntime> runtimes = RealRuntimesOf(TargetKind::Windows, 21);
  if (runtimes.empty() || runtimes.front().line != 21) GTEST_SKIP() << "no Windows runtime of Java 21";
  const RealRuntime& runtime = runtimes.front();
  if (const std::string why = WhyNotRunnable(runtime); !why.empty()) GTEST_SKIP() << why;
  LaunchFolder folder(runtime.target);
  fs::copy_file(built, folder.launcher(), fs::copy_options::overwrite_existing);
  folder.WriteSettings("[Java Runtime Environment]\nJRE Path=" + LauncherPath(runtime) +
                       "\nMain Class=korvan.probe.Probe\nVirtual Machine Parameters=" +
                       WineVmOptions(runtime) + "\n[Class Path]\nClass Path=" +
                       WinePath(std::string(KORVAN_JAVA_TESTS_DIR) + "/probe.jar") +
                       "\n[Application]\nOutput File=" + folder.NativePath("out.txt") + "\n");
  // As Explorer starts it: no console of the caller to inherit.
  const ProcessResult started = RunUnderWine({"start", "/wait", WinePath(folder.launcher()), "console"});
  EXPECT_EQ(started.exit_code, 0) << started.standard_output << started.standard_error;
  EXPECT_EQ(ReadText(folder.folder() / "out.txt"), folder.Lines("console=" + form.console + "\n"));
}

INSTANTIATE_TEST_SUITE_P(
    Forms, LauncherFormTest,
    testing::Values(LauncherForm{"WindowsConsole", "korvan.exe", 3, "present"},
                    LauncherForm{"WindowsWindowed", "korvanw.exe", 2, "none"}),
    [](const testing::TestParamInfo<LauncherForm>& info) { return info.param.name; });

}  // namespace
}  // namespace korvan::e2e
