// The Windows launcher's class-data archive under Wine: a real VM writes it
// in %LOCALAPPDATA% at exit and loads the application's classes from it later;
// the recording test JVM shows each reason to stay out of the way.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/launch_folder.h"
#include "support/real_runtimes.h"
#include "support/text_checks.h"

namespace korvan::e2e {
namespace {

namespace fs = std::filesystem;

const fs::path kFixtures = fs::path(KORVAN_WINDOWS_BUILD_DIR) / "fixtures";

// The options the test JVM recorded, in order.
std::vector<std::string> RecordedOptions(const fs::path& record) {
  std::vector<std::string> options;
  std::istringstream stream(ReadText(record));
  for (std::string line; std::getline(stream, line);) {
    if (line.rfind("option ", 0) == 0) options.push_back(line.substr(7));
  }
  return options;
}

// A C:\ path of the Wine prefix, as this test sees it.
fs::path HostPath(const std::string& windows_path) {
  std::string rest = windows_path.substr(3);
  for (char& c : rest) {
    if (c == '\\') c = '/';
  }
  return fs::path(std::getenv("WINEPREFIX")) / "drive_c" / rest;
}

struct RuntimeShape {
  const char* release;  // the runtime's "release" file; nullptr: none
  bool base_archive;    // bin\server\classes.jsa
};

class JvmWindowsArchiveTest : public testing::Test {
 protected:
  void SetUp() override { KORVAN_SKIP_UNLESS_RUNNABLE(folder_.target()); }

  void LayOutRuntime(const RuntimeShape& shape) {
    folder_.WriteFile("jre/bin/java.dll", "");
    fs::create_directories(folder_.folder() / "jre/bin/server");
    fs::copy_file(kFixtures / "test_jvm.dll", folder_.folder() / "jre/bin/server/jvm.dll",
                  fs::copy_options::overwrite_existing);
    if (shape.release != nullptr) folder_.WriteFile("jre/release", shape.release);
    if (shape.base_archive) folder_.WriteFile("jre/bin/server/classes.jsa", "base");
  }

  ProcessResult Launch(const std::string& vm_parameters = "", const std::string& main = "normal") {
    fs::remove(folder_.folder() / "record.txt");
    folder_.WriteSettings("[Java Runtime Environment]\nJRE Path=" + folder_.NativePath("jre") +
                          "\nMain Class=com.example.App\nClass Data Archive=AUTO\n"
                          "Virtual Machine Parameters=-Dtestjvm.main=" + main + " " +
                          vm_parameters + "\n[Class Path]\nClass Path=app.jar\n");
    ProcessOptions options;
    options.environment.emplace("KORVAN_TEST_JVM_RECORD", folder_.NativePath("record.txt"));
    options.environment.emplace("KORVAN_TRACE", "1");
    const ProcessResult result = folder_.Run({}, options);
    EXPECT_FALSE(result.timed_out);
    return result;
  }

  std::vector<std::string> Options() const { return RecordedOptions(folder_.folder() / "record.txt"); }

