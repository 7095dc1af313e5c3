// The Windows launcher's side of hosting a VM, under Wine, against the
// recording test JVM (tests/fixtures/test_jvm): what the launcher hands the
// VM, what it asks of it, and how it reports each way the VM can fail.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "support/launch_folder.h"
#include "support/text_checks.h"

namespace korvan::e2e {
namespace {

namespace fs = std::filesystem;

const fs::path kFixtures = fs::path(KORVAN_WINDOWS_BUILD_DIR) / "fixtures";

struct TestJvmSettings {
  std::string class_path = "app.jar;lib\\x.jar";
  std::string expand_wildcards;
  std::string runtime;  // "JRE Path"; empty: the test's runtime folder
  std::string vm_parameters;
  std::string library_path;
  std::string output_file;
  std::string error_file;
  std::string cmd;
  std::string failure_check;
};

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) lines.push_back(line);
  return lines;
}

// The lines of `record` that begin with `prefix`.
std::vector<std::string> Matching(const std::vector<std::string>& record,
                                  const std::string& prefix) {
  std::vector<std::string> result;
  for (const std::string& line : record) {
    if (line.compare(0, prefix.size(), prefix) == 0) result.push_back(line);
  }
  return result;
}

class JvmWindowsTest : public testing::Test {
 protected:
  // A runtime folder as Windows runtimes are laid out, with `jvm` as its jvm.dll.
  void LayOutRuntime(const std::string& jvm = "test_jvm.dll") {
    folder_.WriteFile("jre/bin/java.dll", "");
    fs::create_directories(folder_.folder() / "jre/bin/server");
    fs::copy_file(kFixtures / jvm, folder_.folder() / "jre/bin/server/jvm.dll",
                  fs::copy_options::overwrite_existing);
  }

  ProcessResult Launch(const TestJvmSettings& settings, const std::vector<std::string>& arguments,
                       ProcessOptions options = {}) {
    std::ostringstream text;
    text << "[Java Runtime Environment]\n"
         << "JRE Path="
         << (settings.runtime.empty() ? folder_.NativePath("jre") : settings.runtime) << "\n"
         << "Main Class=com.example.App\n"
         << "Virtual Machine Parameters=" << settings.vm_parameters << "\n"
         << "Library Path=" << settings.library_path << "\n"
         << "[Class Path]\n"
         << "Class Path=" << settings.class_path << "\n"
         << "Expand Wildcards=" << settings.expand_wildcards << "\n"
         << "[Application]\n"
         << "Output File=" << settings.output_file << "\n"
         << "Error File=" << settings.error_file << "\n"
         << "Cmd=" << settings.cmd << "\n"
         << "Failure Check=" << settings.failure_check << "\n";
    folder_.WriteUnicodeSettings(text.str());
    options.environment.emplace("KORVAN_TEST_JVM_RECORD", folder_.NativePath("record.txt"));
    options.environment.emplace("LC_ALL", "C.UTF-8");
    const ProcessResult result = folder_.Run(arguments, options);
    EXPECT_FALSE(result.timed_out);
    return result;
  }

  std::vector<std::string> Record() const {
    return SplitLines(ReadText(folder_.folder() / "record.txt"));
  }

  void SetUp() override { KORVAN_SKIP_UNLESS_RUNNABLE(folder_.target()); }

  LaunchFolder folder_{Target{TargetKind::Windows, "Windows"}};
};

