// The automatic class-data archive against the real VM: written at the first
// exit, used later, and every way the cache can be wrong (cut short, foreign,
// garbage, not writable, held by another writer) still starts the application
// with its output untouched.
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <thread>

#include "support/launch_folder.h"

namespace korvan::e2e {
namespace {

namespace fs = std::filesystem;

const std::string kJdk = KORVAN_TEST_JDK;
const std::string kProbeJar = std::string(KORVAN_JAVA_TESTS_DIR) + "/probe.jar";
const std::string kExtraJar = std::string(KORVAN_JAVA_TESTS_DIR) + "/extra.jar";

std::string ReadText(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

void WriteText(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
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

class ArchiveLinuxTest : public testing::Test {
 protected:
  void SetUp() override {
    // Debian's runtime packages make the base archive when they are installed.
    if (!fs::exists(kJdk + "/lib/server/classes.jsa")) {
      GTEST_SKIP() << kJdk << " has no base archive (lib/server/classes.jsa): no class-data archive";
    }
  }

  ProcessResult Launch(const std::vector<std::string>& arguments = {"print", "out", "err"},
                       const std::string& vm_parameters = "",
                       const std::string& class_path = kProbeJar) {
    folder_.WriteSettings("[Java Runtime Environment]\nJRE Path=" + jdk_ +
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
    ASSERT_TRUE(Contains(first.standard_error, "class data archive: writing it at exit"))
        << first.standard_error;
    ASSERT_FALSE(CacheFile(".jsa").empty());
    ASSERT_EQ(ReadText(CacheFile(".seal")), SealFor(CacheFile(".jsa")));
    ASSERT_TRUE(CacheFile(".jsa.part").empty());
  }

  LaunchFolder folder_{Target{TargetKind::Linux, "Linux"}};
  std::string jdk_ = kJdk;
  std::map<std::string, std::string> environment_;
  std::string cache_root_ = folder_.NativePath("cache");
};

TEST_F(ArchiveLinuxTest, FirstRunWritesAndLaterRunsUseIt) {
  WriteFirstArchive();
  const std::string seal = ReadText(CacheFile(".seal"));
  const ProcessResult later = Launch();
  ExpectUntouchedRun(later);
  EXPECT_TRUE(Contains(later.standard_error, "class data archive: using the archive of an earlier run: " +
                                                 CacheFile(".jsa").string()))
      << later.standard_error;
  EXPECT_TRUE(Contains(later.standard_error, "-XX:SharedArchiveFile=")) << later.standard_error;
  EXPECT_EQ(ReadText(CacheFile(".seal")), seal);  // used, not written again
}

// From JDK 24 on the VM also logs under the "aot" tags, which older VMs refuse.
TEST_F(ArchiveLinuxTest, NewerRuntimeWritesAndUsesQuietly) {
  jdk_ = "/usr/lib/jvm/temurin-25-jdk-amd64";
  if (!fs::exists(jdk_ + "/lib/server/classes.jsa")) GTEST_SKIP() << "no JDK 25 at " << jdk_;
  WriteFirstArchive();
  fs::resize_file(CacheFile(".jsa"), 5000);
  fs::remove(CacheFile(".seal"));
  ExpectUntouchedRun(Launch());
  const ProcessResult later = Launch();
  ExpectUntouchedRun(later);
  EXPECT_TRUE(Contains(later.standard_error, "VM option: -Xlog:aot*=off")) << later.standard_error;
  EXPECT_TRUE(Contains(later.standard_error, "using the archive")) << later.standard_error;
}

TEST_F(ArchiveLinuxTest, SystemExitStillSealsTheArchive) {
  const ProcessResult result = Launch({"exit", "3"});
  EXPECT_EQ(result.exit_code, 3) << result.standard_error;
  EXPECT_EQ(result.standard_output, "");
  EXPECT_EQ(UntracedLines(result.standard_error), "");
  ASSERT_FALSE(CacheFile(".jsa").empty());
  EXPECT_EQ(ReadText(CacheFile(".seal")), SealFor(CacheFile(".jsa")));
}

TEST_F(ArchiveLinuxTest, AnotherClassPathGetsAnArchiveOfItsOwn) {
  WriteFirstArchive();
  const ProcessResult other = Launch({"print", "out", "err"}, "", kProbeJar + ":" + kExtraJar);
  ExpectUntouchedRun(other);
  EXPECT_TRUE(Contains(other.standard_error, "writing it at exit")) << other.standard_error;
}

// What is wrong with the cache before a run, and what the run then does.
struct DamageCase {
  const char* name;
  std::function<void(const fs::path& archive, const fs::path& seal)> damage;
  const char* trace;  // what the trace says of the archive
  bool rewritten;     // the run writes a complete archive again
};

class ArchiveDamageTest : public ArchiveLinuxTest,
                          public testing::WithParamInterface<DamageCase> {};

TEST_P(ArchiveDamageTest, StartsUntouchedAndRecovers) {
  WriteFirstArchive();
  GetParam().damage(CacheFile(".jsa"), CacheFile(".seal"));
  const ProcessResult result = Launch();
  ExpectUntouchedRun(result);
  EXPECT_TRUE(Contains(result.standard_error, GetParam().trace)) << result.standard_error;
  if (GetParam().rewritten) {
    ASSERT_FALSE(CacheFile(".jsa").empty());
    EXPECT_EQ(ReadText(CacheFile(".seal")), SealFor(CacheFile(".jsa")));
    EXPECT_GT(fs::file_size(CacheFile(".jsa")), 10000u);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ArchiveDamageTest,
    testing::Values(
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
                   "writing it anew at exit", true}),
    [](const testing::TestParamInfo<DamageCase>& info) { return info.param.name; });

TEST_F(ArchiveLinuxTest, ForeignArchiveIsRefusedSilently) {
  // The archive of the same classes from another jar, sealed in this one's
  // place: JDK 17 says "Unable to use shared archive" on standard output
  // unless told not to.
  WriteFirstArchive();
  const fs::path own = CacheFile(".jsa");
  const fs::path own_seal = CacheFile(".seal");
  fs::rename(own, folder_.folder() / "own.jsa");
  fs::remove(own_seal);
  fs::copy_file(kProbeJar, folder_.folder() / "other.jar");
  ExpectUntouchedRun(Launch({"print", "out", "err"}, "", folder_.NativePath("other.jar")));
  const fs::path foreign = CacheFile(".jsa");
  ASSERT_FALSE(foreign.empty());
  fs::rename(foreign, own);
  WriteText(own_seal, SealFor(own));
  const ProcessResult result = Launch();
  ExpectUntouchedRun(result);
  EXPECT_TRUE(Contains(result.standard_error, "using the archive")) << result.standard_error;
}

TEST_F(ArchiveLinuxTest, SecondWriterStandsBack) {
  WriteFirstArchive();
  const fs::path archive = CacheFile(".jsa");
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
  EXPECT_FALSE(fs::exists(base + ".jsa.part"));
}

TEST_F(ArchiveLinuxTest, LaunchesSideBySideLeaveOneCompleteArchive) {
  Launch();  // writes the settings file that every run below reads
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
  ASSERT_FALSE(CacheFile(".jsa").empty());
  EXPECT_EQ(ReadText(CacheFile(".seal")), SealFor(CacheFile(".jsa")));
  EXPECT_TRUE(CacheFile(".jsa.part").empty());
  // Two writers of one file would have left it mixed: JDK 17 dies mapping it.
  ExpectUntouchedRun(Launch());
}

// Where the cache cannot be, the run goes on without an archive.
class ArchiveCacheRootTest : public ArchiveLinuxTest,
                             public testing::WithParamInterface<const char*> {};

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
  const char* vm_parameters;
  const char* java_tool_options;  // the VM reads this variable itself
  const char* trace;
};

class ArchiveStepAsideTest : public ArchiveLinuxTest,
                             public testing::WithParamInterface<StepAsideCase> {};

TEST_P(ArchiveStepAsideTest, LeavesTheVmToTheUser) {
  if (*GetParam().java_tool_options != '\0') {
    environment_["JAVA_TOOL_OPTIONS"] = GetParam().java_tool_options;
  }
  const ProcessResult result = Launch({"print", "out", "err"}, GetParam().vm_parameters);
  EXPECT_EQ(result.exit_code, 0) << result.standard_error;
  EXPECT_EQ(result.standard_output, "out\n");
  // The VM names the variable it took options from, as for the java command.
  const std::string picked_up = *GetParam().java_tool_options == '\0'
                                    ? ""
                                    : std::string("Picked up JAVA_TOOL_OPTIONS: ") +
                                          GetParam().java_tool_options + "\n";
  EXPECT_EQ(UntracedLines(result.standard_error), picked_up + "err\n");
  EXPECT_TRUE(Contains(result.standard_error, GetParam().trace)) << result.standard_error;
  EXPECT_FALSE(fs::exists(ArchiveFolder()));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ArchiveStepAsideTest,
    testing::Values(StepAsideCase{"-Xshare:off", "", "off: the VM parameters"},
                    StepAsideCase{"-Xshare:auto", "", "off: the VM parameters"},
                    StepAsideCase{"-XX:SharedArchiveFile=%KORVAN_APP_HOME%/none.jsa", "",
                                  "off: the VM parameters"},
                    // With -Xshare:off, an archive to write stops the VM from starting.
                    StepAsideCase{"", "-Dx=1 -Xshare:off", "off: the VM parameters"}));

}  // namespace
}  // namespace korvan::e2e
