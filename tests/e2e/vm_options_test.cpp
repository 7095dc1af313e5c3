// VM options, application arguments and the process environment as the real
// launchers build them, read from their KORVAN_TRACE lines. The runtime is a
// folder of the test holding a JVM library that loads but refuses to create a
// VM, so each run goes through option assembly and then stops.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>

#include "support/launch_folder.h"

namespace korvan::e2e {
namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::string>;

std::string JvmLibrarySubPath(const LaunchFolder& folder) {
  return folder.windows() ? "jre/bin/client/jvm.dll" : "jre/lib/server/libjvm.so";
}

fs::path RefusingJvmBuild(const LaunchFolder& folder) {
  if (folder.windows()) return fs::path(KORVAN_WINDOWS_BUILD_DIR) / "fixtures/refusing_jvm.dll";
  return LinuxBuildDir() / "fixtures/refusing_jvm.so";
}

// The values of the trace lines "korvan: <label>: <value>", in order.
Texts Traced(const std::string& standard_error, const std::string& label) {
  Texts values;
  std::istringstream lines(standard_error);
  const std::string prefix = "korvan: " + label + ": ";
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind(prefix, 0) == 0) values.push_back(line.substr(prefix.size()));
  }
  return values;
}

// The physical memory in KiB that the launcher measures percentages against:
// MemTotal of /proc/meminfo for the Linux launcher; Wine's GlobalMemoryStatus
// reports one 4 KiB page less than that (its physical page count leaves out
// page 0).
std::uint64_t PhysicalMemoryKib(const LaunchFolder& folder) {
  std::ifstream meminfo("/proc/meminfo");
  std::string name;
  std::uint64_t kib = 0;
  while (meminfo >> name >> kib) {
    if (name == "MemTotal:") return folder.windows() ? kib - 4 : kib;
    meminfo.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
  }
  return 0;
}

std::string ShareKib(std::uint64_t base_kib, double percent) {
  return std::to_string(
      static_cast<std::uint64_t>(static_cast<double>(base_kib) * (percent / 100.0)));
}

class VmOptionsTest : public TargetTest {
 protected:
  VmOptionsTest() : folder_(GetParam()) {}
  void SetUp() override {
    KORVAN_SKIP_UNLESS_RUNNABLE(GetParam());
    const fs::path library = folder_.folder() / JvmLibrarySubPath(folder_);
    fs::create_directories(library.parent_path());
    std::error_code error;
    fs::copy_file(RefusingJvmBuild(folder_), library, error);
    if (error) ADD_FAILURE() << RefusingJvmBuild(folder_) << ": " << error.message();
  }

  // A settings file with a runtime, a main class and the given extra lines.
  void WriteSettings(const std::string& runtime_lines, const std::string& other_sections) {
    const std::string runtime = "JRE Path=" + folder_.NativePath("jre") + "\n";
    folder_.WriteSettings("[Java Runtime Environment]\nMain Class=korvan.probe.Probe\n" + runtime +
                          runtime_lines + other_sections);
  }

  ProcessResult Run(const std::vector<std::string>& arguments = {},
                    std::map<std::string, std::string> environment = {}) {
    ProcessOptions options;
    options.environment = std::move(environment);
    options.environment["KORVAN_TRACE"] = "1";
    ProcessResult result = folder_.Run(arguments, options);
    EXPECT_FALSE(result.timed_out);
    return result;
  }

  std::string Native(const std::string& windows_text, const std::string& linux_text) const {
    return folder_.windows() ? windows_text : linux_text;
  }

  LaunchFolder folder_;
};

TEST_P(VmOptionsTest, PercentagesOfPhysicalMemoryBecomeKibibytes) {
  const std::uint64_t physical = PhysicalMemoryKib(folder_);
  ASSERT_GT(physical, 0u);
  // -Xss1:2:1P: 1 % cut to 1 MiB, then raised to the minimum of 2 MiB.
  WriteSettings("Virtual Machine Parameters=-Xms10P -Xmx50p -Xss1:2:1P\n",
                "[Class Path]\nClass Path=app.jar\n");
  const ProcessResult result = Run();
  EXPECT_EQ(Traced(result.standard_error, "VM option"),
            (Texts{"-Djava.class.path=app.jar", "-Xms" + ShareKib(physical, 10) + "K",
                   "-Xmx" + ShareKib(physical, 50) + "K", "-Xss2048K"}))
      << result.standard_error;
  EXPECT_EQ(Traced(result.standard_error, "VM thread stack size from VM parameters"),
            Texts{"2097152"});
  EXPECT_EQ(result.exit_code, 255);
}