TEST_F(JvmWindowsTest, CreatesTheVmWithTheOptionsOnAThreadOfItsOwn) {
  LayOutRuntime();
  TestJvmSettings settings;
  settings.vm_parameters = "-Dgreeting=\"hello big world\" -Xms10P";
  const ProcessResult result = Launch(settings, {});
  EXPECT_EQ(result.exit_code, 0) << result.standard_output << result.standard_error;
  const std::vector<std::string> record = Record();
  ASSERT_FALSE(record.empty());
  // The default stack size is asked for on a JDK 1.1 record; the VM gets version 1.2.
  EXPECT_EQ(record.front(), "defaults version=65537");
  EXPECT_EQ(Matching(record, "create "),
            std::vector<std::string>{"create version=65538 options=5 ignore_unrecognized=0"});
  const std::vector<std::string> options = Matching(record, "option ");
  ASSERT_EQ(options.size(), 5u);
  EXPECT_EQ(options[0], "option -Djava.class.path=app.jar;lib\\x.jar");
  EXPECT_EQ(options[1], "option -Dgreeting=hello big world");
  EXPECT_TRUE(Contains(options[2], "option -Xms") && options[2].back() == 'K') << options[2];
  EXPECT_EQ(options[3], "option -Dsun.java.command=com.example.App");
  EXPECT_EQ(options[4], "option -Dsun.java.launcher=SUN_STANDARD");
  EXPECT_EQ(Matching(record, "env KORVAN_JVM_PATH="),
            std::vector<std::string>{"env KORVAN_JVM_PATH=" +
                                     folder_.NativePath("jre\\bin\\server\\jvm.dll")});
  EXPECT_EQ(Matching(record, "env KORVAN_JVM_HOME="),
            std::vector<std::string>{"env KORVAN_JVM_HOME=" + folder_.NativePath("jre")});
  // The test JVM's default Java stack size is 3 MiB.
  EXPECT_EQ(Matching(record, "stack "), std::vector<std::string>{"stack 3145728"});
  EXPECT_EQ(Matching(record, "thread "), std::vector<std::string>{"thread own"});
  EXPECT_EQ(Matching(record, "main "), std::vector<std::string>{"main com/example/App"});
  // main returned: the VM thread detaches, then the teardown destroys the VM.
  ASSERT_GE(record.size(), 2u);
  EXPECT_EQ(record[record.size() - 2], "detach");
  EXPECT_EQ(record.back(), "destroy");
  EXPECT_EQ(result.standard_output, folder_.Lines("main wrote to standard output\n"));
}

TEST_F(JvmWindowsTest, ThreadThatCannotBeMadeLeavesTheVmOnTheLaunchersThread) {
  LayOutRuntime();
  TestJvmSettings settings;
  settings.vm_parameters = "-Xss1000000G";  // more address space than the system has
  const ProcessResult result = Launch(settings, {});
  EXPECT_EQ(result.exit_code, 0) << result.standard_output << result.standard_error;
  const std::vector<std::string> record = Record();
  EXPECT_EQ(Matching(record, "thread "), std::vector<std::string>{"thread launcher"});
  EXPECT_EQ(Matching(record, "main "), std::vector<std::string>{"main com/example/App"});
}

