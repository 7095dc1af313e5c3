// The runtime search of both launchers against runtime trees made of empty
// files: on Windows the runtimes are registered in the registry of the test's
// Wine prefix, on Linux they are folders below a runtime root named by
// KORVAN_JVM_ROOT. The decision shows in the trace; a failed search in the
// error line and the exit code.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <future>
#include <string>
#include <vector>

#include "support/dialog_driver.h"
#include "support/launch_folder.h"
#include "support/real_runtimes.h"
#include "support/text_checks.h"

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

// Where runtimes of JDK 9 and later register; cleared before each case.
const char* const kNewerRuntimeKeys[] = {
    "Software\\JavaSoft\\JDK",   "Software\\JavaSoft\\JRE",     "Software\\Eclipse Adoptium",
    "Software\\AdoptOpenJDK",     "Software\\Eclipse Foundation", "Software\\Microsoft\\JDK",
    "Software\\Semeru",           "Software\\Azul Systems",       "Software\\BellSoft"};

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

  void Write(const std::string& relative, const std::string& content) const {
    folder_.WriteFile(relative, content);
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
    for (const char* key : kNewerRuntimeKeys) reg += std::string("[-HKEY_LOCAL_MACHINE\\") + key + "]\r\n";
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

  ProcessResult Run(const std::map<std::string, std::string>& environment = {}) const {
    ProcessOptions options;
    options.environment = environment;
    if (environment.count("JAVA_HOME") == 0) options.unset.push_back("JAVA_HOME");
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
  // Variables for the launcher, given the tree; JAVA_HOME is unset unless named.
  std::function<std::map<std::string, std::string>(const RuntimeTree&)> environment = nullptr;
};

// A .reg line that registers `home` in `value` of `key` below HKEY_LOCAL_MACHINE\Software.
std::string Registration(const std::string& key, const std::string& value, const std::string& home) {
  return "\r\n[HKEY_LOCAL_MACHINE\\Software\\" + key + "]\r\n\"" + value + "\"=" + RegString(home) +
         "\r\n";
}

// A JDK 9+ folder: its libraries at the top, bin\javac.exe (bin/javac) and a release file.
void ModernJdk(const RuntimeTree& t, const std::string& folder, const std::string& version,
               const std::vector<std::string>& vms = {"server"}, bool jdk = true) {
  t.Plain(folder, vms, false);
  t.Write(folder + "/release", "JAVA_VERSION=\"" + version + "\"\n");
  if (jdk) t.Write(folder + (t.windows() ? "/bin/javac.exe" : "/bin/javac"), "");
}

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
      {"JdkUnderTheNewJavaSoftKeyHasNoJreFolder", "", {},
       [](const RuntimeTree& t) { ModernJdk(t, "jvm/jdk17", "17.0.2"); return std::string(); },
       [](const RuntimeTree& t) { return t.Library("jvm/jdk17", "server"); }, "",
       [](const RuntimeTree&) {
         return std::vector<std::string>{"runtime: searching HKEY_LOCAL_MACHINE\\Software\\JavaSoft\\JDK"};
       },
       Nothing, true,
       [](const RuntimeTree& t) { return Registration("JavaSoft\\JDK\\17.0.2", "JavaHome", t.Path("jvm/jdk17")); }},
      // Each vendor's key, value and subkey below the version; the newest wins.
      {"EveryVendorKeyIsRead", "", {kJre7},
       [](const RuntimeTree& t) {
         for (const char* f : {"tem11", "aoj11", "ef11", "ms11", "sem11", "zulu11", "jre10"}) {
           ModernJdk(t, std::string("jvm/") + f, "11");
         }
         ModernJdk(t, "jvm/temjre11", "11", {"server"}, false);
         ModernJdk(t, "jvm/lib11", "11", {"server"}, false);
         return std::string();
       },
       [](const RuntimeTree& t) { return t.Library("jvm/ms11", "server"); }, "",
       [](const RuntimeTree& t) {
         std::vector<std::string> lines;
         const std::pair<const char*, const char*> seen[] = {
             {"11.0.1.1", "tem11"}, {"11.0.2.1", "temjre11"}, {"11.0.3.1", "aoj11"},
             {"11.0.4.1", "ef11"},  {"11.0.9.1", "ms11"},     {"11.0.6.1", "sem11"},
             {"zulu-11", "zulu11"}, {"Liberica JRE 11", "lib11"}, {"10.0.2", "jre10"}};
         for (const auto& [name, folder] : seen) {
           lines.push_back(std::string("runtime: registered ") + name + ": candidate " +
                           t.Library(std::string("jvm/") + folder, "server") + " (server) (favoured)");
         }
         lines.push_back("runtime: searching HKEY_LOCAL_MACHINE\\Software\\Azul Systems\\Zulu (JDK)");
         return lines;
       },
       Nothing, true,
       [](const RuntimeTree& t) {
         return Registration("Eclipse Adoptium\\JDK\\11.0.1.1\\hotspot\\MSI", "Path", t.Path("jvm/tem11")) +
                Registration("Eclipse Adoptium\\JRE\\11.0.2.1\\hotspot\\MSI", "Path", t.Path("jvm/temjre11")) +
                Registration("AdoptOpenJDK\\JDK\\11.0.3.1\\hotspot\\MSI", "Path", t.Path("jvm/aoj11")) +
                Registration("Eclipse Foundation\\JDK\\11.0.4.1\\hotspot\\MSI", "Path", t.Path("jvm/ef11")) +
                Registration("Microsoft\\JDK\\11.0.9.1\\hotspot\\MSI", "Path", t.Path("jvm/ms11")) +
                Registration("Semeru\\JDK\\11.0.6.1\\openj9\\MSI", "Path", t.Path("jvm/sem11")) +
                Registration("Azul Systems\\Zulu\\zulu-11", "InstallationPath", t.Path("jvm/zulu11")) +
                Registration("BellSoft\\Liberica\\Liberica JRE 11", "InstallationPath", t.Path("jvm/lib11")) +
                Registration("JavaSoft\\JRE\\10.0.2", "JavaHome", t.Path("jvm/jre10"));
       }},
      {"RuntimeRegisteredTwiceCountsOnce", "", {},
       [](const RuntimeTree& t) { ModernJdk(t, "jvm/jdk17", "17.0.2"); return std::string(); },
       [](const RuntimeTree& t) { return t.Library("jvm/jdk17", "server"); }, "",
       [](const RuntimeTree& t) {
         return std::vector<std::string>{"runtime: registered 17.0.2.8 skipped: " + t.Folder("jvm/jdk17") +
                                             " is registered already",
                                         "runtime: ranked: 17.0.2"};
       },
       Nothing, true,
       [](const RuntimeTree& t) {
         return Registration("JavaSoft\\JDK\\17.0.2", "JavaHome", t.Path("jvm/jdk17")) +
                Registration("Eclipse Adoptium\\JDK\\17.0.2.8\\hotspot\\MSI", "Path", t.Path("jvm/jdk17") + "\\");
       }},
      {"X86JvmLibraryIsSkipped", "", {kJre7},
       [](const RuntimeTree& t) {
         ModernJdk(t, "jvm/jdk17x86", "17.0.2");
         const fs::path x86 = fs::path(KORVAN_WINDOWS_BUILD_DIR) / "fixtures/x86_jvm.dll";
         EXPECT_TRUE(fs::exists(x86)) << "the i686 mingw-w64 compiler builds it (scripts/install-deps)";
         std::ifstream in(x86, std::ios::binary);
         t.Write("jvm/jdk17x86/bin/server/jvm.dll", std::string(std::istreambuf_iterator<char>(in), {}));
         return std::string();
       },
       [](const RuntimeTree& t) { return t.LibraryOf(kJre7, "client"); }, "",
       [](const RuntimeTree& t) {
         return std::vector<std::string>{"runtime: registered 17.0.2 skipped: " +
                                         t.Library("jvm/jdk17x86", "server") +
                                         " is built for x86, which this launcher cannot load"};
       },
       Nothing, true,
       [](const RuntimeTree& t) { return Registration("JavaSoft\\JDK\\17.0.2", "JavaHome", t.Path("jvm/jdk17x86")); }},
      {"ExpandableJavaHomeIsExpanded", "", {},
       [](const RuntimeTree& t) { ModernJdk(t, "jvm/jdk17", "17.0.2"); return std::string(); },
       [](const RuntimeTree& t) { return t.Library("jvm/jdk17", "server"); }, "", Nothing, Nothing, true,
       [](const RuntimeTree&) {
         return std::string("\r\n[HKEY_LOCAL_MACHINE\\Software\\JavaSoft\\JDK\\17.0.2]\r\n\"JavaHome\"=hex(2):") +
                Hex("%KORVAN_TEST_RUNTIMES%\\jdk17", true) + "\r\n";
       },
       [](const RuntimeTree& t) {
         return std::map<std::string, std::string>{{"KORVAN_TEST_RUNTIMES", t.Path("jvm")}};
       }},
      // A zip-installed JDK: nothing registered, JAVA_HOME names it, and its
      // release file gives the version that the limits check.
      {"JavaHomeIsFoundWhenNothingIsRegistered", "Minimum Version=9", {},
       [](const RuntimeTree& t) { ModernJdk(t, "zip17", "17.0.9"); return std::string(); },
       [](const RuntimeTree& t) { return t.Library("zip17", "server"); }, "",
       [](const RuntimeTree& t) {
         return std::vector<std::string>{"runtime: registered JAVA_HOME: version 17.0.9",
                                         "runtime: searching JAVA_HOME (JDK)"};
       },
       Nothing, true, NoSetup,
       [](const RuntimeTree& t) { return std::map<std::string, std::string>{{"JAVA_HOME", t.Path("zip17")}}; }},
      // Linux puts JAVA_HOME's runtime first; Windows keeps the registry's choice
      // when it has one.
      {"JavaHomeBeforeNewerRuntimesOnLinuxOnlyAsLastResortOnWindows", "", {kJre7, {Family::SunJre, "19", "jre19", {"server"}}},
       [](const RuntimeTree& t) { ModernJdk(t, "zip11", "11.0.2"); return std::string(); },
       [](const RuntimeTree& t) {
         return t.windows() ? t.LibraryOf({Family::SunJre, "19", "jre19", {}}, "server") : t.Library("zip11", "server");
       },
       "", Nothing,
       [](const RuntimeTree& t) {
         return t.windows() ? std::vector<std::string>{"JAVA_HOME"} : std::vector<std::string>{};
       },
       false, NoSetup,
       [](const RuntimeTree& t) { return std::map<std::string, std::string>{{"JAVA_HOME", t.Path("zip11")}}; }},
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
         // 1.9.0, a REG_EXPAND_SZ home, is read and ranks below 1.9.5.
         return std::vector<std::string>{"runtime: registered 1.8.0 skipped: no JavaHome",
                                         "runtime: ranked: 1.9.5, 1.9.0, 1.7.0",
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
class RuntimeSearchTest : public TargetTest {};

TEST_P(RuntimeSearchTest, ChoosesTheRuntimeTheSettingsAskFor) {
  LaunchFolder folder(GetParam());
  const RuntimeTree tree(folder);
  for (const Scenario& scenario : Scenarios()) {
    if (scenario.windows_only && !folder.windows()) continue;
    SCOPED_TRACE(scenario.name);
    fs::remove_all(folder.folder() / "jvm");
    fs::remove_all(folder.folder() / "jre64");
    fs::remove_all(folder.folder() / "old");
    fs::remove_all(folder.folder() / "zip11");
    fs::remove_all(folder.folder() / "zip17");
    const std::string more_settings = scenario.prepare(tree);
    folder.WriteSettings("[Java Runtime Environment]\nMain Class=Sample\n" + scenario.settings +
                         "\n" + more_settings + "\n");
    tree.Install(scenario.registered, scenario.extra_registry(tree));

    const std::string expected = scenario.expected_library(tree);
    // Windows asks for a runtime in the missing-runtime dialog, which tells
    // what the Linux launcher's error line tells; the user cancels it.
    std::future<ProcessResult> run = std::async(std::launch::async, [&tree, &scenario] {
      return tree.Run(scenario.environment ? scenario.environment(tree)
                                           : std::map<std::string, std::string>{});
    });
    if (expected.empty() && folder.windows()) {
      const std::string dump = DriveDialog({"dump", "JRE Not Found"}).standard_output;
      EXPECT_EQ("Error: " + FindControl(dump, 203).text + " " + FindControl(dump, 205).text + " \n",
                scenario.expected_error) << dump;
      DriveDialog({"press", "JRE Not Found", "2"});
    }
    const ProcessResult result = run.get();
    ASSERT_FALSE(result.timed_out);
    if (expected.empty()) {
      EXPECT_EQ(folder.ErrorOutput(result), folder.windows() ? "" : folder.Lines(scenario.expected_error));
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

// A real Windows runtime registered under JavaSoft\JDK, as its installer
// registers it, is found and runs the application.
class RuntimeSearchRealTest : public RealRuntimeTest {};

TEST_P(RuntimeSearchRealTest, RegisteredRuntimeRunsTheApplication) {
  LaunchFolder folder(GetParam().target);
  const RuntimeTree tree(folder);
  fs::create_directories(folder.folder() / "jvm");
  fs::create_directory_symlink(GetParam().home, folder.folder() / "jvm/temurin");
  const std::string version = "25.0.2";
  tree.Install({}, Registration("JavaSoft\\JDK\\" + version, "JavaHome", tree.Path("jvm/temurin")));
  folder.WriteSettings("[Java Runtime Environment]\nMain Class=korvan.probe.Probe\n"
                       "Virtual Machine Parameters=" + WineVmOptions(GetParam()) + "\n"
                       "[Class Path]\nClass Path=" + WinePath(KORVAN_JAVA_TESTS_DIR "/probe.jar") + "\n");
  const ProcessResult result = tree.Run();
  tree.ClearRegistry();
  EXPECT_EQ(result.standard_output, folder.Lines("count=0\n")) << result.standard_error;
  EXPECT_TRUE(Contains(result.standard_error,
                       folder.Lines("korvan: JVM library: " + tree.Library("jvm/temurin", "server") + "\n")))
      << result.standard_error;
  EXPECT_EQ(result.exit_code, 0);
}

INSTANTIATE_TEST_SUITE_P(Registered, RuntimeSearchRealTest,
                         testing::Values(NewestRuntime(TargetKind::Windows)), RuntimeName);

// Linux: the machine's own runtimes, as a fresh Debian 12 with openjdk-17 has them.
TEST(LinuxRuntimeSearch, FindsDebianOpenJdk17InUsrLibJvm) {
  LaunchFolder folder(Target{TargetKind::Linux, "Linux"});
  const std::string library = KORVAN_TEST_JDK "/lib/server/libjvm.so";
  ProcessOptions options;
  options.environment["KORVAN_TRACE"] = "1";
  options.unset.push_back("KORVAN_JVM_ROOT");

  folder.WriteSettings("[Java Runtime Environment]\nMain Class=Sample\n");
  ProcessResult result = folder.Run({}, options);
  EXPECT_NE(result.standard_error.find("korvan: runtime: registered " KORVAN_TEST_JDK ": candidate " +
                                       library + " (server)"),
            std::string::npos)
      << result.standard_error;

  folder.WriteSettings("[Java Runtime Environment]\nMain Class=Sample\nMaximum Version=17\n");
  result = folder.Run({}, options);
  EXPECT_NE(result.standard_error.find("korvan: JVM library: " + library + "\n"), std::string::npos)
      << result.standard_error;
}

// Linux: the runtime of the system's java command wins over a newer runtime
// in /usr/lib/jvm (a Temurin 25 beside Debian's default 17), and JAVA_HOME
// wins over both.
TEST(LinuxRuntimeSearch, SystemJavaThenJavaHomeComeBeforeNewerRuntimes) {
  LaunchFolder folder(Target{TargetKind::Linux, "Linux"});
  folder.WriteSettings("[Java Runtime Environment]\nMain Class=Sample\n");
  // A newer runtime that could never start: choosing it would fail the run.
  folder.WriteFile("jvm/temurin-99/lib/server/libjvm.so", "");
  folder.WriteFile("jvm/temurin-99/release", "JAVA_VERSION=\"99\"\n");
  fs::create_directory_symlink(KORVAN_TEST_JDK, folder.folder() / "jvm/system-17");
  fs::create_directories(folder.folder() / "bin");
  fs::create_symlink(KORVAN_TEST_JDK "/bin/java", folder.folder() / "bin/java");

  ProcessOptions options;
  options.environment["KORVAN_TRACE"] = "1";
  options.environment["KORVAN_JVM_ROOT"] = folder.NativePath("jvm");
  options.unset.push_back("JAVA_HOME");
  options.environment["PATH"] = folder.NativePath("bin") + ":/usr/bin:/bin";
  ProcessResult result = folder.Run({}, options);
  EXPECT_NE(result.standard_error.find("korvan: JVM library: " KORVAN_TEST_JDK "/lib/server/libjvm.so\n"),
            std::string::npos)
      << result.standard_error;

  options.environment["JAVA_HOME"] = folder.NativePath("jvm/temurin-99");
  result = folder.Run({}, options);
  EXPECT_NE(result.standard_error.find("korvan: runtime: ranked: " + folder.NativePath("jvm/temurin-99") +
                                       ", " KORVAN_TEST_JDK "\n"),
            std::string::npos)
      << result.standard_error;
}

// Linux: a runtime of the other machine (the parameter) is skipped by the
// x86-64 launcher and by the ARM64 one, naming its machine; as "JRE Path" it
// ends the run with that reason.
class LinuxForeignMachineTest : public RealRuntimeTest {};

TEST_P(LinuxForeignMachineTest, ARuntimeOfTheOtherMachineIsSkipped) {
  const bool arm64_launcher = !GetParam().target.arm64;
  LaunchFolder folder(Target{TargetKind::Linux, "Linux", arm64_launcher});
  if (const std::string why = WhyNotRunnable(folder.target()); !why.empty()) GTEST_SKIP() << why;
  fs::create_directories(folder.folder() / "jvm");
  fs::create_directory_symlink(GetParam().home, folder.folder() / "jvm/other-machine");
  const ProcessOptions options{"", {{"KORVAN_TRACE", "1"}, {"KORVAN_JVM_ROOT", folder.NativePath("jvm")}}, {"JAVA_HOME"}};
  const std::string library = fs::canonical(GetParam().home).string() + "/lib/server/libjvm.so";
  const std::string built_for = std::string(" is built for ") + (arm64_launcher ? "x86-64" : "AArch64") +
                                ", which this launcher cannot load\n";
  for (const std::string& jre_path : {std::string(), fs::canonical(GetParam().home).string()}) {
    folder.WriteSettings("[Java Runtime Environment]\nMain Class=Sample\nJRE Path=" + jre_path + "\n");
    const ProcessResult result = folder.Run({}, options);
    EXPECT_TRUE(Contains(result.standard_error, (jre_path.empty() ? " skipped: " : "korvan: ") + library + built_for))
        << result.standard_error;
    if (!jre_path.empty()) {
      EXPECT_EQ(folder.ErrorOutput(result), "Error: Failed to load Java VM library: " + library + ".\n \n");
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Runtimes, LinuxForeignMachineTest,
                         testing::ValuesIn(WithArm64({RealRuntimesOf(TargetKind::Linux, 21).front()})),
                         RuntimeName);

}  // namespace
}  // namespace korvan::e2e