TEST_P(VmOptionsTest, AddressSpaceShareIsTheProcesssNotThePhysicalMemory) {
  WriteSettings("Virtual Machine Parameters=-Xmx1T -Xms80:0:512t\n",
                "[Class Path]\nClass Path=app.jar\n");
  const ProcessResult result = Run();
  const Texts options = Traced(result.standard_error, "VM option");
  ASSERT_EQ(options.size(), 3u) << result.standard_error;
  EXPECT_EQ(options[2], "-Xms524288K");
  // 1 % of a 47-bit user address space less what the process has mapped.
  ASSERT_EQ(options[1].rfind("-Xmx", 0), 0u);
  const std::uint64_t kib = std::stoull(options[1].substr(4));
  const std::uint64_t whole_space_kib = (std::uint64_t{1} << 47) >> 10;
  EXPECT_LE(kib, whole_space_kib / 100);
  EXPECT_GE(kib, (whole_space_kib - (std::uint64_t{4} << 20)) / 100);  // less 4 GiB mapped
}

TEST_P(VmOptionsTest, ReferencesAreExpandedAfterTokensAreProcessed) {
  WriteSettings("Virtual Machine Parameters=-Dapp.data=%KORVAN_E2E_DATA%" + Native("\\x", "/x") +
                    " -Dother=%KORVAN_E2E_UNSET% %KORVAN_E2E_EMPTY% -Xmx%KORVAN_E2E_SIZE%\n",
                "[Class Path]\nClass Path=%KORVAN_E2E_DATA%" + Native("\\app.jar", "/app.jar") +
                    "\n[Application]\nOutput File=%KORVAN_E2E_DATA%" +
                    Native("\\out.txt", "/out.txt") + "\n");
  const ProcessResult result =
      Run({}, {{"KORVAN_E2E_DATA", "data dir"}, {"KORVAN_E2E_SIZE", "50P"}, {"KORVAN_E2E_EMPTY", ""}});
  EXPECT_EQ(
      Traced(result.standard_error, "VM option"),
      (Texts{Native("-Djava.class.path=data dir\\app.jar", "-Djava.class.path=data dir/app.jar"),
             Native("-Dapp.data=data dir\\x", "-Dapp.data=data dir/x"),
             "-Dother=%KORVAN_E2E_UNSET%", "-Xmx50P"}))
      << result.standard_error;
  EXPECT_EQ(Traced(result.standard_error, "output file"),
            Texts{Native("data dir\\out.txt", "data dir/out.txt")});
}

TEST_P(VmOptionsTest, QuotedValuesKeepTheirSpacesWithoutTheQuotes) {
  WriteSettings(
      "Virtual Machine Parameters=  -Dpath=\"C:\\Program Files\\x\"   -Xss512k \"-Dq=a b\"\n",
      "[Class Path]\nClass Path=app.jar\n");
  const ProcessResult result = Run();
  EXPECT_EQ(
      Traced(result.standard_error, "VM option"),
      (Texts{"-Djava.class.path=app.jar", "-Dpath=C:\\Program Files\\x", "-Xss512k", "-Dq=a b"}))
      << result.standard_error;
  EXPECT_EQ(Traced(result.standard_error, "VM thread stack size from VM parameters"),
            Texts{"524288"});
}

TEST_P(VmOptionsTest, CmdArgumentsFollowTheCommandLine) {
  WriteSettings("",
                "[Class Path]\nClass Path=app.jar\n"
                "[Application]\nCmd=a \"b c\"  %KORVAN_E2E_WORD% \"\"\n");
  const ProcessResult result = Run({"x", "y z"}, {{"KORVAN_E2E_WORD", "d"}});
  EXPECT_EQ(Traced(result.standard_error, "argument"), (Texts{"x", "y z", "a", "b c", "d"}))
      << result.standard_error;
  EXPECT_EQ(Traced(result.standard_error, "VM thread stack size from VM parameters"), Texts{"0"});
}

TEST_P(VmOptionsTest, MissingClassPathEndsTheRunWithMessage209) {
  WriteSettings("Virtual Machine Parameters=-Xmx50P\n", "[Application]\nCmd=a\n");
  const ProcessResult result = Run();
  EXPECT_EQ(folder_.ErrorOutput(result),
            folder_.Lines("Error: Java Class Path was not specified in INI file. \n"));
  EXPECT_EQ(result.exit_code, 255);
  EXPECT_EQ(Traced(result.standard_error, "VM option"), Texts{}) << result.standard_error;
}