// Settings that name the application's files through KORVAN_APP_HOME, from
// another current folder; options of the java command in the VM's own form.
TEST_F(JvmWindowsTest, ApplicationFolderWildcardsAndJavaCommandOptions) {
  LayOutRuntime();
  folder_.WriteFile("lib/b.jar", "");
  folder_.WriteFile("lib/a.JAR", "");
  folder_.WriteFile("lib/notes.txt", "");
  folder_.WriteFile("app.args", "# from a start script\r\n--add-exports java.base/x=ALL-UNNAMED\r\n"
                                "-Dfrom.file=\"two words\"\r\n");
  const fs::path elsewhere = folder_.folder() / "elsewhere";
  fs::create_directories(elsewhere);
  TestJvmSettings settings;
  settings.runtime = "%KORVAN_APP_HOME%\\jre";
  settings.class_path = "%KORVAN_APP_HOME%\\app.jar;%KORVAN_APP_HOME%\\lib\\*";
  settings.expand_wildcards = "YES";
  settings.vm_parameters =
      "-server --add-opens java.base/java.lang=ALL-UNNAMED -p mods @%KORVAN_APP_HOME%\\app.args";
  settings.cmd = "x \"y z\"";
  ProcessOptions options;
  options.working_directory = elsewhere.string();
  const ProcessResult result = Launch(settings, {"first"}, options);
  EXPECT_EQ(result.exit_code, 0) << result.standard_output << result.standard_error;
  const std::vector<std::string> record = Record();
  const std::string home = folder_.NativePath();  // no final separator
  EXPECT_EQ(Matching(record, "env KORVAN_APP_HOME="),
            std::vector<std::string>{"env KORVAN_APP_HOME=" + home});
  const std::vector<std::string> listing_order = {home + "\\lib\\b.jar",
                                                  home + "\\lib\\a.JAR"};
  const std::vector<std::string> options_seen = Matching(record, "option ");
  ASSERT_EQ(options_seen.size(), 7u) << result.standard_error;
  // The jars in the order the folder lists them; which order that is belongs to Wine.
  EXPECT_TRUE(options_seen[0] == "option -Djava.class.path=" + home + "\\app.jar;" +
                                     listing_order[0] + ";" + listing_order[1] ||
              options_seen[0] == "option -Djava.class.path=" + home + "\\app.jar;" +
                                     listing_order[1] + ";" + listing_order[0])
      << options_seen[0];
  EXPECT_EQ(std::vector<std::string>(options_seen.begin() + 1, options_seen.end()),
            (std::vector<std::string>{
                "option --add-opens=java.base/java.lang=ALL-UNNAMED",
                "option --module-path=mods",
                "option --add-exports=java.base/x=ALL-UNNAMED",
                "option -Dfrom.file=two words",
                "option -Dsun.java.command=com.example.App first x y z",
                "option -Dsun.java.launcher=SUN_STANDARD"}));
}

TEST_F(JvmWindowsTest, LibraryPathOptionComesFirst) {
  LayOutRuntime();
  TestJvmSettings settings;
  settings.library_path = "native;";
  Launch(settings, {});
  const std::vector<std::string> options = Matching(Record(), "option ");
  ASSERT_FALSE(options.empty());
  EXPECT_TRUE(Contains(options[0], "option -Djava.library.path=native;" + folder_.NativePath()))
      << options[0];
}

struct CreationFailure {
  int code;
  std::string reason;
};

class JvmWindowsCreationTest : public JvmWindowsTest,
                               public testing::WithParamInterface<CreationFailure> {};

