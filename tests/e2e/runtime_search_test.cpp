// The runtime search of both launchers against runtime trees made of empty
// files: on Windows the runtimes are registered in the registry of the test's
// Wine prefix, on Linux they are folders below a runtime root named by
// KORVAN_JVM_ROOT. The decision shows in the trace; a failed search in the
// error line and the exit code.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <string>
#include <vector>

#include "support/dialog_driver.h"
#include "support/launch_folder.h"

namespace korvan::e2e {
namespace {

namespace fs = std::filesystem;

enum class Family { SunJdk, SunJre, JrockitJre, JrockitJdk };

struct Runtime {
  Family family;
  std::string version;  // registry subkey, or JAVA_VERSION of the release file
  std::string folder;   // below the runtime root
  std::vector<std::string> vms;  // "client", "server", "jrockit", ...
};

bool IsJdk(Family family) { return family == Family::SunJdk || family == Family::JrockitJdk; }
bool IsSun(Family family) { return family == Family::SunJdk || family == Family::SunJre; }

const char* RegistryKey(Family family) {
  switch (family) {
    case Family::SunJdk: return "Software\\JavaSoft\\Java Development Kit";
    case Family::SunJre: return "Software\\JavaSoft\\Java Runtime Environment";
    case Family::JrockitJre: return "Software\\JRockit\\Java Runtime Environment";
    case Family::JrockitJdk: return "Software\\JRockit\\Java Development Kit";
  }
  return "";
}

std::string Utf16Le(const std::string& ascii) {
  std::string bytes = "\xFF\xFE";
  for (char c : ascii) {
    bytes += c;
    bytes += '\0';
  }
  return bytes;
}

std::string RegString(const std::string& text) {
  std::string escaped;
  for (char c : text) {
    if (c == '\\' || c == '"') escaped += '\\';
    escaped += c;
  }
  return "\"" + escaped + "\"";
}

// Runtime folders of one target below a launch folder, and their registration.
class RuntimeTree {
 public:
  explicit RuntimeTree(const LaunchFolder& folder) : folder_(folder) {}

  bool windows() const { return folder_.windows(); }
  std::string Root() const { return folder_.NativePath("jvm"); }
  // A folder below the launch folder as the launcher sees it, with its final separator.
  std::string Path(const std::string& relative) const { return folder_.NativePath(relative); }
  std::string Folder(const std::string& relative) const {
    return folder_.NativePath(relative) + (windows() ? "\\" : "/");
  }

  // The JVM library of a VM below a runtime folder (relative to the launch folder).
  std::string LibraryPath(const std::string& runtime_folder, const std::string& vm) const {
    return windows() ? runtime_folder + "/bin/" + vm + "/jvm.dll"
                     : runtime_folder + "/lib/" + vm + "/libjvm.so";
  }
  std::string Library(const std::string& runtime_folder, const std::string& vm) const {
    return folder_.NativePath(LibraryPath(runtime_folder, vm));
  }

  // A plain runtime folder: its JVM libraries and, when asked, the marker file.
  void Plain(const std::string& runtime_folder, const std::vector<std::string>& vms,
             bool marker) const {
    for (const std::string& vm : vms) folder_.WriteFile(LibraryPath(runtime_folder, vm), "");
    if (marker) {
      folder_.WriteFile(runtime_folder + (windows() ? "/bin/java.dll" : "/lib/libjava.so"), "");
    }
  }

  // Where a registered runtime keeps its VMs: a JDK in its "jre" folder
  // (on Linux in the JDK 8 layout, which has one).
  std::string RuntimeFolderOf(const Runtime& r) const {
    const std::string home = "jvm/" + r.folder;
    if (!IsJdk(r.family)) return home;
    return windows() ? home + "/jre" : home + "/jre/lib/amd64";
  }
  std::string LibraryOf(const Runtime& r, const std::string& vm) const {
    return folder_.NativePath(LibraryPathOf(r, vm));
  }
  std::string LibraryPathOf(const Runtime& r, const std::string& vm) const {
    if (!windows() && IsJdk(r.family)) return RuntimeFolderOf(r) + "/" + vm + "/libjvm.so";
    return LibraryPath(RuntimeFolderOf(r), vm);
  }