TEST_P(VmOptionsTest, EnvironmentPublishesTheRuntimeAndExtendsThePath) {
  WriteSettings("System Path=" + Native("C:\\tools", "/opt/tools") + "\n",
                "[Class Path]\nClass Path=app.jar\n");
  const ProcessResult result = Run();
  const std::string home = folder_.NativePath("jre");
  Texts environment = Traced(result.standard_error, "environment");
  ASSERT_EQ(environment.size(), 4u) << result.standard_error;
  // The application folder comes first, before any setting is expanded.
  EXPECT_EQ(environment[0], "KORVAN_APP_HOME=" + folder_.NativePath());
  EXPECT_EQ(environment[1], "KORVAN_JVM_PATH=" + folder_.NativePath(JvmLibrarySubPath(folder_)));
  EXPECT_EQ(environment[2], "KORVAN_JVM_HOME=" + home);
  const std::string path_start = Native("Path=C:\\tools;", "PATH=/opt/tools:");
  const std::string path_end = Native(";" + home + "\\bin", ":" + home + "/bin");
  EXPECT_EQ(environment[3].rfind(path_start, 0), 0u) << environment[3];
  ASSERT_GE(environment[3].size(), path_start.size() + path_end.size());
  EXPECT_EQ(environment[3].substr(environment[3].size() - path_end.size()), path_end);
}

TEST_P(VmOptionsTest, LibraryPathOptionHasOneSeparatorBetweenPieces) {
  WriteSettings("Library Path=native\n", "[Class Path]\nClass Path=app.jar\n");
  // The Linux launcher gets a search path without a final separator; Wine
  // builds its own Path for the Windows one.
  const ProcessResult result =
      Run({}, {{"PATH", "/usr/bin:/bin"}, {"LD_LIBRARY_PATH", "/usr/local/lib"}});
  const std::string home = folder_.NativePath("jre");
  const Texts options = Traced(result.standard_error, "VM option");
  ASSERT_FALSE(options.empty()) << result.standard_error;
  if (!folder_.windows()) {
    // Linux: no option (neither "." nor PATH); the VM builds its own path
    // from LD_LIBRARY_PATH, which the launcher extends.
    EXPECT_EQ(options, Texts{"-Djava.class.path=app.jar"});
    const Texts environment = Traced(result.standard_error, "environment");
    EXPECT_NE(std::find(environment.begin(), environment.end(),
                        "LD_LIBRARY_PATH=native:" + folder_.NativePath() + ":/usr/local/lib"),
              environment.end())
        << result.standard_error;
    return;
  }
  const std::string start = "-Djava.library.path=native;" + folder_.NativePath() + "\\;";
  EXPECT_EQ(options[0].rfind(start, 0), 0u) << options[0];
  EXPECT_EQ(options[0].find(";.;"), std::string::npos) << options[0];
  // The current folder last, as the java command has it.
  const std::string end = home + "\\lib;.";
  ASSERT_GT(options[0].size(), start.size() + end.size());
  EXPECT_EQ(options[0].substr(options[0].size() - end.size()), end);
  EXPECT_EQ(options[0][options[0].size() - end.size() - 1], ';') << options[0];
}

TEST_P(VmOptionsTest, ClassPathOptionFollowsTheLibraryPathOption) {
  WriteSettings("Library Path=native\n", "[Class Path]\nClass Path=app.jar\n");
  const Texts options = Traced(Run().standard_error, "VM option");
  if (folder_.windows()) {
    ASSERT_EQ(options.size(), 2u);
    EXPECT_EQ(options[0].rfind("-Djava.library.path=native", 0), 0u) << options[0];
    EXPECT_EQ(options[1], "-Djava.class.path=app.jar");
  } else {
    EXPECT_EQ(options, Texts{"-Djava.class.path=app.jar"});
  }

  WriteSettings("", "[Class Path]\nClass Path=app.jar\n");
  EXPECT_EQ(Traced(Run().standard_error, "VM option"), Texts{"-Djava.class.path=app.jar"});
}

INSTANTIATE_TEST_SUITE_P(Targets, VmOptionsTest, testing::ValuesIn(AllTargets()), TargetName);

}  // namespace
}  // namespace korvan::e2e