TEST_P(JvmWindowsCreationTest, ReportsTheReasonAndCallsNothingMore) {
  LayOutRuntime();
  TestJvmSettings settings;
  settings.vm_parameters = "-Dtestjvm.create=" + std::to_string(GetParam().code);
  const ProcessResult result = Launch(settings, {});
  EXPECT_EQ(result.standard_output,
            folder_.Lines("Error: JNI exception: failed to create the Java VM\nReason: " +
                          GetParam().reason + ".\n \n"));
  EXPECT_EQ(result.exit_code, 255);
  const std::vector<std::string> record = Record();
  EXPECT_EQ(Matching(record, "find_class"), std::vector<std::string>{});
  EXPECT_EQ(Matching(record, "destroy"), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(Codes, JvmWindowsCreationTest,
                         testing::Values(CreationFailure{-1, "unknown"},
                                         CreationFailure{-2, "thread detached from VM"},
                                         CreationFailure{-3, "JNI version error"},
                                         CreationFailure{-4, "not enough memory"},
                                         CreationFailure{-5, "VM already created"},
                                         CreationFailure{-6, "invalid arguments"},
                                         CreationFailure{-7, ""}, CreationFailure{3, ""}));

struct InvocationFailure {
  std::string name;
  std::string behaviour;  // the test JVM's own option
  std::string standard_output;
  std::string standard_error;  // a part of it; empty: nothing
  int exit_code;
};

class JvmWindowsInvocationTest : public JvmWindowsTest,
                                 public testing::WithParamInterface<InvocationFailure> {};

TEST_P(JvmWindowsInvocationTest, ReportsAndEndsTheRun) {
  LayOutRuntime();
  TestJvmSettings settings;
  settings.vm_parameters = GetParam().behaviour;
  const ProcessResult result = Launch(settings, {"a"});
  EXPECT_EQ(result.standard_output, folder_.Lines(GetParam().standard_output));
  if (GetParam().standard_error.empty()) {
    EXPECT_EQ(result.standard_error, "");
  } else {
    EXPECT_TRUE(Contains(result.standard_error, GetParam().standard_error))
        << result.standard_error;
  }
  EXPECT_EQ(result.exit_code, GetParam().exit_code);
  const std::vector<std::string> record = Record();
  // Whatever happened, the VM thread let go of the VM and the teardown destroyed it.
  EXPECT_EQ(Matching(record, "detach"), std::vector<std::string>{"detach"});
  EXPECT_EQ(record.empty() ? "" : record.back(), "destroy");
}

INSTANTIATE_TEST_SUITE_P(
    Failures, JvmWindowsInvocationTest,
    testing::Values(
        InvocationFailure{"MainMissingWithoutException", "-Dtestjvm.main=missing-quietly",
                          "Error: No main method found in specified class.\n \n", "", 255},
        InvocationFailure{"StringsCannotBeMade", "-Dtestjvm.strings=fail",
                          "Error: Failed to load Main Class: com/example/App.\n \n",
                          "java.lang.OutOfMemoryError", 255},
        InvocationFailure{"DetachFails", "-Dtestjvm.detach=fail", "main wrote to standard output\n",
                          "main wrote to standard error", 255}),
    [](const testing::TestParamInfo<InvocationFailure>& info) { return info.param.name; });

TEST_F(JvmWindowsTest, WithoutFailureCheckNoStackTraceIsCaptured) {
  LayOutRuntime();
  TestJvmSettings settings;
  settings.vm_parameters = "-Dtestjvm.main=throw";
  Launch(settings, {});
  const std::vector<std::string> record = Record();
  // main did throw, so a capture had its chance.
  EXPECT_EQ(Matching(record, "describe "),
            std::vector<std::string>{"describe java.lang.IllegalStateException: thrown by main"});
  EXPECT_EQ(Matching(record, "print_stack_trace"), std::vector<std::string>{});
}

TEST_F(JvmWindowsTest, LibraryThatDoesNotLoadIsReportedWithTheSystemErrorCode) {
  folder_.WriteFile("jre/bin/java.dll", "");
  folder_.WriteFile("jre/bin/server/jvm.dll", "not a library");
  const ProcessResult result = Launch({}, {});
  EXPECT_EQ(result.standard_output,
            folder_.Lines("Error: Failed to load Java VM library: " +
                          folder_.NativePath("jre\\bin\\server\\jvm.dll") +
                          " (errno = 193).\n \n"));
  EXPECT_EQ(result.exit_code, 255);
}

TEST_F(JvmWindowsTest, LibraryWithoutTheDefaultsFunctionIsRejected) {
  LayOutRuntime("test_jvm_partial.dll");
  const ProcessResult result = Launch({}, {});
  EXPECT_EQ(result.standard_output,
            folder_.Lines("Error: Windows exception: cannot find CreateJavaVM JNI (errno = 127).\n \n"));
  EXPECT_EQ(result.exit_code, 255);
  EXPECT_EQ(Matching(Record(), "create"), std::vector<std::string>{});
}

TEST_F(JvmWindowsTest, JvmLibraryWhoseDllsAreMissingDoesNotLoad) {
  LayOutRuntime("test_jvm_dependent.dll");
  const ProcessResult result = Launch({}, {});
  EXPECT_EQ(result.standard_output,
            folder_.Lines("Error: Failed to load Java VM library: " +
                          folder_.NativePath("jre\\bin\\server\\jvm.dll") +
                          " (errno = 126).\n \n"));
  EXPECT_EQ(result.exit_code, 255);
}

}  // namespace
}  // namespace korvan::e2e