  // The name under which the trace shows a registration.
  std::string Name(const Runtime& r) const {
    return windows() ? r.version : folder_.NativePath("jvm/" + r.folder);
  }
  std::string Location(Family family) const {
    if (windows()) return std::string("HKEY_LOCAL_MACHINE\\") + RegistryKey(family);
    return Root() + (IsSun(family) ? " (" : " (JRockit ") + (IsJdk(family) ? "JDK)" : "JRE)");
  }

  // Lays the runtimes out and registers them, replacing every earlier
  // registration. JRockit runtimes exist only on Windows.
  void Install(const std::vector<Runtime>& runtimes, const std::string& extra_registry = "") const {
    std::string reg = "Windows Registry Editor Version 5.00\r\n\r\n";
    for (Family family : {Family::SunJdk, Family::SunJre, Family::JrockitJre, Family::JrockitJdk}) {
      reg += std::string("[-HKEY_LOCAL_MACHINE\\") + RegistryKey(family) + "]\r\n";
    }
    fs::create_directories(folder_.folder() / "jvm");
    for (const Runtime& r : runtimes) {
      if (!windows() && !IsSun(r.family)) continue;
      const std::string home = "jvm/" + r.folder;
      for (const std::string& vm : r.vms) folder_.WriteFile(LibraryPathOf(r, vm), "");
      if (!windows()) {
        folder_.WriteFile(home + "/release", "JAVA_VERSION=\"" + r.version + "\"\n");
        if (IsJdk(r.family)) folder_.WriteFile(home + "/bin/javac", "");
      }
      reg += "\r\n[HKEY_LOCAL_MACHINE\\" + std::string(RegistryKey(r.family)) + "\\" + r.version +
             "]\r\n\"JavaHome\"=" + RegString(folder_.NativePath(home)) + "\r\n";
    }
    reg += extra_registry;
    if (windows()) ImportRegistry(reg);
  }

  void ClearRegistry() const {
    if (windows()) Install({});
  }

  ProcessResult Run() const {
    ProcessOptions options;
    options.environment["KORVAN_TRACE"] = "1";
    options.cancel_missing_runtime_dialog = false;  // the test reads the dialog first
    if (!windows()) options.environment["KORVAN_JVM_ROOT"] = Root();
    return folder_.Run({}, options);
  }

 private:
  void ImportRegistry(const std::string& text) const {
    const fs::path file = folder_.folder() / "runtimes.reg";
    std::ofstream(file, std::ios::binary) << Utf16Le(text);
    const ProcessResult result = RunUnderWine({"reg", "import", WinePath(file)});
    ASSERT_EQ(result.exit_code, 0) << result.standard_output << result.standard_error;
  }

