// Both launchers hosting real VMs, on every runtime line the tests have:
// arguments, options, paths, redirection, failures, exit codes. The Windows
// launcher runs under Wine with the fetched Windows runtimes.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <tuple>

#include "support/launch_folder.h"
#include "support/real_runtimes.h"
#include "support/text_checks.h"

namespace korvan::e2e {
namespace {

namespace fs = std::filesystem;

const std::string kProbeJar = std::string(KORVAN_JAVA_TESTS_DIR) + "/probe.jar";
// The probe with a manifest that uses every attribute java -jar applies.
const std::string kMainJar = std::string(KORVAN_JAVA_TESTS_DIR) + "/mainjar.jar";
const fs::path kLinuxNativeDir = std::string(KORVAN_JAVA_TESTS_DIR) + "/native";
const fs::path kWindowsNativeDir = fs::path(KORVAN_WINDOWS_BUILD_DIR) / "fixtures" / "native";

struct ProbeSettings {
  std::string main_class = "korvan.probe.Probe";
  std::string main_jar;
  std::string main_module;
  bool class_path = true;
  std::string vm_parameters;
  std::string library_path;
  std::string output_file;
  std::string error_file;
  std::string cmd;
  std::string failure_check;
  std::string extra_class_path;  // after the probe's jar (separator included), or alone without it
};

class JvmRealTest : public RealRuntimeTest {
 protected:
  bool windows() const { return folder_.windows(); }

  // The settings of a probe run whose "JRE Path" is `runtime`.
  std::string SettingsText(const ProbeSettings& settings, const std::string& runtime) const {
    std::ostringstream text;
    text << "[Java Runtime Environment]\n"
         << "JRE Path=" << runtime << "\n"
         << "Main Class=" << settings.main_class << "\n"
         << "Main Jar=" << settings.main_jar << "\n"
         << "Main Module=" << settings.main_module << "\n"
         << "Virtual Machine Parameters=" << WineVmOptions(GetParam()) << " "
         << settings.vm_parameters << "\n"
         << "Library Path=" << settings.library_path << "\n"
         << "[Class Path]\n"
         << "Class Path=" << (settings.class_path ? ClassPath() : "") << settings.extra_class_path
         << "\n"
         << "[Application]\n"
         << "Output File=" << settings.output_file << "\n"
         << "Error File=" << settings.error_file << "\n"
         << "Cmd=" << settings.cmd << "\n"
         << "Failure Check=" << settings.failure_check << "\n";
    return text.str();
  }

  ProcessResult Launch(const ProbeSettings& settings, const std::vector<std::string>& arguments,
                       ProcessOptions options = {}) {
    folder_.WriteUnicodeSettings(SettingsText(settings, LauncherPath(GetParam())));
    return Run(arguments, options);
  }

  ProcessResult Run(const std::vector<std::string>& arguments, ProcessOptions options = {}) {
    options.environment.emplace("LC_ALL", "C.UTF-8");
    const ProcessResult result = folder_.Run(arguments, options);
    EXPECT_FALSE(result.timed_out);
    return result;
  }

  std::string ClassPath() const { return TestFile(kProbeJar); }
  std::string TestFile(const std::string& path) const { return windows() ? WinePath(path) : path; }
  std::string NativeDir() const {
    return windows() ? WinePath(kWindowsNativeDir) : kLinuxNativeDir.string();
  }
  std::string Path(const std::string& relative) const {
    std::string path = folder_.NativePath(relative);
    if (windows()) std::replace(path.begin(), path.end(), '/', '\\');
    return path;
  }
  std::string Lines(const std::string& text) const { return folder_.Lines(text); }

