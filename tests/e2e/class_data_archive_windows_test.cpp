// The Windows launcher's class-data archive under Wine, against the recording
// test JVM, which writes the archive at exit as the real VM does: the options
// it gets, the archive sealed in %LOCALAPPDATA% after the run, and each reason
// to stay out of the way.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/launch_folder.h"

namespace korvan::e2e {
namespace {

namespace fs = std::filesystem;

const fs::path kFixtures = fs::path(KORVAN_WINDOWS_BUILD_DIR) / "fixtures";

std::string ReadText(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

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

  void TearDown() override {
    std::error_code ignored;
    for (const fs::path& file : written_) fs::remove(file, ignored);
  }

  LaunchFolder folder_{Target{TargetKind::Windows, "Windows"}};
  std::vector<fs::path> written_;  // this test's files in the shared prefix's cache
};

TEST_F(JvmWindowsArchiveTest, WritesAtExitThenUsesTheSealedArchive) {
  LayOutRuntime({"JAVA_VERSION=\"17.0.2\"\r\n", true});
  ProcessResult result = Launch();
  EXPECT_EQ(result.exit_code, 0) << result.standard_output << result.standard_error;
  std::vector<std::string> options = Options();
  ASSERT_GE(options.size(), 2u);
  EXPECT_EQ(options[0], "-Xlog:cds*=off") << result.standard_error;
  const std::string write_option = "-XX:ArchiveClassesAtExit=";
  ASSERT_EQ(options[1].rfind(write_option, 0), 0u) << options[1];
  const std::string part = options[1].substr(write_option.size());
  // %LOCALAPPDATA%\korvan\class-data\<16 hex digits>.jsa.part
  ASSERT_NE(part.find("\\AppData\\Local\\korvan\\class-data\\"), std::string::npos) << part;
  const std::string base = part.substr(0, part.size() - 9);
  written_ = {HostPath(base + ".jsa"), HostPath(base + ".seal"), HostPath(base + ".lock"),
              HostPath(part)};
  EXPECT_EQ(fs::file_size(HostPath(base + ".jsa")), 4096u);
  EXPECT_FALSE(fs::exists(HostPath(part)));
  EXPECT_EQ(ReadText(HostPath(base + ".seal")).rfind("4096 ", 0), 0u);
  EXPECT_EQ(result.standard_output, folder_.Lines("main wrote to standard output\n"));

  result = Launch();
  EXPECT_EQ(result.exit_code, 0) << result.standard_output << result.standard_error;
  options = Options();
  ASSERT_GE(options.size(), 2u);
  EXPECT_EQ(options[1], "-XX:SharedArchiveFile=" + base + ".jsa");
  EXPECT_NE(result.standard_error.find("using the archive of an earlier run"), std::string::npos)
      << result.standard_error;
}

TEST_F(JvmWindowsArchiveTest, ExitFromMainStillSealsTheArchive) {
  LayOutRuntime({"JAVA_VERSION=\"21\"\r\n", true});
  const ProcessResult result = Launch("", "exit:4");
  EXPECT_EQ(result.exit_code, 4) << result.standard_output << result.standard_error;
  const std::vector<std::string> options = Options();
  ASSERT_GE(options.size(), 2u);
  const std::string part = options[1].substr(options[1].find('=') + 1);
  const std::string base = part.substr(0, part.size() - 9);
  written_ = {HostPath(base + ".jsa"), HostPath(base + ".seal"), HostPath(base + ".lock"),
              HostPath(part)};
  EXPECT_TRUE(fs::exists(HostPath(base + ".jsa"))) << options[1];
  EXPECT_TRUE(fs::exists(HostPath(base + ".seal")));
}

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

}  // namespace
}  // namespace korvan::e2e
