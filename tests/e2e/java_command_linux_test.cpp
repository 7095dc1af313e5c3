// Applications set up as they are started with the java command: files named
// through KORVAN_APP_HOME from any current folder, class path wildcards,
// module options and argument files, the identity that monitoring tools read,
// the Linux native library path, and error lines that leave standard output
// to the application. The real Linux launcher on the real VM.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "support/launch_folder.h"
#include "support/text_checks.h"

namespace korvan::e2e {
namespace {

namespace fs = std::filesystem;

const std::string kJdk = KORVAN_TEST_JDK;
const std::string kJavaTests = KORVAN_JAVA_TESTS_DIR;

class JavaCommandLinuxTest : public testing::Test {
 protected:
  // An application folder as one ships: the launcher, app.jar (the probe
  // application), lib/extra.jar and the runtime as jre/, a link to the JDK.
  JavaCommandLinuxTest() {
    fs::copy_file(kJavaTests + "/probe.jar", folder_.folder() / "app.jar");
    fs::create_directories(folder_.folder() / "lib");
    fs::copy_file(kJavaTests + "/extra.jar", folder_.folder() / "lib/extra.jar");
    folder_.WriteFile("lib/README.txt", "not a jar\n");
    fs::create_directory_symlink(kJdk, folder_.folder() / "jre");
    fs::create_directories(elsewhere_);
  }
  ~JavaCommandLinuxTest() override { fs::remove_all(elsewhere_); }

  // Settings that name nothing but the main class and %KORVAN_APP_HOME% paths.
  void WriteSettings(const std::string& class_path, const std::string& extra_runtime_lines = "",
                     const std::string& extra_class_path_lines = "") {
    folder_.WriteSettings("[Java Runtime Environment]\n"
                          "Main Class=korvan.probe.Probe\n"
                          "JRE Path=%KORVAN_APP_HOME%/jre\n" +
                          extra_runtime_lines + "[Class Path]\nClass Path=" + class_path + "\n" +
                          extra_class_path_lines);
  }

  // Started from a folder of its own, never the application's.
  ProcessResult Run(const std::vector<std::string>& arguments, ProcessOptions options = {}) {
    options.working_directory = elsewhere_.string();
    options.environment.emplace("LC_ALL", "C.UTF-8");
    const ProcessResult result = folder_.Run(arguments, options);
    EXPECT_FALSE(result.timed_out);
    return result;
  }

  std::string Home() const { return folder_.NativePath(); }