  const LaunchFolder& folder_;
};

const char* kMissingRuntime =
    "Error: The Java Runtime Environment (JRE) was not found. Please  download and install a JRE "
    "(%s) from: https://adoptium.net/ \n";
const char* kMissingServerRuntime =
    "Error: The Java Runtime Environment (JRE) was not found. Please  download and install a JRE "
    "with a server JVM (%s) from: https://adoptium.net/ \n";

std::string Fill(const char* format, const std::string& value) {
  std::string text = format;
  text.replace(text.find("%s"), 2, value);
  return text;
}

std::string NoSetup(const RuntimeTree&) { return ""; }

struct Scenario {
  const char* name;
  std::string settings;  // lines of section "Java Runtime Environment"
  std::vector<Runtime> registered;
  // Lays out anything else, returning settings lines that need its paths.
  std::function<std::string(const RuntimeTree&)> prepare;
  // The JVM library the search must choose; empty when it must fail.
  std::function<std::string(const RuntimeTree&)> expected_library;
  std::string expected_error;  // the error line when the search fails
  std::function<std::vector<std::string>(const RuntimeTree&)> trace_has;
  std::function<std::vector<std::string>(const RuntimeTree&)> trace_lacks;
  bool windows_only = false;
  // Windows: raw .reg text added after the runtimes.
  std::function<std::string(const RuntimeTree&)> extra_registry = NoSetup;
};

const Runtime kJdk6{Family::SunJdk, "1.6.0_20", "jdk6", {"client"}};
const Runtime kJre7{Family::SunJre, "1.7.0", "jre7", {"client"}};

std::vector<std::string> Nothing(const RuntimeTree&) { return {}; }

// Registry data of a text in UTF-16LE, with or without its terminating NUL.
std::string Hex(const std::string& ascii, bool terminated) {
  std::string hex;
  for (char c : ascii) {
    char byte[8];
    std::snprintf(byte, sizeof(byte), "%02x,00,", static_cast<unsigned char>(c));
    hex += byte;
  }
  if (terminated) hex += "00,00,";
  hex.pop_back();
  return hex;
}

std::vector<Scenario> Scenarios() {
  return {
      {"DefaultSettingsPickTheNewestRegisteredRuntime", "", {kJdk6, kJre7}, NoSetup,
       [](const RuntimeTree& t) { return t.LibraryOf(kJre7, "client"); }, "",
       [](const RuntimeTree& t) {
         return std::vector<std::string>{"runtime: ranked: " + t.Name(kJre7) + ", " + t.Name(kJdk6),
                                         "runtime: not searched: " + t.Location(Family::JrockitJre)};
       },
       Nothing},
      {"PreferredVersionsPickAnOlderRuntime", "Preferred versions=1.6;1.7", {kJre7, kJdk6}, NoSetup,
       [](const RuntimeTree& t) { return t.LibraryOf(kJdk6, "client"); }, "", Nothing, Nothing},
      {"OnlyJreNeverOpensTheJdkKeys", "JVM Source=only_JRE",
       {{Family::SunJdk, "1.8.0", "jdk8", {"client"}}, kJre7}, NoSetup,
       [](const RuntimeTree& t) { return t.LibraryOf(kJre7, "client"); }, "",
       [](const RuntimeTree& t) {
         return std::vector<std::string>{"runtime: not searched: " + t.Location(Family::SunJdk)};
       },
       [](const RuntimeTree& t) {
         return std::vector<std::string>{"runtime: searching " + t.Location(Family::SunJdk)};
       }},
      {"JrockitInAnyCaseSearchesOnlyTheJrockitKeys", "VM Provider=JRockit",
       {kJre7, {Family::JrockitJre, "1.6.0", "jrockit6", {"jrockit"}}}, NoSetup,
       [](const RuntimeTree& t) {
         // Linux has no JRockit runtimes.
         return t.windows() ? t.LibraryOf({Family::JrockitJre, "1.6.0", "jrockit6", {}}, "jrockit")
                            : std::string();
       },
       Fill(kMissingRuntime, "latest version"),
       [](const RuntimeTree& t) {
         return std::vector<std::string>{"runtime: not searched: " + t.Location(Family::SunJdk),
                                         "runtime: not searched: " + t.Location(Family::SunJre)};
       },
       Nothing},
      {"JdkHomeIsItsJreFolder", "", {{Family::SunJdk, "1.6.0_20", "jdk6", {"server"}}},
       [](const RuntimeTree& t) {
         t.Plain("jvm/jdk6", {"client"}, true);  // the JDK's own folder is not a runtime
         return std::string();
       },
       [](const RuntimeTree& t) { return t.LibraryOf(kJdk6, "server"); }, "", Nothing, Nothing},
      {"FavorServerRanksAServerJdkAboveAClientAndServerJre", "JVM Type=favor_server",
       {{Family::SunJre, "1.7.0", "jre7", {"client", "server"}},
        {Family::SunJdk, "1.6.0_20", "jdk6", {"server"}}},
       NoSetup, [](const RuntimeTree& t) { return t.LibraryOf(kJdk6, "server"); }, "", Nothing,
       Nothing},
      {"Jre64WithoutMarkerFileIsIgnored", "", {kJre7},
       [](const RuntimeTree& t) {
         t.Plain("jre64", {"client", "server"}, false);
         return std::string();
       },
       [](const RuntimeTree& t) { return t.LibraryOf(kJre7, "client"); }, "", Nothing, Nothing},
      {"Jre64WithMarkerFileWinsWithoutRegistryAccess", "", {kJre7},
       [](const RuntimeTree& t) {
         t.Plain("jre64", {"server"}, true);
         return std::string();
       },
       [](const RuntimeTree& t) { return t.Library("jre64", "server"); }, "", Nothing,
       [](const RuntimeTree&) { return std::vector<std::string>{"runtime: searching"}; }},
      {"JrePathWinsEvenOutsideTheLimits", "Minimum Version=1.7", {kJre7},
       [](const RuntimeTree& t) {
         t.Plain("old", {"client"}, false);
         std::string folder = t.Folder("old");
         folder.pop_back();  // the launcher adds the separator
         return "JRE Path=" + folder;
       },
       [](const RuntimeTree& t) { return t.Library("old", "client"); }, "", Nothing,
       [](const RuntimeTree&) { return std::vector<std::string>{"runtime: searching"}; }},
      {"NoRuntimeAnywhere", "", {}, NoSetup, [](const RuntimeTree&) { return std::string(); },
       Fill(kMissingRuntime, "latest version"),
       [](const RuntimeTree&) { return std::vector<std::string>{"runtime: no runtime found"}; },
       Nothing},
      {"NoServerRuntimeWithinTheLimits", "JVM Type=server\nMinimum Version=1.6",
       {kJre7, {Family::SunJre, "1.5.0", "jre5", {"server"}}}, NoSetup,
       [](const RuntimeTree&) { return std::string(); },
       Fill(kMissingServerRuntime, "minimum version 1.6"),
       [](const RuntimeTree& t) {
         return std::vector<std::string>{
             "runtime: registered " + t.Name({Family::SunJre, "1.5.0", "jre5", {}}) +
                 " skipped: outside the version limits",
             "runtime: registered " + t.Name(kJre7) + " skipped: no JVM library in " +
                 t.Folder("jvm/jre7")};
       },
       Nothing},
      // Registry values that are not plain text, empty or longer than any path
      // are no JavaHome; a text stored without its terminating NUL is read as
      // far as it goes.
      {"UnusableJavaHomeValuesAreSkipped", "", {kJre7},
       [](const RuntimeTree& t) {
         t.Plain("jvm/jre8", {"client"}, false);
         t.Plain("jvm/jre9", {"client"}, false);
         t.Plain("jvm/jre95", {"client"}, false);
         return std::string();
       },
       [](const RuntimeTree& t) { return t.Library("jvm/jre95", "client"); }, "",
       [](const RuntimeTree&) {
         return std::vector<std::string>{"runtime: registered 1.8.0 skipped: no JavaHome",
                                         "runtime: registered 1.9.0 skipped: no JavaHome",
                                         "runtime: registered 1.9.1 skipped: no JavaHome",
                                         "runtime: registered 1.9.2 skipped: no JavaHome"};
       },
       Nothing, true,
       [](const RuntimeTree& t) {
         const std::string key =
             "\r\n[HKEY_LOCAL_MACHINE\\Software\\JavaSoft\\Java Runtime Environment\\";
         return key + "1.8.0]\r\n\"JavaHome\"=\"\"\r\n" +
                key + "1.9.0]\r\n\"JavaHome\"=hex(2):" + Hex(t.Path("jvm/jre9"), true) + "\r\n" +
                key + "1.9.1]\r\n\"JavaHome\"=dword:00000001\r\n" +
                key + "1.9.2]\r\n\"JavaHome\"=\"C:\\\\" + std::string(40000, 'a') + "\"\r\n" +
                key + "1.9.5]\r\n\"JavaHome\"=hex(1):" + Hex(t.Path("jvm/jre95"), false) + "\r\n";
       }},
  };
}

// The Java-runtime registrations are shared by every test of the Wine prefix,
// so all cases that need them run one after another in this one test.
class RuntimeSearchTest : public testing::TestWithParam<Target> {};

TEST_P(RuntimeSearchTest, ChoosesTheRuntimeTheSettingsAskFor) {
  LaunchFolder folder(GetParam());
  const RuntimeTree tree(folder);
  for (const Scenario& scenario : Scenarios()) {
    if (scenario.windows_only && !folder.windows()) continue;
    SCOPED_TRACE(scenario.name);
    fs::remove_all(folder.folder() / "jvm");
    fs::remove_all(folder.folder() / "jre64");
    fs::remove_all(folder.folder() / "old");
    const std::string more_settings = scenario.prepare(tree);
    folder.WriteSettings("[Java Runtime Environment]\nMain Class=Sample\n" + scenario.settings +
                         "\n" + more_settings + "\n");
    tree.Install(scenario.registered, scenario.extra_registry(tree));

    const std::string expected = scenario.expected_library(tree);
    // Windows asks for a runtime in the missing-runtime dialog, which tells
    // what the Linux launcher's error line tells; the user cancels it.
    std::future<ProcessResult> run = std::async(std::launch::async, [&tree] { return tree.Run(); });
    if (expected.empty() && folder.windows()) {
      const std::string dump = DriveDialog({"dump", "JRE Not Found"}).standard_output;
      EXPECT_EQ("Error: " + FindControl(dump, 203).text + " " + FindControl(dump, 205).text + " \n",
                scenario.expected_error) << dump;
      DriveDialog({"press", "JRE Not Found", "2"});
    }
    const ProcessResult result = run.get();
    ASSERT_FALSE(result.timed_out);
    if (expected.empty()) {
      EXPECT_EQ(result.standard_output, folder.windows() ? "" : folder.Lines(scenario.expected_error));
      EXPECT_EQ(result.exit_code, 255);
      EXPECT_EQ(result.standard_error.find("korvan: JVM library:"), std::string::npos)
          << result.standard_error;
    } else {
      EXPECT_NE(result.standard_error.find(folder.Lines("korvan: JVM library: " + expected + "\n")),
                std::string::npos)
          << "expected " << expected << "\n" << result.standard_error;
    }
    for (const std::string& line : scenario.trace_has(tree)) {
      EXPECT_NE(result.standard_error.find(folder.Lines("korvan: " + line + "\n")), std::string::npos)
          << line << "\n" << result.standard_error;
    }
    for (const std::string& text : scenario.trace_lacks(tree)) {
      EXPECT_EQ(result.standard_error.find(text), std::string::npos)
          << text << "\n" << result.standard_error;
    }
  }
  tree.ClearRegistry();
}

INSTANTIATE_TEST_SUITE_P(Targets, RuntimeSearchTest, testing::ValuesIn(AllTargets()), TargetName);

// Linux: the machine's own runtimes, as a fresh Debian 12 with openjdk-17 has them.
TEST(LinuxRuntimeSearch, FindsDebianOpenJdk17InUsrLibJvm) {
  LaunchFolder folder(Target{TargetKind::Linux, "Linux"});
  const std::string library = "/usr/lib/jvm/java-17-openjdk-amd64/lib/server/libjvm.so";
  ProcessOptions options;
  options.environment["KORVAN_TRACE"] = "1";
  options.unset.push_back("KORVAN_JVM_ROOT");

  folder.WriteSettings("[Java Runtime Environment]\nMain Class=Sample\n");
  ProcessResult result = folder.Run({}, options);
  EXPECT_NE(result.standard_error.find("korvan: runtime: registered /usr/lib/jvm/java-17-openjdk-amd64: candidate " +
                                       library + " (server)"),
            std::string::npos)
      << result.standard_error;

  folder.WriteSettings("[Java Runtime Environment]\nMain Class=Sample\nMaximum Version=17\n");
  result = folder.Run({}, options);
  EXPECT_NE(result.standard_error.find("korvan: JVM library: " + library + "\n"), std::string::npos)
      << result.standard_error;
}

}  // namespace
}  // namespace korvan::e2e
