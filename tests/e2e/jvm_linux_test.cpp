// The Linux launcher hosting a real VM (the JDK the test applications were
// compiled with): arguments, options, paths, redirection, failures, exit codes.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/launch_folder.h"

namespace korvan::e2e {
namespace {

namespace fs = std::filesystem;

const std::string kJdk = KORVAN_TEST_JDK;
const std::string kProbeJar = std::string(KORVAN_JAVA_TESTS_DIR) + "/probe.jar";
const std::string kProbeNativeDir = std::string(KORVAN_JAVA_TESTS_DIR) + "/native";

struct ProbeSettings {
  std::string main_class = "korvan.probe.Probe";
  std::string runtime = kJdk;
  std::string class_path = kProbeJar;
  std::string vm_parameters;
  std::string library_path;
  std::string output_file;
  std::string error_file;
  std::string cmd;
  std::string failure_check;
};

std::string SettingsText(const ProbeSettings& settings) {
  std::ostringstream text;
  text << "[Java Runtime Environment]\n"
       << "JRE Path=" << settings.runtime << "\n"
       << "Main Class=" << settings.main_class << "\n"
       << "Virtual Machine Parameters=" << settings.vm_parameters << "\n"
       << "Library Path=" << settings.library_path << "\n"
       << "[Class Path]\n"
       << "Class Path=" << settings.class_path << "\n"
       << "[Application]\n"
       << "Output File=" << settings.output_file << "\n"
       << "Error File=" << settings.error_file << "\n"
       << "Cmd=" << settings.cmd << "\n"
       << "Failure Check=" << settings.failure_check << "\n";
  return text.str();
}

std::string ReadText(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

class JvmLinuxTest : public testing::Test {
 protected:
  ProcessResult Launch(const ProbeSettings& settings, const std::vector<std::string>& arguments,
                       ProcessOptions options = {}) {
    folder_.WriteSettings(SettingsText(settings));
    options.environment.emplace("LC_ALL", "C.UTF-8");
    const ProcessResult result = folder_.Run(arguments, options);
    EXPECT_FALSE(result.timed_out);
    return result;
  }

  std::string Path(const std::string& relative) const { return folder_.NativePath(relative); }

  LaunchFolder folder_{Target{TargetKind::Linux, "Linux"}};
};

TEST_F(JvmLinuxTest, ArgumentsArriveIntact) {
  const ProcessResult result = Launch(
      {}, {"args", "two words", "\"quoted\"", "", "caf\u00E9", "\u65E5\u672C", "\U0001F600"});
  EXPECT_EQ(result.standard_output,
            "count=7\n"
            "arg=U+0061 U+0072 U+0067 U+0073 [args]\n"
            "arg=U+0074 U+0077 U+006F U+0020 U+0077 U+006F U+0072 U+0064 U+0073 [two words]\n"
            "arg=U+0022 U+0071 U+0075 U+006F U+0074 U+0065 U+0064 U+0022 [\"quoted\"]\n"
            "arg=[]\n"
            "arg=U+0063 U+0061 U+0066 U+00E9 [caf\u00E9]\n"
            "arg=U+65E5 U+672C [\u65E5\u672C]\n"
            "arg=U+1F600 [\U0001F600]\n")
      << result.standard_error;
  EXPECT_EQ(result.exit_code, 0);
}

TEST_F(JvmLinuxTest, NoArgumentsGiveAnEmptyArray) {
  ProbeSettings settings;
  const ProcessResult result = Launch(settings, {});
  EXPECT_EQ(result.standard_output, "count=0\n") << result.standard_error;
  EXPECT_EQ(result.exit_code, 0);
}

TEST_F(JvmLinuxTest, CmdArgumentsFollowTheCommandLine) {
  ProbeSettings settings;
  settings.cmd = "tail \"two words\"";
  const ProcessResult result = Launch(settings, {"args", "first"});
  EXPECT_EQ(result.standard_output,
            "count=4\n"
            "arg=U+0061 U+0072 U+0067 U+0073 [args]\n"
            "arg=U+0066 U+0069 U+0072 U+0073 U+0074 [first]\n"
            "arg=U+0074 U+0061 U+0069 U+006C [tail]\n"
            "arg=U+0074 U+0077 U+006F U+0020 U+0077 U+006F U+0072 U+0064 U+0073 [two words]\n")
      << result.standard_error;
}

TEST_F(JvmLinuxTest, SystemPropertyWithSpacesAndTheClassPathReachTheVm) {
  ProbeSettings settings;
  settings.vm_parameters = "-Dkorvan.greeting=\"hello big world\" -Dkorvan.other=x";
  const ProcessResult result =
      Launch(settings, {"property", "korvan.greeting", "korvan.other", "java.class.path"});
  EXPECT_EQ(result.standard_output, "korvan.greeting=hello big world\nkorvan.other=x\n"
                                    "java.class.path=" + kProbeJar + "\n")
      << result.standard_error;
}

TEST_F(JvmLinuxTest, RuntimeIsPublishedToTheApplication) {
  const ProcessResult result = Launch({}, {"env", "KORVAN_JVM_PATH", "KORVAN_JVM_HOME"});
  EXPECT_EQ(result.standard_output, "KORVAN_JVM_PATH=" + kJdk + "/lib/server/libjvm.so\n"
                                    "KORVAN_JVM_HOME=" + kJdk + "\n")
      << result.standard_error;
}

TEST_F(JvmLinuxTest, LibraryPathFindsTheApplicationsNativeLibrary) {
  ProbeSettings settings;
  settings.library_path = kProbeNativeDir + ":";
  const ProcessResult result = Launch(settings, {"native", "korvanprobe"});
  EXPECT_EQ(result.standard_output, "native=hello from native\n") << result.standard_error;
  EXPECT_EQ(result.exit_code, 0);
}

TEST_F(JvmLinuxTest, PercentageHeapSizeIsAShareOfPhysicalMemory) {
  ProbeSettings settings;
  settings.vm_parameters = "-Xmx10P -XX:+UseSerialGC";
  const ProcessResult result = Launch(settings, {"max-memory"});
  const double physical = static_cast<double>(sysconf(_SC_PHYS_PAGES)) * sysconf(_SC_PAGESIZE);
  ASSERT_TRUE(Contains(result.standard_output, "max-memory=")) << result.standard_error;
  const double max_memory = std::stod(result.standard_output.substr(11));
  // The serial collector reports the heap less one survivor space.
  EXPECT_GT(max_memory, physical * 0.10 * 0.85);
  EXPECT_LE(max_memory, physical * 0.10);
}

TEST_F(JvmLinuxTest, ThreadStackSizeFollowsXss) {
  ProbeSettings settings;
  settings.vm_parameters = "-Xss256m";
  const ProcessResult deep = Launch(settings, {"recurse", "300000"});
  EXPECT_EQ(deep.standard_output, "depth=300000\n") << deep.standard_error;
  EXPECT_EQ(deep.exit_code, 0);

  // The same depth overflows the VM's default stack, so the size above was the launcher's doing.
  const ProcessResult shallow = Launch({}, {"recurse", "300000"});
  EXPECT_TRUE(Contains(shallow.standard_error, "java.lang.StackOverflowError"))
      << shallow.standard_error;
  EXPECT_EQ(shallow.exit_code, 255);
}

TEST_F(JvmLinuxTest, OutputAndErrorGoToTheirFiles) {
  ProbeSettings settings;
  settings.output_file = Path("out.txt");
  settings.error_file = Path("logs.txt");
  folder_.WriteFile("out.txt", "old content that must go\n");
  const ProcessResult result = Launch(settings, {"print", "to out \u00E9", "to err"});
  EXPECT_EQ(result.standard_output, "");
  EXPECT_EQ(result.standard_error, "");
  EXPECT_EQ(ReadText(folder_.folder() / "out.txt"), "to out \u00E9\n");
  EXPECT_EQ(ReadText(folder_.folder() / "logs.txt"), "to err\n");
  EXPECT_EQ(result.exit_code, 0);
}

TEST_F(JvmLinuxTest, OutputFileNamesMayHoldAnyCharacter) {
  ProbeSettings settings;
  settings.output_file = Path("\u65E5\u672C out.txt");
  const ProcessResult result = Launch(settings, {"print", "to out", "to err"});
  EXPECT_EQ(ReadText(folder_.folder() / "\u65E5\u672C out.txt"), "to out\n")
      << result.standard_error;
  EXPECT_EQ(result.standard_error, "to err\n");
}

TEST_F(JvmLinuxTest, OutputFileInAMissingFolderIsDescribedAndTheRunGoesOn) {
  ProbeSettings settings;
  settings.output_file = Path("missing/out.txt");
  const ProcessResult result = Launch(settings, {"print", "to out", "to err"});
  EXPECT_TRUE(Contains(result.standard_error, "java.io.FileNotFoundException: " +
                                                  Path("missing/out.txt")))
      << result.standard_error;
  EXPECT_EQ(result.standard_output, "to out\n");
  EXPECT_TRUE(Contains(result.standard_error, "to err\n"));
  EXPECT_EQ(result.exit_code, 0);
}

TEST_F(JvmLinuxTest, SystemExitSetsTheExitCode) {
  const ProcessResult result = Launch({}, {"exit", "3"});
  EXPECT_EQ(result.exit_code, 3) << result.standard_output << result.standard_error;
  EXPECT_EQ(result.standard_output, "");
}

TEST_F(JvmLinuxTest, NonDaemonThreadOutlivesMain) {
  const ProcessResult result = Launch({}, {"thread", "1500"});
  EXPECT_EQ(result.standard_output, "main done\nlate thread done\n") << result.standard_error;
  EXPECT_EQ(result.exit_code, 0);
}

TEST_F(JvmLinuxTest, UncaughtExceptionInMainFailsTheRun) {
  const ProcessResult result = Launch({}, {"throw", "broken on purpose"});
  EXPECT_TRUE(Contains(result.standard_error,
                       "Exception in thread \"main\" java.lang.IllegalStateException: broken on "
                       "purpose\n\tat korvan.probe.Probe.main("))
      << result.standard_error;
  EXPECT_EQ(result.standard_output, "");
  EXPECT_EQ(result.exit_code, 255);
}

TEST_F(JvmLinuxTest, FailureCheckCapturesTheStackTrace) {
  ProbeSettings settings;
  settings.failure_check = "yes";
  ProcessOptions options;
  options.environment["KORVAN_TRACE"] = "1";
  const ProcessResult result = Launch(settings, {"throw", "captured"}, options);
  EXPECT_TRUE(Contains(result.standard_error,
                       "korvan: uncaught exception in main:\n"
                       "java.lang.IllegalStateException: captured\n\tat korvan.probe.Probe.main("))
      << result.standard_error;
  EXPECT_EQ(result.exit_code, 255);
}

struct FailureCase {
  std::string name;
  std::string main_class;
  std::string vm_parameters;
  std::string error_lines;      // the launcher's, on standard error among the VM's lines
  std::string standard_error;   // a part of it
  std::string standard_output;  // what the VM itself says there, exactly
};

class JvmLinuxFailureTest : public JvmLinuxTest, public testing::WithParamInterface<FailureCase> {};

TEST_P(JvmLinuxFailureTest, ReportsAndExitsWithMinusOne) {
  ProbeSettings settings;
  settings.main_class = GetParam().main_class;
  settings.vm_parameters = GetParam().vm_parameters;
  const ProcessResult result = Launch(settings, {"args"});
  EXPECT_TRUE(Contains(result.standard_error, GetParam().error_lines)) << result.standard_error;
  EXPECT_EQ(result.standard_output, GetParam().standard_output);
  EXPECT_TRUE(Contains(result.standard_error, GetParam().standard_error)) << result.standard_error;
  EXPECT_EQ(result.exit_code, 255);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, JvmLinuxFailureTest,
    testing::Values(
        FailureCase{"MissingClass", "korvan.probe.Missing", "",
                    "Error: Could not find the main class korvan/probe/Missing.\n \n",
                    "java.lang.NoClassDefFoundError: korvan/probe/Missing", ""},
        FailureCase{"NoMainMethod", "korvan.probe.NoMain", "", "",
                    "java.lang.NoSuchMethodError: static Lkorvan/probe/NoMain;.main", ""},
        FailureCase{"MainReturningInt", "korvan.probe.IntMain", "", "",
                    "java.lang.NoSuchMethodError: static Lkorvan/probe/IntMain;.main", ""},
        // Options the java command takes that do not name the VM.
        FailureCase{"UnreadableArgumentFile", "korvan.probe.Probe", "@/nonexistent/korvan.args",
                    "Error: JNI exception: failed to create the Java VM\nReason: unknown.\n \n",
                    "Unrecognized option: @/nonexistent/korvan.args", ""},
        FailureCase{"UnrecognizedOption", "korvan.probe.Probe", "-Xfoo",
                    "Error: JNI exception: failed to create the Java VM\nReason: unknown.\n \n",
                    "Unrecognized option: -Xfoo", ""},
        FailureCase{"UnknownVmFlag", "korvan.probe.Probe", "-XX:+KorvanNoSuchFlag",
                    "Error: JNI exception: failed to create the Java VM\n"
                    "Reason: invalid arguments.\n \n",
                    "Unrecognized VM option 'KorvanNoSuchFlag'", ""},
        // The VM refuses so small a stack (on standard output); the thread
        // that creates it must still have room enough to say so.
        FailureCase{"TooSmallStack", "korvan.probe.Probe", "-Xss16k",
                    "Error: JNI exception: failed to create the Java VM\nReason: unknown.\n \n",
                    "",
                    "\nThe Java thread stack size specified is too small. Specify at least 136k\n"}),
    [](const testing::TestParamInfo<FailureCase>& info) { return info.param.name; });

TEST_F(JvmLinuxTest, LibraryThatDoesNotLoadIsReported) {
  // A runtime folder whose JVM library is no library at all.
  folder_.WriteFile("runtime/lib/libjava.so", "");
  folder_.WriteFile("runtime/lib/server/libjvm.so", "not a library");
  ProbeSettings settings;
  settings.runtime = Path("runtime");
  const std::string library = Path("runtime/lib/server/libjvm.so");
  const ProcessResult result = Launch(settings, {"args"});
  EXPECT_EQ(folder_.ErrorOutput(result),
            "Error: Failed to load Java VM library: " + library + ".\n \n");
  EXPECT_TRUE(Contains(result.standard_error, library)) << result.standard_error;
  EXPECT_EQ(result.exit_code, 255);
}

TEST_F(JvmLinuxTest, LibraryWithoutTheInvocationFunctionsIsReported) {
  folder_.WriteFile("runtime/lib/libjava.so", "");
  fs::create_directories(folder_.folder() / "runtime/lib/server");
  fs::copy_file(kProbeNativeDir + "/libkorvanprobe.so",
                folder_.folder() / "runtime/lib/server/libjvm.so");
  ProbeSettings settings;
  settings.runtime = Path("runtime");
  const ProcessResult result = Launch(settings, {"args"});
  EXPECT_EQ(folder_.ErrorOutput(result),
            "Error: System error: cannot find CreateJavaVM JNI.\n \n");
  EXPECT_EQ(result.exit_code, 255);
}

}  // namespace
}  // namespace korvan::e2e