  LaunchFolder folder_{Target{TargetKind::Windows, "Windows"}};
};

struct StaysOutCase {
  const char* name;
  RuntimeShape runtime;
  const char* vm_parameters;
  const char* trace;
};

class JvmWindowsArchiveOffTest : public JvmWindowsArchiveTest,
                                 public testing::WithParamInterface<StaysOutCase> {};

TEST_P(JvmWindowsArchiveOffTest, HandsTheVmNoArchiveOption) {
  LayOutRuntime(GetParam().runtime);
  const ProcessResult result = Launch(GetParam().vm_parameters);
  EXPECT_EQ(result.exit_code, 0) << result.standard_output << result.standard_error;
  const std::vector<std::string> options = Options();
  ASSERT_FALSE(options.empty());
  EXPECT_EQ(options[0], "-Djava.class.path=app.jar");
  for (const std::string& option : options) {
    EXPECT_EQ(option.find("-Xlog:cds"), std::string::npos) << option;
    EXPECT_EQ(option.find("ArchiveClassesAtExit"), std::string::npos) << option;
  }
  EXPECT_NE(result.standard_error.find(GetParam().trace), std::string::npos) << result.standard_error;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, JvmWindowsArchiveOffTest,
    testing::Values(
        StaysOutCase{"NoVersionKnown", {nullptr, true}, "", "off: the runtime's version is unknown"},
        StaysOutCase{"Java11", {"JAVA_VERSION=\"11.0.22\"\r\n", true}, "",
                     "off: the runtime is older than Java 13"},
        StaysOutCase{"Java8", {"JAVA_VERSION=\"1.8.0_402\"\r\n", true}, "",
                     "off: the runtime is older than Java 13"},
        StaysOutCase{"NoBaseArchive", {"JAVA_VERSION=\"17\"\r\n", false}, "",
                     "off: the runtime has no base archive"},
        StaysOutCase{"UserShare", {"JAVA_VERSION=\"17\"\r\n", true}, "-Xshare:off",
                     "off: the VM parameters"}),
    [](const testing::TestParamInfo<StaysOutCase>& info) { return info.param.name; });

// Lines that are not the VM's log ("[0.010s][info][class,load] ...") nor the
// launcher's trace.
std::string Unlogged(const std::string& text) {
  std::istringstream stream(text);
  std::string result;
  for (std::string line; std::getline(stream, line);) {
    if (line.rfind("[", 0) != 0 && line.rfind("korvan: ", 0) != 0) result += line + "\n";
  }
  return result;
}

class RealArchiveWindowsTest : public RealRuntimeTest {
 protected:
  ProcessResult Launch(const std::vector<std::string>& arguments) {
    folder_.WriteSettings("[Java Runtime Environment]\nJRE Path=" + LauncherPath(GetParam()) +
                          "\nMain Class=korvan.probe.Probe\nClass Data Archive=auto\n"
                          "Virtual Machine Parameters=-Xlog:class+load " + WineVmOptions(GetParam()) +
                          "\n[Class Path]\nClass Path=" +
                          WinePath(std::string(KORVAN_JAVA_TESTS_DIR) + "/probe.jar") + "\n");
    ProcessOptions options;
    options.environment.emplace("KORVAN_TRACE", "1");
    const ProcessResult result = folder_.Run(arguments, options);
    EXPECT_FALSE(result.timed_out);
    return result;
  }

  // The archive's files in the shared prefix's cache, named in the writer's trace.
  void TearDown() override {
    const std::size_t at = written_.find("C:\\", written_.find("writing it at exit"));
    if (at == std::string::npos) return;
    const std::string base = written_.substr(at, written_.find(".jsa.part", at) - at);
    std::error_code ignored;
    for (const char* ending : {".jsa", ".seal", ".lock"}) fs::remove(HostPath(base + ending), ignored);
  }

  LaunchFolder folder_{GetParam().target};
  std::string written_;  // the writing run's trace
};

TEST_P(RealArchiveWindowsTest, LaterRunLoadsTheClassesFromTheArchive) {
  // System.exit ends the writing run: the VM's C run-time ends the process,
  // and the archive is completed all the same.
  const ProcessResult first = Launch({"exit", "4"});
  written_ = first.standard_error;
  EXPECT_EQ(first.exit_code, 4) << first.standard_output << first.standard_error;
  EXPECT_TRUE(Contains(first.standard_error, "class data archive: writing it at exit"))
      << first.standard_error;
  EXPECT_TRUE(Contains(first.standard_output, "korvan.probe.Probe source: file:/"));

  const ProcessResult later = Launch({"print", "out", "err"});
  EXPECT_EQ(later.exit_code, 0) << later.standard_output << later.standard_error;
  EXPECT_TRUE(Contains(later.standard_error, "class data archive: using the archive of an earlier run"))
      << later.standard_error;
  // Loaded from the archive that the launcher wrote on top of the runtime's own.
  EXPECT_TRUE(Contains(later.standard_output, "korvan.probe.Probe source: shared objects file (top)"))
      << later.standard_output;
  EXPECT_EQ(Unlogged(later.standard_output), folder_.Lines("out\n"));
  EXPECT_EQ(Unlogged(later.standard_error), folder_.Lines("err\n"));
}

INSTANTIATE_TEST_SUITE_P(Runtimes, RealArchiveWindowsTest,
                         testing::ValuesIn(RealRuntimesOf(TargetKind::Windows, 13)), RuntimeName);

}  // namespace
}  // namespace korvan::e2e