  LaunchFolder folder_{Target{TargetKind::Linux, "Linux"}};
  const fs::path elsewhere_ =
      fs::temp_directory_path() / ("korvan-elsewhere-" + std::to_string(::getpid()));
};

TEST_F(JavaCommandLinuxTest, JarFolderApplicationStartsFromAnotherFolder) {
  fs::copy_file(kJavaTests + "/probe.jar", folder_.folder() / "lib/probe.jar");
  WriteSettings("%KORVAN_APP_HOME%/app.jar:%KORVAN_APP_HOME%/lib/*", "",
                "Expand Wildcards=Yes\n[Application]\nOutput File=%KORVAN_APP_HOME%/out.txt\n");
  const ProcessResult result = Run({"load", "korvan.extra.Extra", "korvan.probe.Probe"});
  EXPECT_EQ(result.exit_code, 0) << result.standard_error;
  EXPECT_EQ(ReadText(folder_.folder() / "out.txt"), "korvan.extra.Extra from extra.jar\nkorvan.probe.Probe from app.jar\n")
      << result.standard_error;
}

// Without "Expand Wildcards" the entry reaches the VM as written, as before.
TEST_F(JavaCommandLinuxTest, WildcardWithoutTheKeyIsTakenWholeAndTracedNamingIt) {
  fs::copy_file(kJavaTests + "/probe.jar", folder_.folder() / "lib/probe.jar");
  WriteSettings("%KORVAN_APP_HOME%/lib/*");
  ProcessOptions options;
  options.environment["KORVAN_TRACE"] = "1";
  const ProcessResult result = Run({"args"}, options);
  EXPECT_TRUE(Contains(result.standard_error, "\"Expand Wildcards=Yes\"")) << result.standard_error;
  EXPECT_TRUE(Contains(result.standard_error, "Error: Could not find the main class"));
  EXPECT_EQ(result.exit_code, 255);
}

TEST_F(JavaCommandLinuxTest, ModuleOptionsInTheJavaCommandsFormReachTheVm) {
  folder_.WriteFile("app.args",
                    "# as a start script writes it\n--add-opens java.base/java.util=ALL-UNNAMED\n");
  WriteSettings("%KORVAN_APP_HOME%/app.jar",
                "Virtual Machine Parameters=-server --add-opens java.base/java.lang=ALL-UNNAMED "
                "@%KORVAN_APP_HOME%/app.args\n");
  const ProcessResult result = Run({"opens", "java.lang", "java.util", "java.io"});
  EXPECT_EQ(result.standard_output,
            "java.lang open=true\njava.util open=true\njava.io open=false\n")
      << result.standard_error;
  EXPECT_EQ(result.exit_code, 0);
}

TEST_F(JavaCommandLinuxTest, MonitoringToolsSeeTheMainClassAndArguments) {
  WriteSettings("%KORVAN_APP_HOME%/app.jar", "", "[Application]\nCmd=tail\n");
  const ProcessResult result =
      Run({"property", "sun.java.command", "sun.java.launcher"});
  EXPECT_EQ(result.standard_output,
            "sun.java.command=korvan.probe.Probe property sun.java.command sun.java.launcher "
            "tail\nsun.java.launcher=SUN_STANDARD\ntail=null\n")
      << result.standard_error;
}

// The value java gives java.library.path in the same environment.
std::string JavaDefaultLibraryPath(const ProcessOptions& options) {
  const ProcessResult java = RunProcess(
      {kJdk + "/bin/java", "-cp", kJavaTests + "/probe.jar", "korvan.probe.Probe", "property",
       "java.library.path"},
      options);
  return java.standard_output.substr(std::string("java.library.path=").size());
}

TEST_F(JavaCommandLinuxTest, NativeLibraryPathFollowsLinuxRules) {
  // The application's library lies in the current folder and on PATH: neither counts.
  fs::copy_file(kJavaTests + "/native/libkorvanprobe.so", elsewhere_ / "libkorvanprobe.so");
  WriteSettings("%KORVAN_APP_HOME%/app.jar", "Library Path=%KORVAN_APP_HOME%/native\n");
  ProcessOptions options;
  options.environment["PATH"] = elsewhere_.string() + ":/usr/bin:/bin";
  options.environment["LD_LIBRARY_PATH"] = "/korvan/inherited";
  const ProcessResult not_found = Run({"native", "korvanprobe"}, options);
  EXPECT_TRUE(Contains(not_found.standard_error, "java.lang.UnsatisfiedLinkError"))
      << not_found.standard_output << not_found.standard_error;
  EXPECT_EQ(not_found.exit_code, 255);

  const ProcessResult path = Run({"property", "java.library.path"}, options);
  options.working_directory = elsewhere_.string();
  EXPECT_EQ(path.standard_output, "java.library.path=" + Home() + "/native:" + Home() + ":" +
                                      JavaDefaultLibraryPath(options))
      << path.standard_error;

  // The launcher folder does count.
  fs::copy_file(kJavaTests + "/native/libkorvanprobe.so", folder_.folder() / "libkorvanprobe.so");
  const ProcessResult found = Run({"native", "korvanprobe"}, options);
  EXPECT_EQ(found.standard_output, "native=hello from native\n") << found.standard_error;
}

TEST_F(JavaCommandLinuxTest, ErrorLinesLeaveStandardOutputToTheApplication) {
  folder_.WriteSettings("[Java Runtime Environment]\nJRE Path=%KORVAN_APP_HOME%/jre\n");
  const ProcessResult result = Run({"args"});
  EXPECT_EQ(result.standard_output, "");
  EXPECT_EQ(result.standard_error, "Error: Main class was not specified in INI file. \n");
  EXPECT_EQ(result.exit_code, 255);
}

}  // namespace
}  // namespace korvan::e2e
