// The Windows launcher's class-data archive under Wine: a real VM writes it
// in %LOCALAPPDATA% at exit (from Java 24 on, records the configuration of an
// AOT cache that a detached java.exe assembles) and loads the application's
// classes from it later;
// the recording test JVM shows each reason to stay out of the way.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

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
  bool class_folder = false;  // app.jar is a folder of classes
};

class JvmWindowsArchiveOffTest : public JvmWindowsArchiveTest,
                                 public testing::WithParamInterface<StaysOutCase> {};

TEST_P(JvmWindowsArchiveOffTest, HandsTheVmNoArchiveOption) {
  LayOutRuntime(GetParam().runtime);
  if (GetParam().class_folder) folder_.WriteFile("app.jar/com/example/App.class", "");
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
        StaysOutCase{"NoJavaCommand", {"JAVA_VERSION=\"25\"\r\n", true}, "",
                     "off: the runtime has no java command"},
        StaysOutCase{"UserShare", {"JAVA_VERSION=\"17\"\r\n", true}, "-Xshare:off",
                     "off: the VM parameters"},
        StaysOutCase{"ClassFolder", {"JAVA_VERSION=\"17\"\r\n", true}, "",
                     "off: the class path holds a folder", true}),
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

  bool Aot() const { return GetParam().line >= 24; }

  // The archive's base in the shared prefix's cache, named in the writer's trace.
  std::string WrittenBase() const {
    const std::size_t at = written_.find("C:\\", written_.find(Aot() ? "recording" : "writing it at exit"));
    if (at == std::string::npos) return "";
    return written_.substr(at, written_.find(Aot() ? ".aotconf.part" : ".jsa.part", at) - at);
  }

  // The detached assembly of an AOT cache ends by removing the configuration.
  void WaitForAssembly() const {
    for (int tenths = 0; tenths < 1200 && fs::exists(HostPath(WrittenBase() + ".aotconf")); ++tenths) {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
  }

  void TearDown() override {
    if (WrittenBase().empty()) return;
    std::error_code ignored;
    for (const char* ending : {".jsa", ".aot", ".seal", ".lock", ".aot.failed"}) {
      fs::remove(HostPath(WrittenBase() + ending), ignored);
    }
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
  EXPECT_TRUE(Contains(first.standard_error, Aot() ? "class data archive: recording the AOT configuration;"
                                                   : "class data archive: writing it at exit"))
      << first.standard_error;
  EXPECT_TRUE(Contains(first.standard_output, "korvan.probe.Probe source: file:/"));
  EXPECT_EQ(Unlogged(first.standard_error), "");
  // Wine hands its own unix standard error to every process it starts, so
  // here the run's pipes stay open until the assembly has ended, unlike on
  // Windows, where the assembly inherits no handle of ours.
  WaitForAssembly();

  const ProcessResult later = Launch({"print", "out", "err"});
  EXPECT_EQ(later.exit_code, 0) << later.standard_output << later.standard_error;
  EXPECT_TRUE(Contains(later.standard_error, Aot() ? "using the AOT cache of an earlier run"
                                                   : "using the archive of an earlier run"))
      << later.standard_error;
  // Loaded from the archive that the launcher wrote on top of the runtime's
  // own, or from the AOT cache, which holds the runtime's classes too.
  const std::string source = "korvan.probe.Probe source: shared objects file";
  EXPECT_TRUE(Contains(later.standard_output, Aot() ? source : source + " (top)")) << later.standard_output;
  EXPECT_EQ(Unlogged(later.standard_output), folder_.Lines("out\n"));
  EXPECT_EQ(Unlogged(later.standard_error), folder_.Lines("err\n"));
}

INSTANTIATE_TEST_SUITE_P(Runtimes, RealArchiveWindowsTest,
                         testing::ValuesIn(RealRuntimesOf(TargetKind::Windows, 13)), RuntimeName);

}  // namespace
}  // namespace korvan::e2e