  LaunchFolder folder_{GetParam().target};
};

INSTANTIATE_TEST_SUITE_P(Runtimes, JvmRealTest, testing::ValuesIn(WithArm64(RealRuntimes())), RuntimeName);

TEST_P(JvmRealTest, ArgumentsArriveIntact) {
  const ProcessResult result = Launch({}, {"args", "two words", "C:\\x", "", "caf\u00E9",
                                           "\u65E5\u672C", "\U0001F600"});
  EXPECT_EQ(result.standard_output, Lines("count=7\n"
                                          "arg= U+0061 U+0072 U+0067 U+0073\n"
                                          "arg= U+0074 U+0077 U+006F U+0020 U+0077 U+006F U+0072 "
                                          "U+0064 U+0073\n"
                                          "arg= U+0043 U+003A U+005C U+0078\n"
                                          "arg=\n"
                                          "arg= U+0063 U+0061 U+0066 U+00E9\n"
                                          "arg= U+65E5 U+672C\n"
                                          "arg= U+1F600\n"))
      << result.standard_error;
  EXPECT_EQ(result.exit_code, 0);
}

TEST_P(JvmRealTest, NoArgumentsGiveAnEmptyArray) {
  const ProcessResult result = Launch({}, {});
  EXPECT_EQ(result.standard_output, Lines("count=0\n")) << result.standard_error;
  EXPECT_EQ(result.exit_code, 0);
}

TEST_P(JvmRealTest, CmdArgumentsFollowTheCommandLine) {
  ProbeSettings settings;
  settings.cmd = "tail \"two words\"";
  const ProcessResult result = Launch(settings, {"args", "first"});
  EXPECT_EQ(result.standard_output,
            Lines("count=4\n"
                  "arg= U+0061 U+0072 U+0067 U+0073\n"
                  "arg= U+0066 U+0069 U+0072 U+0073 U+0074\n"
                  "arg= U+0074 U+0061 U+0069 U+006C\n"
                  "arg= U+0074 U+0077 U+006F U+0020 U+0077 U+006F U+0072 U+0064 U+0073\n"))
      << result.standard_error;
}

TEST_P(JvmRealTest, SystemPropertyWithSpacesAndTheClassPathReachTheVm) {
  ProbeSettings settings;
  settings.vm_parameters = "-Dkorvan.greeting=\"hello big world\" -Dkorvan.other=x";
  const ProcessResult result =
      Launch(settings, {"property", "korvan.greeting", "korvan.other", "java.class.path"});
  EXPECT_EQ(result.standard_output, Lines("korvan.greeting=hello big world\nkorvan.other=x\n"
                                          "java.class.path=" + ClassPath() + "\n"))
      << result.standard_error;
}

TEST_P(JvmRealTest, RuntimeIsPublishedToTheApplication) {
  const ProcessResult result = Launch({}, {"env", "KORVAN_JVM_PATH", "KORVAN_JVM_HOME"});
  const std::string home = LauncherPath(GetParam());
  // A Windows runtime's client VM comes first when it has one.
  const bool client = fs::exists(fs::path(GetParam().home) / "bin/client/jvm.dll");
  const std::string library = !windows() ? "/lib/server/libjvm.so"
                              : client   ? "\\bin\\client\\jvm.dll"
                                         : "\\bin\\server\\jvm.dll";
  EXPECT_EQ(result.standard_output,
            Lines("KORVAN_JVM_PATH=" + home + library + "\nKORVAN_JVM_HOME=" + home + "\n"))
      << result.standard_error;
}

TEST_P(JvmRealTest, LibraryPathFindsTheApplicationsNativeLibrary) {
  ProbeSettings settings;
  settings.library_path = NativeDir() + (windows() ? ";" : ":");
  const ProcessResult result = Launch(settings, {"native", "korvanprobe"});
  EXPECT_EQ(result.standard_output, Lines("native=hello from native\n")) << result.standard_error;
  EXPECT_EQ(result.exit_code, 0);
}

TEST_P(JvmRealTest, PercentageHeapSizeIsAShareOfPhysicalMemory) {
  ProbeSettings settings;
  settings.vm_parameters = "-Xmx10P -XX:+UseSerialGC";
  const ProcessResult result = Launch(settings, {"max-memory"});
  // Wine reports the machine's physical memory to Windows programs.
  const double physical = static_cast<double>(sysconf(_SC_PHYS_PAGES)) * sysconf(_SC_PAGESIZE);
  ASSERT_TRUE(Contains(result.standard_output, "max-memory=")) << result.standard_error;
  const double max_memory = std::stod(result.standard_output.substr(11));
  // The serial collector reports the heap less one survivor space.
  EXPECT_GT(max_memory, physical * 0.10 * 0.85);
  EXPECT_LE(max_memory, physical * 0.10);
}

TEST_P(JvmRealTest, ThreadStackSizeFollowsXss) {
  ProbeSettings settings;
  settings.vm_parameters = "-Xss256m";
  const ProcessResult deep = Launch(settings, {"recurse", "300000"});
  EXPECT_EQ(deep.standard_output, Lines("depth=300000\n")) << deep.standard_error.substr(0, 300);
  EXPECT_EQ(deep.exit_code, 0);

  // The same depth overflows the VM's default stack, so the size above was the launcher's doing.
  const ProcessResult shallow = Launch({}, {"recurse", "300000"});
  EXPECT_TRUE(Contains(shallow.standard_error, "java.lang.StackOverflowError"))
      << shallow.standard_error.substr(0, 300);
  EXPECT_EQ(shallow.exit_code, 255);
}

TEST_P(JvmRealTest, OutputAndErrorGoToTheirFiles) {
  ProbeSettings settings;
  settings.output_file = Path("out \u65E5\u672C.txt");
  settings.error_file = Path("logs.txt");
  folder_.WriteFile("out \u65E5\u672C.txt", "old content that must go\n");
  const ProcessResult result = Launch(settings, {"print", "to out", "to err"});
  EXPECT_EQ(result.standard_output, "");
  EXPECT_EQ(result.standard_error, "");
  EXPECT_EQ(ReadText(folder_.folder() / "out \u65E5\u672C.txt"), Lines("to out\n"));
  EXPECT_EQ(ReadText(folder_.folder() / "logs.txt"), Lines("to err\n"));
  EXPECT_EQ(result.exit_code, 0);
}

TEST_P(JvmRealTest, OutputFileInAMissingFolderIsDescribedAndTheRunGoesOn) {
  ProbeSettings settings;
  settings.output_file = Path("missing/out.txt");
  const ProcessResult result = Launch(settings, {"print", "to out", "to err"});
  EXPECT_TRUE(Contains(result.standard_error,
                       "java.io.FileNotFoundException: " + Path("missing/out.txt")))
      << result.standard_error;
  EXPECT_EQ(result.standard_output, Lines("to out\n"));
  EXPECT_TRUE(Contains(result.standard_error, Lines("to err\n")));
  EXPECT_EQ(result.exit_code, 0);
}

TEST_P(JvmRealTest, SystemExitSetsTheExitCode) {
  const ProcessResult result = Launch({}, {"exit", "3"});
  EXPECT_EQ(result.exit_code, 3) << result.standard_output << result.standard_error;
  EXPECT_EQ(result.standard_output, "");
}

TEST_P(JvmRealTest, NonDaemonThreadOutlivesMain) {
  const ProcessResult result = Launch({}, {"thread", "1500"});
  EXPECT_EQ(result.standard_output, Lines("main done\nlate thread done\n")) << result.standard_error;
  EXPECT_EQ(result.exit_code, 0);
}

TEST_P(JvmRealTest, UncaughtExceptionInMainFailsTheRun) {
  const ProcessResult result = Launch({}, {"throw", "broken on purpose"});
  // The VM's prefix goes through its C run time, which may hold it back
  // (Wine's does) while the trace itself reaches the stream at once.
  EXPECT_TRUE(Contains(result.standard_error, "Exception in thread \"main\" ")) << result.standard_error;
  EXPECT_TRUE(Contains(result.standard_error,
                       Lines("java.lang.IllegalStateException: broken on purpose\n"
                             "\tat korvan.probe.Probe.main(")))
      << result.standard_error;
  EXPECT_EQ(result.standard_output, "");
  EXPECT_EQ(result.exit_code, 255);
}

TEST_P(JvmRealTest, MainJarRunsAsJavaJarRunsIt) {
  ProbeSettings settings;
  settings.main_class = "";
  settings.main_jar = TestFile(kMainJar);
  settings.class_path = false;
  const ProcessResult result = Launch(settings, {"manifest", "x"});
  const int line = GetParam().line;
  // What java -jar gives on each line: 11 opens every package to old code,
  // 21 asks about native access but takes no manifest attribute for it.
  const std::string java_io_open = line < 17 ? "true" : "false";
  const std::string native_access = line < 21 ? "not asked" : line < 22 ? "false" : "true";
  EXPECT_EQ(result.standard_output,
            Lines("agent=ran before main\n"
                  "java.lang open=true, java.io open=" + java_io_open + "\n"
                  "jdk.internal.misc exported=true\n"
                  "native access=" + native_access + "\n"
                  "Class-Path gave extra.jar\n"
                  "java.class.path=" + TestFile(kMainJar) + "\n"
                  "sun.java.command=" + TestFile(kMainJar) + " manifest x\n"))
      << result.standard_error;
  EXPECT_EQ(result.exit_code, 0);
}

// The splash screen as java shows it: from the main jar's manifest, the first
// jar of the class path's, or -splash: (a missing image shows none); the VM
// finds it, and the application's first window closes it. On 21 and later.
class JvmSplashTest : public JvmRealTest {};

TEST_P(JvmSplashTest, SplashScreenIsShownBeforeTheVmStarts) {
  if (!windows() && std::getenv("DISPLAY") == nullptr) {
    GTEST_SKIP() << "a splash screen needs a display: DISPLAY is not set";
  }
  const auto url = [&](const std::string& file) {
    std::string path = TestFile(file);
    std::replace(path.begin(), path.end(), '\\', '/');
    return windows() ? "file:/" + path : "file:" + path;
  };
  const std::string splash_file = std::string(KORVAN_JAVA_TESTS_DIR) + "/splash.png";
  const std::string in_jar = Lines("splash=jar:" + url(kMainJar) + "!/splash.png\n");
  ProbeSettings main_jar, first_class_path_jar, option, missing;
  main_jar.main_class = "";
  main_jar.main_jar = TestFile(kMainJar);
  main_jar.class_path = first_class_path_jar.class_path = false;
  first_class_path_jar.extra_class_path = TestFile(kMainJar);
  option = main_jar;  // the option wins over the manifest
  option.vm_parameters = "-splash:%KORVAN_TEST_SPLASH%";
  missing.vm_parameters = "-splash:" + Path("missing.png");
  ProcessOptions options;
  options.environment["KORVAN_TEST_SPLASH"] = TestFile(splash_file);
  // Only the first run opens a window, which must close the splash.
  for (const auto& [settings, action, expected] :
       {std::tuple{main_jar, "window", in_jar + Lines("after a window=null\n")},
        std::tuple{first_class_path_jar, "", in_jar},
        std::tuple{option, "", Lines("splash=" + url(splash_file) + "\n")},
        std::tuple{missing, "", Lines("splash=none\n")}}) {
    const ProcessResult result = Launch(settings, {"splash", action}, options);
    EXPECT_EQ(result.standard_output, expected) << settings.vm_parameters << result.standard_error;
    EXPECT_EQ(result.exit_code, 0);
  }
}

INSTANTIATE_TEST_SUITE_P(Runtimes, JvmSplashTest,
                         testing::Values(RealRuntimesOf(TargetKind::Linux, 21).front(),
                                         NewestRuntime(TargetKind::Linux),
                                         RealRuntimesOf(TargetKind::Windows, 21).front(),
                                         NewestRuntime(TargetKind::Windows)),
                         RuntimeName);

// The java command's own displays, made by the runtime's code; -version runs no main.
TEST_P(JvmRealTest, JavaCommandVersionOptionsShowTheRuntimesVersion) {
  ProbeSettings settings;
  settings.vm_parameters = "-showversion";
  const ProcessResult shown = Launch(settings, {"args"});
  EXPECT_TRUE(Contains(shown.standard_error, " version \"" + std::to_string(GetParam().line)))
      << shown.standard_error;
  EXPECT_EQ(shown.standard_output, Lines("count=1\narg= U+0061 U+0072 U+0067 U+0073\n"));

  settings.vm_parameters = "--version";
  const ProcessResult version_only = Launch(settings, {"args"});
  EXPECT_TRUE(Contains(version_only.standard_output, " " + std::to_string(GetParam().line)))
      << version_only.standard_output;
  EXPECT_FALSE(Contains(version_only.standard_output, "count=")) << version_only.standard_output;
  EXPECT_EQ(version_only.exit_code, 0);
}

struct FailureCase {
  std::string name;
  std::string main_class;
  std::string vm_parameters;     // "@" is followed by a missing file of the test's folder
  std::string error_lines;       // the launcher's, among the VM's lines
  std::string vm_says;           // a part of what the VM itself writes (either stream)
  int minimum_line = 0;          // runtimes before it accept the options
  std::string entry;             // "jar=" a jar of the test's folder or of the tests, "module=" a module
  int maximum_line = 99;         // runtimes after it run the class
};

const std::string kNoMainMethod = "Error: No main method found in specified class.\n \n";

const std::vector<FailureCase> kFailureCases = {
    {"MissingClass", "korvan.probe.Missing", "",
     "Error: Could not find the main class korvan/probe/Missing.\n \n",
     "java.lang.NoClassDefFoundError: korvan/probe/Missing"},
    {"NoMainMethod", "korvan.probe.NoMain", "", kNoMainMethod, ""},
    {"MainReturningInt", "korvan.probe.IntMain", "", kNoMainMethod, ""},
    {"ClassForANewerJava", "korvan.mains.NewerJava", "",
     "Error: The main class korvan/mains/NewerJava needs a newer Java than this runtime: ",
     "(class file version 69.0)", 0, "", 24},
    {"SuperclassMissing", "korvan.mains.MissingSuperclass", "",
     "Error: LinkageError occurred while loading the main class korvan/mains/MissingSuperclass: "
     "java.lang.NoClassDefFoundError: korvan/mains/RemovedBase.\n \n",
     "java.lang.ClassNotFoundException: korvan.mains.RemovedBase"},
    // Options the java command takes that do not name the VM.
    {"UnreadableArgumentFile", "korvan.probe.Probe", "@",
     "Error: JNI exception: failed to create the Java VM\nReason: unknown.\n \n",
     "Unrecognized option: @"},
    {"UnrecognizedOption", "korvan.probe.Probe", "-Xfoo",
     "Error: JNI exception: failed to create the Java VM\nReason: unknown.\n \n",
     "Unrecognized option: -Xfoo"},
    {"UnknownVmFlag", "korvan.probe.Probe", "-XX:+KorvanNoSuchFlag",
     "Error: JNI exception: failed to create the Java VM\nReason: invalid arguments.\n \n",
     "Unrecognized VM option 'KorvanNoSuchFlag'"},
    // The VM refuses so small a stack; the thread that creates it must
    // still have room enough to say so.
    {"TooSmallStack", "korvan.probe.Probe", "-Xss16k",
     "Error: JNI exception: failed to create the Java VM\nReason: unknown.\n \n",
     "The Java thread stack size specified is too small. Specify at least ", 17},
    // A main jar or module that names no main class, options only java's launcher takes.
    {"MainJarMissing", "", "", "Error: Unable to access the main jar ", "", 0, "jar=missing.jar"},
    {"MainJarNamesNoMainClass", "", "", "Error: No main manifest attribute, in ", "", 0,
     "jar=extra.jar"},
    {"NativeAccessForANamedModule", "", "",
     "Error: Illegal value korvan.probe for the Enable-Native-Access attribute of ", "", 22,
     "jar=bad-native-access.jar"},
    {"MainModuleNamesNoMainClass", "", "",
     "Error: Module java.base does not name a main class: set the Main Module setting to "
     "java.base/ followed by the class name. \n", "", 0, "module=java.base"},
    {"JarOption", "korvan.probe.Probe", "-jar app.jar",
     "Error: -jar is an option of the java command: use the Main Jar setting instead of "
     "Virtual Machine Parameters. \n", ""},
    {"DryRunOption", "korvan.probe.Probe", "--dry-run",
     "Error: --dry-run is an option of the java command that a launched application cannot use "
     "in Virtual Machine Parameters. \n", ""},
};

class JvmRealFailureTest : public JvmRealTest {};

TEST_P(JvmRealFailureTest, ReportsAndExitsWithMinusOne) {
  for (const FailureCase& failure : kFailureCases) {
    if (GetParam().line < failure.minimum_line || GetParam().line > failure.maximum_line) continue;
    SCOPED_TRACE(failure.name);
    ProbeSettings settings;
    settings.main_class = failure.main_class;
    settings.vm_parameters =
        failure.vm_parameters == "@" ? "@" + Path("missing.args") : failure.vm_parameters;
    if (failure.entry == "jar=extra.jar" || failure.entry == "jar=bad-native-access.jar") {
      settings.main_jar = TestFile(std::string(KORVAN_JAVA_TESTS_DIR) + "/" + failure.entry.substr(4));
    } else if (failure.entry.rfind("jar=", 0) == 0) {
      settings.main_jar = Path(failure.entry.substr(4));
    } else if (failure.entry.rfind("module=", 0) == 0) {
      settings.main_module = failure.entry.substr(7);
    }
    const ProcessResult result = Launch(settings, {"args"});
    EXPECT_TRUE(Contains(folder_.ErrorOutput(result), Lines(failure.error_lines)))
        << result.standard_output << result.standard_error;
    EXPECT_TRUE(Contains(result.standard_output + result.standard_error, failure.vm_says))
        << result.standard_output << result.standard_error;
    EXPECT_FALSE(Contains(result.standard_output, "count=")) << result.standard_output;
    EXPECT_EQ(result.exit_code, 255);
  }
}

INSTANTIATE_TEST_SUITE_P(Runtimes, JvmRealFailureTest, testing::ValuesIn(RealRuntimes()),
                         RuntimeName);

// The entry points of Java 25's launch protocol (and Java 21's with preview features), and
// what runtimes without it make of them: standard output, or the error line ("Error: ...").
struct MainFormCase {
  std::string name;
  std::string main_class;
  std::string vm_parameters;
  std::string java25;
  std::string java21_preview;  // with "--enable-preview" among the VM parameters
  std::string older = kNoMainMethod;
};

const std::vector<MainFormCase> kMainFormCases = {
    {"StaticWithoutArguments", "korvan.mains.StaticNoArguments", "", "static main()\n", ""},
    {"InstanceWithArguments", "korvan.mains.InstanceWithArguments", "",
     "instance main(String[]) a b\n", ""},
    {"CompactSourceFile", "korvan.mains.Compact", "--enable-preview", "instance main()\n",
     "instance main()\n"},
    {"ArgumentsBeforeStatic", "korvan.mains.StaticAndInstance", "--enable-preview",
     "instance main(String[])\n", "static main()\n"},
    {"InheritedInstanceMain", "korvan.mains.InheritedMain", "", "instance main() of InheritedMain\n",
     ""},
    {"PrivateMainIsNoMain", "korvan.mains.PrivateStatic", "", "instance main()\n", "",
     "private static main(String[])\n"},
    {"NoConstructorToCall", "korvan.mains.PrivateConstructor", "",
     "Error: The main class korvan/mains/PrivateConstructor has an instance main method but no "
     "constructor without parameters that is not private.\n \n", ""},
    {"AbstractClass", "korvan.mains.AbstractMain", "",
     "Error: The main class korvan/mains/AbstractMain has an instance main method but is abstract, "
     "so it cannot be instantiated.\n \n", ""},
};

class JvmMainFormTest : public JvmRealTest {};

TEST_P(JvmMainFormTest, EntryPointIsChosenAsTheRuntimesLauncherWould) {
  const int line = GetParam().line;
  for (const MainFormCase& form : kMainFormCases) {
    SCOPED_TRACE(form.name);
    const bool preview = Contains(form.vm_parameters, "--enable-preview");
    const std::string& expected = line >= 25               ? form.java25
                                  : line >= 21 && preview ? form.java21_preview
                                                          : form.older;
    ProbeSettings settings;
    settings.main_class = form.main_class;
    settings.vm_parameters = form.vm_parameters;
    const ProcessResult result = Launch(settings, {"a", "b"});
    if (expected.rfind("Error: ", 0) == 0) {
      EXPECT_EQ(folder_.ErrorOutput(result), Lines(expected)) << result.standard_error;
      EXPECT_EQ(result.exit_code, 255);
    } else {
      EXPECT_EQ(result.standard_output, Lines(expected)) << result.standard_error;
      EXPECT_EQ(result.exit_code, 0);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Runtimes, JvmMainFormTest, testing::ValuesIn(RealRuntimes()), RuntimeName);

// A JavaFX application class without a main, with JavaFX on the class path or the module path.
class JvmJavaFxTest : public JvmRealTest {};

TEST_P(JvmJavaFxTest, ApplicationWithoutMainStarts) {
  const fs::path jars =
      fs::path(KORVAN_SOURCE_DIR) / "build" / "javafx" / (windows() ? "windows" : "linux");
  if (!fs::exists(jars / "javafx-graphics.jar")) {
    GTEST_SKIP() << "no JavaFX in " << jars << ": scripts/fetch-javafx fetches it";
  }
  if (!windows() && std::getenv("DISPLAY") == nullptr) {
    GTEST_SKIP() << "JavaFX needs a display: DISPLAY is not set";
  }
  const auto path = [&](const fs::path& file) { return windows() ? WinePath(file) : file.string(); };
  const std::string separator = windows() ? ";" : ":";
  ProbeSettings on_class_path{"korvan.fx.FxProbe"}, on_module_path{"korvan.fx.FxProbe"};
  on_class_path.extra_class_path = separator + path(jars / "javafx-base.jar") + separator +
                                   path(jars / "javafx-graphics.jar");
  on_module_path.vm_parameters = "--module-path \"" + path(jars) + "\" --add-modules javafx.graphics";
  for (const ProbeSettings& settings : {on_class_path, on_module_path}) {
    const ProcessResult result = Launch(settings, {"a", "b"});
    EXPECT_EQ(result.standard_output, Lines("fx start a b\n")) << result.standard_error;
    EXPECT_EQ(result.exit_code, 0);
  }
}

INSTANTIATE_TEST_SUITE_P(Runtimes, JvmJavaFxTest,
                         testing::Values(RealRuntimesOf(TargetKind::Linux, 21).front(),
                                         NewestRuntime(TargetKind::Linux),
                                         NewestRuntime(TargetKind::Windows)),
                         RuntimeName);

// Where the Windows launcher finds a real runtime: named by "JRE Path", or
// bundled beside it in "jre64" (as applications ship it). The registered one
// is in the runtime search tests, which change the registry alone.
class JvmRealRuntimePlaceTest : public JvmRealTest {};

TEST_P(JvmRealRuntimePlaceTest, BundledRuntimeBesideTheLauncher) {
  fs::create_directory_symlink(GetParam().home, folder_.folder() / "jre64");
  folder_.WriteSettings(SettingsText({}, ""));
  const ProcessResult result = Run({"env", "KORVAN_JVM_HOME"});
  EXPECT_EQ(result.standard_output, Lines("KORVAN_JVM_HOME=" + Path("jre64") + "\n"))
      << result.standard_error;
  EXPECT_EQ(result.exit_code, 0);
}

// A Windows machine without the Visual C++ redistributable: the Wine session
// removed the prefix's placeholders, and the runtime libraries that jvm.dll
// imports are native-only, so they load from the runtime's bin folder or not
// at all. (ucrtbase is part of Windows itself, and Wine's own DLLs need it.)
INSTANTIATE_TEST_SUITE_P(Runtimes, JvmRealRuntimePlaceTest,
                         testing::Values(NewestRuntime(TargetKind::Linux),
                                         NewestRuntime(TargetKind::Windows)),
                         RuntimeName);

class JvmWindowsDllTest : public JvmRealTest {};

// A library named as one that jvm.dll imports, put beside the launcher, in the
// current folder or on Path, where the default search would take it before the
// runtime's own. The stand-in writes a marker when loaded, and fails to load.
TEST_P(JvmWindowsDllTest, JvmDllTakesItsRuntimeLibrariesFromTheRuntimeAlone) {
  for (const std::string place : {"", "current", "on-path"}) {
    SCOPED_TRACE(place.empty() ? "beside the launcher" : place);
    const fs::path folder = folder_.folder() / place;
    fs::create_directories(folder);
    fs::copy_file(fs::path(KORVAN_WINDOWS_BUILD_DIR) / "fixtures/planted/vcruntime140_1.dll",
                  folder / "vcruntime140_1.dll");
    ProcessOptions options;
    // Native-only, as on a Windows without the Visual C++ redistributable
    // (the Wine session removed the placeholders): the app runs only with
    // the runtime's own copies.
    options.environment["WINEDLLOVERRIDES"] = "mscoree,mshtml=;vcruntime140,vcruntime140_1,msvcp140=n";
    if (place == "current") options.working_directory = folder.string();
    if (place == "on-path") options.environment["WINEPATH"] = WinePath(folder);
    const ProcessResult result = Launch({}, {"args", "x"}, options);
    EXPECT_EQ(result.standard_output, Lines("count=2\narg= U+0061 U+0072 U+0067 U+0073\narg= U+0078\n"))
        << result.standard_error;
    EXPECT_FALSE(fs::exists(folder / "loaded.marker"));
    fs::remove(folder / "vcruntime140_1.dll");
  }
}

// A JNI library still finds what it imports on Path and beside the launcher.
// (Windows no longer looks in the current folder; Wine's loader ignores the
// empty DLL folder that says so, so that case cannot be shown here.)
TEST_P(JvmWindowsDllTest, JniLibraryFindsItsOwnDependency) {
  const fs::path native = fs::path(KORVAN_WINDOWS_BUILD_DIR) / "fixtures/native-dependent";
  ProbeSettings settings;
  settings.library_path = WinePath(native) + ";";
  for (const bool on_path : {true, false}) {
    ProcessOptions options;
    if (on_path) options.environment["WINEPATH"] = WinePath(native / "greeting");
    if (!on_path) fs::copy_file(native / "greeting/korvangreeting.dll", folder_.folder() / "korvangreeting.dll");
    const ProcessResult result = Launch(settings, {"native", "korvanprobedep"}, options);
    EXPECT_EQ(result.standard_output, Lines("native=hello from a dependency\n"))
        << on_path << result.standard_error;
  }
}

INSTANTIATE_TEST_SUITE_P(Runtimes, JvmWindowsDllTest,
                         testing::ValuesIn(RealRuntimesOf(TargetKind::Windows)), RuntimeName);

// A named module as java -m runs it: its descriptor or the setting names the class.
class JvmLinuxModuleTest : public JvmRealTest {};

TEST_P(JvmLinuxModuleTest, MainModuleRunsAsJavaMRunsIt) {
  const std::string module_path = std::string(KORVAN_JAVA_TESTS_DIR) + "/mods";
  for (const std::string& main_module : {"korvan.mod", "korvan.mod/korvan.mod.ModMain"}) {
    SCOPED_TRACE(main_module);
    ProbeSettings settings;
    settings.main_class = "";
    settings.main_module = main_module;
    settings.class_path = false;
    settings.vm_parameters = (main_module == "korvan.mod" ? "-p " : "--module-path ") + module_path;
    const ProcessResult result = Launch(settings, {"a"});
    EXPECT_EQ(result.standard_output, "module=korvan.mod\njdk.module.main=korvan.mod\n"
                                      "jdk.module.main.class=korvan.mod.ModMain\n"
                                      "java.class.path=\nsun.java.command=" + main_module + " a\n")
        << result.standard_error;
    EXPECT_EQ(result.exit_code, 0);
  }
}

INSTANTIATE_TEST_SUITE_P(Runtimes, JvmLinuxModuleTest,
                         testing::ValuesIn(RealRuntimesOf(TargetKind::Linux)), RuntimeName);

// Linux only: on Windows the captured trace goes to the "Java Exception" dialog.
class JvmLinuxTest : public JvmRealTest {};

TEST_P(JvmLinuxTest, FailureCheckCapturesTheStackTrace) {
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

TEST_P(JvmLinuxTest, LibraryThatDoesNotLoadIsReported) {
  // A runtime folder whose JVM library is no library at all.
  folder_.WriteFile("runtime/lib/libjava.so", "");
  folder_.WriteFile("runtime/lib/server/libjvm.so", "not a library");
  folder_.WriteSettings(SettingsText({}, Path("runtime")));
  const std::string library = Path("runtime/lib/server/libjvm.so");
  const ProcessResult result = Run({"args"});
  EXPECT_EQ(folder_.ErrorOutput(result),
            "Error: Failed to load Java VM library: " + library + ".\n \n");
  EXPECT_TRUE(Contains(result.standard_error, library)) << result.standard_error;
  EXPECT_EQ(result.exit_code, 255);
}

TEST_P(JvmLinuxTest, LibraryWithoutTheInvocationFunctionsIsReported) {
  folder_.WriteFile("runtime/lib/libjava.so", "");
  fs::create_directories(folder_.folder() / "runtime/lib/server");
  fs::copy_file(kLinuxNativeDir / "libkorvanprobe.so",
                folder_.folder() / "runtime/lib/server/libjvm.so");
  folder_.WriteSettings(SettingsText({}, Path("runtime")));
  const ProcessResult result = Run({"args"});
  EXPECT_EQ(folder_.ErrorOutput(result),
            "Error: System error: cannot find CreateJavaVM JNI.\n \n");
  EXPECT_EQ(result.exit_code, 255);
}

INSTANTIATE_TEST_SUITE_P(Runtimes, JvmLinuxTest,
                         testing::Values(RealRuntimesOf(TargetKind::Linux, 17).front()),
                         RuntimeName);

}  // namespace
}  // namespace korvan::e2e
