// The automatic class-data archive against the real VM: written at the first
// exit, used later, and every way the cache can be wrong (cut short, foreign,
// garbage, not writable, held by another writer) still starts the application
// with its output untouched. The cases run on every Linux runtime that writes
// a dynamic archive (Java 13 to 23) or keeps an AOT cache (Java 24 and later).
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <thread>
#include <chrono>
#include <tuple>

#include "support/launch_folder.h"
#include "support/real_runtimes.h"
#include "support/text_checks.h"

namespace korvan::e2e {
namespace {

namespace fs = std::filesystem;

const std::string kProbeJar = std::string(KORVAN_JAVA_TESTS_DIR) + "/probe.jar";
const std::string kExtraJar = std::string(KORVAN_JAVA_TESTS_DIR) + "/extra.jar";

void WriteText(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

// Lines of standard error that are not the launcher's trace: what the VM
// would have put on the application's error stream.
std::string UntracedLines(const std::string& standard_error) {
  std::istringstream stream(standard_error);
  std::string result;
  for (std::string line; std::getline(stream, line);) {
    if (line.rfind("korvan: ", 0) != 0) result += line + "\n";
  }
  return result;
}

// The seal the launcher writes beside a complete archive: size and time in
// nanoseconds, so a test can seal a file it put there itself.
std::string SealFor(const fs::path& archive) {
  struct stat status {};
  if (stat(archive.c_str(), &status) != 0) return "";
  return std::to_string(status.st_size) + " " +
         std::to_string(static_cast<long long>(status.st_mtim.tv_sec) * 1000000000 +
                        status.st_mtim.tv_nsec) +
         "\n";
}

const std::vector<RealRuntime> kRuntimes = RealRuntimesOf(TargetKind::Linux, 13);

// Why `runtime` cannot take an archive here, or "" when it can.
std::string WhyNoArchive(const RealRuntime& runtime) {
  if (std::string why = WhyNotRunnable(runtime); !why.empty()) return why;
  // Debian's runtime packages and scripts/fetch-runtimes make the base archive.
  if (!fs::exists(runtime.home + "/lib/server/classes.jsa")) {
    return runtime.home + " has no base archive (lib/server/classes.jsa): no class-data archive";
  }
  return "";
}

// The launch of the cases below, on the runtime `runtime_`.
class ArchiveLinux {
 protected:
  explicit ArchiveLinux(const Target& target = Target{TargetKind::Linux, "Linux"}) : folder_(target) {}

  void UseRuntime(const RealRuntime& runtime) {
    if (const std::string why = WhyNoArchive(runtime); !why.empty()) GTEST_SKIP() << why;
    runtime_ = runtime;
  }

  ProcessResult Launch(const std::vector<std::string>& arguments = {"print", "out", "err"},
                       const std::string& vm_parameters = "",
                       const std::string& class_path = kProbeJar) {
    folder_.WriteSettings("[Java Runtime Environment]\nJRE Path=" + runtime_.home +
                          "\nMain Class=korvan.probe.Probe\nClass Data Archive=Auto\n"
                          "Virtual Machine Parameters=" + vm_parameters +
                          "\n[Class Path]\nClass Path=" + class_path + "\n");
    ProcessOptions options;
    options.environment.emplace("XDG_CACHE_HOME", cache_root_);
    options.environment.emplace("KORVAN_TRACE", "1");
    options.environment.emplace("LC_ALL", "C.UTF-8");
    options.environment.insert(environment_.begin(), environment_.end());
    const ProcessResult result = folder_.Run(arguments, options);
    EXPECT_FALSE(result.timed_out);
    return result;
  }

  // The application ran and wrote exactly what it writes without an archive.
  static void ExpectUntouchedRun(const ProcessResult& result) {
    EXPECT_EQ(result.exit_code, 0) << result.standard_error;
    EXPECT_EQ(result.standard_output, "out\n");
    EXPECT_EQ(UntracedLines(result.standard_error), "err\n");
  }

  bool Aot() const { return runtime_.line >= 24; }
  std::string Ending() const { return Aot() ? ".aot" : ".jsa"; }

  // What the trace says where it says `dynamic` of a dynamic archive.
  std::string Said(const std::string& dynamic) const {
    static const std::map<std::string, std::string> aot{
        {"writing it at exit", "recording the AOT configuration;"},
        {"writing it anew at exit", "recording the AOT configuration anew"},
        {"using the archive", "using the AOT cache"},
        {"-XX:SharedArchiveFile=", "-XX:AOTCache="},
        {"-XX:ArchiveClassesAtExit", "-XX:AOTMode=record"}};
    return Aot() ? aot.at(dynamic) : dynamic;
  }

  // The detached assembly of an AOT cache ends by removing the configuration.
  void WaitForAssembly() const {
    for (int tenths = 0; tenths < 1200 && !CacheFile(".aotconf").empty(); ++tenths) {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
  }

  fs::path ArchiveFolder() const { return fs::path(cache_root_) / "korvan" / "class-data"; }

  // The one file of the cache with this ending; empty when there is none.
  fs::path CacheFile(const std::string& ending) const {
    fs::path found;
    if (!fs::exists(ArchiveFolder())) return found;
    for (const auto& entry : fs::directory_iterator(ArchiveFolder())) {
      const std::string name = entry.path().filename().string();
      if (name.size() == 16 + ending.size() && name.compare(16, ending.size(), ending) == 0) {
        EXPECT_TRUE(found.empty()) << "two files end in " << ending;
        found = entry.path();
      }
    }
    return found;
  }

  // A first run leaves a complete, sealed archive and nothing half done.
  void WriteFirstArchive() {
    const ProcessResult first = Launch();
    ExpectUntouchedRun(first);
    ASSERT_TRUE(Contains(first.standard_error, "class data archive: " + Said("writing it at exit")))
        << first.standard_error;
    // The run has ended before the assembly did, and nothing of the assembly
    // kept its output open.
    if (Aot()) EXPECT_FALSE(CacheFile(".aotconf").empty());
    WaitForAssembly();
    ASSERT_FALSE(CacheFile(Ending()).empty());
    ASSERT_EQ(ReadText(CacheFile(".seal")), SealFor(CacheFile(Ending())));
    ASSERT_TRUE(CacheFile(Ending() + ".part").empty());
  }

  LaunchFolder folder_;
  RealRuntime runtime_ = kRuntimes.front();
  std::map<std::string, std::string> environment_;
  std::string cache_root_ = folder_.NativePath("cache");
};

class ArchiveLinuxTest : public ArchiveLinux, public testing::TestWithParam<RealRuntime> {
 protected:
  ArchiveLinuxTest() : ArchiveLinux(GetParam().target) {}
  void SetUp() override { UseRuntime(GetParam()); }
};

// A case of a table, on each runtime.
template <typename Case>
class ArchiveCaseTest : public ArchiveLinux,
                        public testing::TestWithParam<std::tuple<RealRuntime, Case>> {
 protected:
  void SetUp() override { UseRuntime(std::get<0>(this->GetParam())); }
  const Case& Row() const { return std::get<1>(this->GetParam()); }
};

template <typename Case>
std::string CaseName(const testing::TestParamInfo<std::tuple<RealRuntime, Case>>& info) {
  return std::get<0>(info.param).name + "_" + std::get<1>(info.param).name;
}

TEST_P(ArchiveLinuxTest, FirstRunWritesAndLaterRunsUseIt) {
  WriteFirstArchive();
  const std::string seal = ReadText(CacheFile(".seal"));
  const ProcessResult later = Launch();
  ExpectUntouchedRun(later);
  EXPECT_TRUE(Contains(later.standard_error, "class data archive: " + Said("using the archive") +
                                                 " of an earlier run: " + CacheFile(Ending()).string()))
      << later.standard_error;
  EXPECT_TRUE(Contains(later.standard_error, Said("-XX:SharedArchiveFile="))) << later.standard_error;
  // From JDK 24 on the VM also logs under the "aot" tags, which older VMs refuse.
  EXPECT_EQ(Contains(later.standard_error, "VM option: -Xlog:aot*=off"), runtime_.line >= 24);
  EXPECT_EQ(ReadText(CacheFile(".seal")), seal);  // used, not written again
}

TEST_P(ArchiveLinuxTest, SystemExitStillSealsTheArchive) {
  const ProcessResult result = Launch({"exit", "3"});
  EXPECT_EQ(result.exit_code, 3) << result.standard_error;
  EXPECT_EQ(result.standard_output, "");
  EXPECT_EQ(UntracedLines(result.standard_error), "");
  WaitForAssembly();
  ASSERT_FALSE(CacheFile(Ending()).empty());
  EXPECT_EQ(ReadText(CacheFile(".seal")), SealFor(CacheFile(Ending())));
}

TEST_P(ArchiveLinuxTest, AnotherClassPathGetsAnArchiveOfItsOwn) {
  WriteFirstArchive();
  const ProcessResult other = Launch({"print", "out", "err"}, "", kProbeJar + ":" + kExtraJar);
  ExpectUntouchedRun(other);
  EXPECT_TRUE(Contains(other.standard_error, Said("writing it at exit"))) << other.standard_error;
  WaitForAssembly();
}

// What is wrong with the cache before a run, and what the run then does.
struct DamageCase {
  const char* name;
  std::function<void(const fs::path& archive, const fs::path& seal)> damage;
  const char* trace;  // what the trace says of the archive
  bool rewritten;     // the run writes a complete archive again
};

using ArchiveDamageTest = ArchiveCaseTest<DamageCase>;

TEST_P(ArchiveDamageTest, StartsUntouchedAndRecovers) {
  WriteFirstArchive();
  Row().damage(CacheFile(Ending()), CacheFile(".seal"));
  const ProcessResult result = Launch();
  ExpectUntouchedRun(result);
  EXPECT_TRUE(Contains(result.standard_error, Said(Row().trace))) << result.standard_error;
  WaitForAssembly();
  if (Row().rewritten) {
    ASSERT_FALSE(CacheFile(Ending()).empty());
    EXPECT_EQ(ReadText(CacheFile(".seal")), SealFor(CacheFile(Ending())));
    EXPECT_GT(fs::file_size(CacheFile(Ending())), 10000u);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ArchiveDamageTest,
    testing::Combine(testing::ValuesIn(kRuntimes), testing::Values(
        // The VM of JDK 17 dies of SIGBUS when it maps a cut archive.
        DamageCase{"CutShort",
                   [](const fs::path& archive, const fs::path&) { fs::resize_file(archive, 5000); },
                   "writing it anew at exit", true},
        DamageCase{"SealLost",
                   [](const fs::path&, const fs::path& seal) { fs::remove(seal); },
                   "writing it anew at exit", true},
        DamageCase{"PartLeftByAKilledRun",
                   [](const fs::path& archive, const fs::path& seal) {
                     fs::rename(archive, archive.string() + ".part");
                     fs::resize_file(archive.string() + ".part", 5000);
                     fs::remove(seal);
                   },
                   "writing it at exit", true},
        // Sealed, so handed to the VM, which refuses it without a word.
        DamageCase{"SealedGarbage",
                   [](const fs::path& archive, const fs::path& seal) {
                     WriteText(archive, std::string(100000, '\x5a'));
                     WriteText(seal, SealFor(archive));
                   },
                   "using the archive", false},
        DamageCase{"SealedEmpty",
                   [](const fs::path& archive, const fs::path& seal) {
                     WriteText(archive, "");
                     WriteText(seal, SealFor(archive));
                   },
                   "writing it anew at exit", true})),
    CaseName<DamageCase>);

TEST_P(ArchiveLinuxTest, ForeignArchiveIsRefusedSilently) {
  // The archive of the same classes from another jar, sealed in this one's
  // place: JDK 17 says "Unable to use shared archive" on standard output
  // unless told not to.
  WriteFirstArchive();
  const fs::path own = CacheFile(Ending());
  const fs::path own_seal = CacheFile(".seal");
  fs::rename(own, folder_.folder() / "own.jsa");
  fs::remove(own_seal);
  fs::copy_file(kProbeJar, folder_.folder() / "other.jar");
  ExpectUntouchedRun(Launch({"print", "out", "err"}, "", folder_.NativePath("other.jar")));
  WaitForAssembly();
  const fs::path foreign = CacheFile(Ending());
  ASSERT_FALSE(foreign.empty());
  fs::rename(foreign, own);
  WriteText(own_seal, SealFor(own));
  const ProcessResult result = Launch();
  ExpectUntouchedRun(result);
  EXPECT_TRUE(Contains(result.standard_error, Said("using the archive"))) << result.standard_error;
}

TEST_P(ArchiveLinuxTest, SecondWriterStandsBack) {
  WriteFirstArchive();
  const fs::path archive = CacheFile(Ending());
  const std::string base = archive.string().substr(0, archive.string().size() - 4);
  fs::remove(archive);
  fs::remove(base + ".seal");
  // Another launch is writing this archive: it holds the lock.
  const int held = open((base + ".lock").c_str(), O_RDWR);
  ASSERT_GE(held, 0);
  ASSERT_EQ(flock(held, LOCK_EX | LOCK_NB), 0);
  const ProcessResult result = Launch();
  close(held);
  ExpectUntouchedRun(result);
  EXPECT_TRUE(Contains(result.standard_error, "off for this run")) << result.standard_error;
  EXPECT_FALSE(fs::exists(archive));
  EXPECT_FALSE(fs::exists(archive.string() + ".part"));
}

TEST_P(ArchiveLinuxTest, LaunchesSideBySideLeaveOneCompleteArchive) {
  Launch();  // writes the settings file that every run below reads
  // Its assembly would otherwise end in the emptied folder and take the
  // configuration a run below recorded for its own.
  WaitForAssembly();
  fs::remove_all(ArchiveFolder());
  std::vector<ProcessResult> results(4);
  std::vector<std::thread> runs;
  for (ProcessResult& result : results) {
    runs.emplace_back([this, &result] {
      ProcessOptions options;
      options.environment.emplace("XDG_CACHE_HOME", cache_root_);
      options.environment.emplace("KORVAN_TRACE", "1");
      options.environment.emplace("LC_ALL", "C.UTF-8");
      result = folder_.Run({"print", "out", "err"}, options);
    });
  }
  for (std::thread& run : runs) run.join();
  for (const ProcessResult& result : results) ExpectUntouchedRun(result);
  WaitForAssembly();
  ASSERT_FALSE(CacheFile(Ending()).empty());
  EXPECT_EQ(ReadText(CacheFile(".seal")), SealFor(CacheFile(Ending())));
  EXPECT_TRUE(CacheFile(Ending() + ".part").empty());
  // Two writers of one file would have left it mixed: JDK 17 dies mapping it.
  ExpectUntouchedRun(Launch());
}

// An application argument holding line ends adds no option of its own to the
// detached assembly (here a log the VM would make), and the cache is still made.
TEST_P(ArchiveLinuxTest, LineEndInAnArgumentAddsNoOption) {
  const std::string log = folder_.NativePath("injected.log");
  // The trace shows the argument's lines as they are, so only the output is compared.
  const ProcessResult result = Launch({"print", "out", "err", "x\n-Xlog:gc:file=" + log + "\r-Xlog:gc:file=" + log});
  EXPECT_EQ(result.exit_code, 0) << result.standard_error;
  EXPECT_EQ(result.standard_output, "out\n");
  WaitForAssembly();
  EXPECT_FALSE(fs::exists(log));
  EXPECT_FALSE(CacheFile(Ending()).empty());
}

// The VM archives no class from a folder and would end the run with exit
// code 1, so a class path with a folder, of classes or of resources only,
// gets no archive.
TEST_P(ArchiveLinuxTest, FolderOnTheClassPathGetsNoArchive) {
  const std::string classes = folder_.NativePath("classes");
  ASSERT_EQ(std::system(("unzip -qo " + kProbeJar + " -d " + classes).c_str()), 0);
  folder_.WriteFile("conf/logback.xml", "<configuration/>\n");
  for (const std::string& class_path : {classes, kProbeJar + ":" + folder_.NativePath("conf")}) {
    const ProcessResult result = Launch({"print", "out", "err"}, "", class_path);
    ExpectUntouchedRun(result);
    EXPECT_TRUE(Contains(result.standard_error, "class data archive: off: the class path holds a folder"))
        << result.standard_error;
  }
  EXPECT_FALSE(fs::exists(ArchiveFolder()));
}

INSTANTIATE_TEST_SUITE_P(Runtimes, ArchiveLinuxTest, testing::ValuesIn(WithArm64(kRuntimes)), RuntimeName);

// Where the cache cannot be, the run goes on without an archive; the VM,
// handed no archive option, plays no part, so one runtime shows it.
class ArchiveCacheRootTest : public ArchiveLinux, public testing::TestWithParam<const char*> {
 protected:
  void SetUp() override { UseRuntime(kRuntimes.front()); }
};

TEST_P(ArchiveCacheRootTest, RunsWithoutArchive) {
  folder_.WriteFile("plain-file", "not a folder");
  cache_root_ = GetParam()[0] == '/' ? GetParam() : folder_.NativePath(GetParam());
  const ProcessResult result = Launch();
  ExpectUntouchedRun(result);
  EXPECT_TRUE(Contains(result.standard_error, "class data archive: off: the cache folder cannot be made"))
      << result.standard_error;
  EXPECT_FALSE(Contains(result.standard_error, "-XX:ArchiveClassesAtExit"));
}

// Not writable even for root: tests may run as root, for whom modes do not count.
INSTANTIATE_TEST_SUITE_P(Roots, ArchiveCacheRootTest,
                         testing::Values("plain-file", "plain-file/below", "/proc/self/cache"));

struct StepAsideCase {
  const char* name;
  const char* vm_parameters;
  const char* java_tool_options;  // the VM reads this variable itself
  const char* trace;
  int from_line = 13;  // older VMs refuse the option
};

using ArchiveStepAsideTest = ArchiveCaseTest<StepAsideCase>;

TEST_P(ArchiveStepAsideTest, LeavesTheVmToTheUser) {
  if (runtime_.line < Row().from_line) GTEST_SKIP() << "the option is newer than the runtime";
  if (*Row().java_tool_options != '\0') environment_["JAVA_TOOL_OPTIONS"] = Row().java_tool_options;
  const ProcessResult result = Launch({"print", "out", "err"}, Row().vm_parameters);
  EXPECT_EQ(result.exit_code, 0) << result.standard_error;
  // A user's own archive that is no archive is the VM's to report (JDK 25 does,
  // on standard output); the launcher adds nothing.
  const std::string own_complaint =
      "[error][cds] Not a valid shared archive file (" + folder_.NativePath("none.jsa") + ")\n";
  std::string output = result.standard_output;
  if (const std::size_t at = output.find(own_complaint); at != std::string::npos) {
    output.erase(0, at + own_complaint.size());
  }
  EXPECT_EQ(output, "out\n");
  // The VM names the variable it took options from, as for the java command.
  const std::string picked_up = *Row().java_tool_options == '\0'
                                    ? ""
                                    : std::string("Picked up JAVA_TOOL_OPTIONS: ") +
                                          Row().java_tool_options + "\n";
  EXPECT_EQ(UntracedLines(result.standard_error), picked_up + "err\n");
  EXPECT_TRUE(Contains(result.standard_error, Row().trace)) << result.standard_error;
  EXPECT_FALSE(fs::exists(ArchiveFolder()));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ArchiveStepAsideTest,
    testing::Combine(
        testing::ValuesIn(kRuntimes),
        testing::Values(StepAsideCase{"ShareOff", "-Xshare:off", "", "off: the VM parameters"},
                        StepAsideCase{"ShareAuto", "-Xshare:auto", "", "off: the VM parameters"},
                        StepAsideCase{"OwnArchive", "-XX:SharedArchiveFile=%KORVAN_APP_HOME%/none.jsa",
                                      "", "off: the VM parameters"},
                        // With -Xshare:off, an archive to write stops the VM from starting.
                        StepAsideCase{"ToolOptions", "", "-Dx=1 -Xshare:off", "off: the VM parameters"},
                        StepAsideCase{"AotModeOff", "-XX:AOTMode=off", "", "off: the VM parameters", 24},
                        StepAsideCase{"ToolAotMode", "", "-XX:AOTMode=auto", "off: the VM parameters", 24})),
    CaseName<StepAsideCase>);

// A VM that cannot write what it writes at exit ends the process with exit
// code 1: a cache on a disk with too little room gets no writer. Needs the
// right to mount a small file system.
TEST_P(ArchiveLinuxTest, NearlyFullDiskGetsNoWriter) {
  const std::string small = folder_.NativePath("small");
  fs::create_directories(small);
  if (std::system(("mount -t tmpfs -o size=4m,mode=700 tmpfs " + small + " 2>/dev/null").c_str()) != 0) {
    GTEST_SKIP() << "cannot mount a small file system here";
  }
  cache_root_ = small;
  const ProcessResult result = Launch();
  std::system(("umount " + small).c_str());
  ExpectUntouchedRun(result);
  EXPECT_TRUE(Contains(result.standard_error, "off for this run: the cache folder's disk has less than"))
      << result.standard_error;
}

// The assembly of an AOT cache gone wrong, with a runtime whose java command
// is missing or fails: the runs look as without an archive, no part of a
// cache is ever handed over, and a failed assembly is not tried again.
struct AssemblyFaultCase {
  const char* name;
  const char* java;  // the runtime's bin/java, a shell script; nullptr: none
  const char* later_trace;
};

class ArchiveAssemblyFaultTest : public ArchiveLinux, public testing::TestWithParam<AssemblyFaultCase> {
 protected:
  void SetUp() override {
    UseRuntime(NewestRuntime(TargetKind::Linux));
    if (runtime_.line < 24) GTEST_SKIP() << "no runtime of Java 24 or later here";
    // The real runtime's VM and modules, with a bin folder of the test's own.
    const fs::path fake = folder_.folder() / "runtime";
    fs::create_directories(fake / "bin");
    for (const char* part : {"lib", "conf", "release"}) fs::create_symlink(fs::path(runtime_.home) / part, fake / part);
    if (GetParam().java != nullptr) {
      WriteText(fake / "bin/java", GetParam().java);
      fs::permissions(fake / "bin/java", fs::perms::owner_all);
    }
    runtime_.home = fake.string();
  }
};

TEST_P(ArchiveAssemblyFaultTest, ChangesNothingTheUserSees) {
  ExpectUntouchedRun(Launch());
  WaitForAssembly();
  EXPECT_TRUE(CacheFile(".aot").empty());
  EXPECT_TRUE(CacheFile(".aot.part").empty());
  const ProcessResult later = Launch();
  ExpectUntouchedRun(later);
  EXPECT_TRUE(Contains(later.standard_error, GetParam().later_trace)) << later.standard_error;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ArchiveAssemblyFaultTest,
    testing::Values(
        AssemblyFaultCase{"NoJavaCommand", nullptr, "off: the runtime has no java command"},
        AssemblyFaultCase{"Crashes", "#!/bin/sh\nkill -SEGV $$\n", "off: the AOT cache could not be assembled"},
        AssemblyFaultCase{"IsKilled", "#!/bin/sh\nkill -KILL $$\n", "off: the AOT cache could not be assembled"},
        // The cache's part file, named in the argument file, written in part.
        AssemblyFaultCase{"FailsHalfWay",
                          "#!/bin/sh\npart=$(sed -n 's/^\"-XX:AOTCache=\\(.*\\)\"$/\\1/p' \"${1#@}\")\n"
                          "head -c 100000 /dev/zero > \"$part\"\nexit 1\n",
                          "off: the AOT cache could not be assembled"}),
    [](const testing::TestParamInfo<AssemblyFaultCase>& info) { return info.param.name; });

// A run whose VM writes no archive at exit leaves a mark, and later runs do
// not try again: Java 21 writes none without compressed class pointers.
class ArchiveNotWrittenTest : public ArchiveLinux, public testing::Test {};

TEST_F(ArchiveNotWrittenTest, IsNotTriedAgain) {
  for (const RealRuntime& runtime : kRuntimes) {
    if (runtime.line == 21) UseRuntime(runtime);
  }
  if (runtime_.line != 21) GTEST_SKIP() << "no runtime of Java 21 here";
  ExpectUntouchedRun(Launch({"print", "out", "err"}, "-XX:-UseCompressedClassPointers"));
  EXPECT_FALSE(CacheFile(".jsa.failed").empty());
  const ProcessResult later = Launch({"print", "out", "err"}, "-XX:-UseCompressedClassPointers");
  ExpectUntouchedRun(later);
  EXPECT_TRUE(Contains(later.standard_error, "off: an earlier run could not write the archive"))
      << later.standard_error;
}

// KORVAN_AOT_ASSEMBLY starts only the java command that a launch recorded
// for an AOT cache in the user's cache folder; anything else is refused
// before any file is touched (a configuration, a planted link).
class ArchiveAssemblyRefusalTest : public ArchiveLinux,
                                   public testing::TestWithParam<std::tuple<const char*, bool>> {};

TEST_P(ArchiveAssemblyRefusalTest, RunsNothingAndTouchesNoFile) {
  const auto [below_cache, records_program] = GetParam();
  const std::string base = cache_root_ + "/" + below_cache, program = folder_.NativePath("program");
  folder_.WriteFile("program", "#!/bin/sh\ntouch " + folder_.NativePath("ran") + "\n");
  fs::permissions(program, fs::perms::owner_all);
  folder_.WriteFile("victim", "kept");
  fs::create_directories(fs::path(base).parent_path());
  WriteText(base + ".aotconf", "recorded");
  WriteText(base + ".aotjava", records_program ? program : "/usr/bin/java");
  fs::create_symlink(folder_.NativePath("victim"), base + ".aot.failed");
  ProcessOptions options;
  options.environment = {{"XDG_CACHE_HOME", cache_root_}, {"KORVAN_AOT_ASSEMBLY", base}};
  const ProcessResult result = folder_.Run({program}, options);
  EXPECT_EQ(result.exit_code, 255);
  EXPECT_TRUE(Contains(result.standard_error, "Error: KORVAN_AOT_ASSEMBLY names no AOT cache"));
  EXPECT_FALSE(fs::exists(folder_.NativePath("ran")));
  EXPECT_EQ(ReadText(folder_.NativePath("victim")), "kept");
  EXPECT_TRUE(fs::exists(base + ".aotconf"));
}

// Outside the cache folder, a name that is no archive's, another java command.
INSTANTIATE_TEST_SUITE_P(Cases, ArchiveAssemblyRefusalTest,
                         testing::Values(std::make_tuple("elsewhere/0123456789abcdef", true),
                                         std::make_tuple("korvan/class-data/../0123456789abcdef", true),
                                         std::make_tuple("korvan/class-data/0123456789abcdef", false)));

}  // namespace
}  // namespace korvan::e2e
