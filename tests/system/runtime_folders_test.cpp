// The registered runtimes of Linux: runtime folders below the runtime roots.
#include "platform/posix/runtime_folders.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/runtime_files.h"
#include "platform/text.h"
#include "runtime/registered_runtimes.h"
#include "runtime/runtime_search.h"

namespace korvan {
namespace {

namespace fs = std::filesystem;
using platform::RuntimeFolderRegistry;

const platform::RuntimeFamily& SunJdk() { return RuntimeFamilies()[0]; }
const platform::RuntimeFamily& SunJre() { return RuntimeFamilies()[1]; }

// The first bytes of a 64-bit little-endian ELF file for AArch64.
std::string AarchElfHeader() {
  std::string bytes(64, '\0');
  bytes.replace(0, 4, "\x7f" "ELF");
  bytes[4] = 2;
  bytes[5] = 1;
  bytes[18] = static_cast<char>(183);
  return bytes;
}

class RuntimeFoldersTest : public testing::Test {
 public:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("korvan-runtime-folders-" + std::to_string(getpid()));
    fs::remove_all(root_);
    fs::create_directories(root_);
  }
  void TearDown() override { fs::remove_all(root_); }

  void Write(const std::string& relative, const std::string& content = "", int mode = 0644) {
    File(relative, content);
    fs::permissions(root_ / relative, static_cast<fs::perms>(mode));
  }
  void File(const std::string& relative, const std::string& content = "") {
    fs::create_directories((root_ / relative).parent_path());
    std::ofstream(root_ / relative, std::ios::binary) << content;
  }
  std::wstring Path(const std::string& relative) const { return (root_ / relative).wstring(); }

  std::vector<std::pair<std::string, std::string>> List(RuntimeFolderRegistry& registry,
                                                       const platform::RuntimeFamily& family) {
    std::vector<std::pair<std::string, std::string>> result;
    for (const platform::RegisteredRuntime& r : registry.ListRuntimes(family)) {
      result.emplace_back(platform::NarrowFromWide(r.name), platform::NarrowFromWide(r.version_text));
    }
    return result;
  }

  fs::path root_;
};

TEST_F(RuntimeFoldersTest, EachRealFolderIsOneRegistrationOfItsKind) {
  File("jdk-b/bin/javac");
  File("jdk-b/release", "IMPLEMENTOR=\"X\"\nJAVA_VERSION=\"17.0.15\"\nOTHER=1\n");
  File("jre-a/lib/server/libjvm.so");
  File("jre-a/release", "JAVA_VERSION=\"11.0.2\"\r\n");
  File("jre-c-9.0.4/bin/java");  // no release file: the version is the folder's name
  File("jre-d-10/bin/java");
  ASSERT_EQ(mkfifo((root_ / "jre-d-10/release").c_str(), 0600), 0);  // never read: it would block
  File("not-a-runtime.txt");
  File(".hidden-1.8/bin/javac");
  fs::create_directory_symlink(root_ / "jdk-b", root_ / "a-link-to-jdk-b");
  fs::create_directory_symlink(root_ / "missing", root_ / "dangling");

  RuntimeFolderRegistry registry({root_.wstring()});
  const std::string base = root_.string() + "/";
  EXPECT_EQ(List(registry, SunJdk()),
            (std::vector<std::pair<std::string, std::string>>{{base + "jdk-b", "17.0.15"}}));
  EXPECT_EQ(List(registry, SunJre()),
            (std::vector<std::pair<std::string, std::string>>{{base + "jre-a", "11.0.2"},
                                                              {base + "jre-c-9.0.4", "jre-c-9.0.4"},
                                                              {base + "jre-d-10", "jre-d-10"}}));
  EXPECT_TRUE(registry.ListRuntimes(RuntimeFamilies()[2]).empty());
  EXPECT_TRUE(registry.ListRuntimes(RuntimeFamilies()[3]).empty());
  EXPECT_EQ(registry.ReadJavaHome(SunJdk(), registry.ListRuntimes(SunJdk())[0]), Path("jdk-b"));
}

TEST_F(RuntimeFoldersTest, RootsAreReadInOrderAndShareTheOnceRule) {
  File("one/jre-x/lib/server/libjvm.so");
  File("two/jre-y/lib/server/libjvm.so");
  fs::create_directory_symlink(root_ / "one/jre-x", root_ / "two/jre-a");
  RuntimeFolderRegistry registry({Path("one"), Path("missing"), Path("two")});
  const std::string base = root_.string() + "/";
  EXPECT_EQ(List(registry, SunJre()),
            (std::vector<std::pair<std::string, std::string>>{{base + "one/jre-x", "jre-x"},
                                                              {base + "two/jre-y", "jre-y"}}));
}

TEST_F(RuntimeFoldersTest, Jdk8HomeUsesItsJreFolderAndNewerJdksTheirOwn) {
  File("jdk8/bin/javac");
  File("jdk8/release", "JAVA_VERSION=\"1.8.0_392\"\n");
  File("jdk8/jre/lib/amd64/server/libjvm.so");
  File("jdk17/bin/javac");
  File("jdk17/release", "JAVA_VERSION=\"17.0.1\"\n");
  File("jdk17/lib/server/libjvm.so");
  RuntimeFolderRegistry registry({root_.wstring()});
  LaunchSettings settings;
  settings.jdk_wanted = settings.jre_wanted = true;
  const std::vector<RuntimeCandidate> candidates =
      CollectCandidates(settings, registry, SystemRuntimeFiles());
  ASSERT_EQ(candidates.size(), 2u);
  EXPECT_EQ(candidates[0].home, Path("jdk17") + L"/");
  EXPECT_EQ(candidates[1].home, Path("jdk8") + L"/jre/");
  EXPECT_TRUE(candidates[1].server);
}

// A runtime folder of the Linux layout with its release file; a JDK has bin/javac.
void Runtime(RuntimeFoldersTest& test, const std::string& folder, const std::string& version, bool jdk,
             const std::string& library = "") {
  test.Write(folder + "/release", "JAVA_VERSION=\"" + version + "\"\n");
  test.Write(folder + "/lib/server/libjvm.so", library);
  if (jdk) test.Write(folder + "/bin/javac");
}

struct StandingCase {
  const char* name;
  bool java_home;    // JAVA_HOME names zip/jdk-11
  bool system_java;  // PATH leads to usr-jvm/java-17's java through a link
  std::vector<std::string> expected;  // ranked candidates, below the test folder
};

class RuntimeStandingTest : public RuntimeFoldersTest,
                            public testing::WithParamInterface<StandingCase> {};

TEST_P(RuntimeStandingTest, JavaHomeAndTheSystemJavaComeBeforeNewerRuntimes) {
  const StandingCase& c = GetParam();
  Runtime(*this, "usr-jvm/temurin-25", "25", true);
  Runtime(*this, "usr-jvm/java-17", "17.0.15", true);
  Write("usr-jvm/java-17/bin/java", "#!/bin/sh\n", 0755);
  Runtime(*this, "sdkman/candidates/java/21.0.2-tem", "21.0.2", true);
  fs::create_directory_symlink(root_ / "sdkman/candidates/java/21.0.2-tem",
                               root_ / "sdkman/candidates/java/current");
  Runtime(*this, "zip/jdk-11", "11.0.2", false);
  // An ELF library of another machine is no candidate: it could never load.
  Runtime(*this, "usr-jvm/arm-26", "26", true, AarchElfHeader());
  fs::create_directories(root_ / "bin");
  fs::create_symlink(root_ / "usr-jvm/java-17/bin/java", root_ / "bin/java");
  Write("cwd/java", "#!/bin/sh\n", 0755);  // the current folder is never searched

  platform::RuntimeFolderSources sources;
  sources.roots = {Path("usr-jvm"), platform::SdkmanJavaRoot(Path("sdkman"), L"/nowhere")};
  if (c.java_home) sources.java_home = Path("zip/jdk-11");
  if (c.system_java) {
    sources.system_java = platform::FindCommandOnPath(L"::" + Path("missing") + L":" + Path("bin"), L"java");
    ASSERT_EQ(sources.system_java, Path("bin/java"));
  }
  RuntimeFolderRegistry registry(sources);
  LaunchSettings settings;
  settings.jdk_wanted = settings.jre_wanted = true;
  std::vector<RuntimeCandidate> candidates = CollectCandidates(settings, registry, SystemRuntimeFiles());
  RankCandidates(candidates, settings);
  std::vector<std::string> order;
  for (const RuntimeCandidate& candidate : candidates) {
    order.push_back(platform::NarrowFromWide(candidate.name).substr(root_.string().size() + 1));
  }
  EXPECT_EQ(order, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RuntimeStandingTest,
    testing::Values(
        StandingCase{"NewestFirstWithoutEither", false, false,
                     {"usr-jvm/temurin-25", "sdkman/candidates/java/21.0.2-tem", "usr-jvm/java-17"}},
        StandingCase{"SystemJavaFirst", false, true,
                     {"usr-jvm/java-17", "usr-jvm/temurin-25", "sdkman/candidates/java/21.0.2-tem"}},
        StandingCase{"JavaHomeBeforeTheSystemJava", true, true,
                     {"zip/jdk-11", "usr-jvm/java-17", "usr-jvm/temurin-25",
                      "sdkman/candidates/java/21.0.2-tem"}}),
    [](const testing::TestParamInfo<StandingCase>& info) { return std::string(info.param.name); });

TEST(SdkmanJavaRoot, SdkmanDirElseHome) {
  EXPECT_EQ(platform::SdkmanJavaRoot(L"/opt/sdkman", L"/home/u"), L"/opt/sdkman/candidates/java");
  EXPECT_EQ(platform::SdkmanJavaRoot(L"", L"/home/u"), L"/home/u/.sdkman/candidates/java");
  EXPECT_EQ(platform::SdkmanJavaRoot(L"", L""), L"");
}

TEST(ForeignLibraryMachine, ThisMachinesJvmLoadsAndOthersDoNot) {
  EXPECT_EQ(platform::ForeignLibraryMachine(platform::WideFromNarrow(KORVAN_TEST_JDK "/lib/server/libjvm.so")),
            std::nullopt);
  const fs::path file = fs::temp_directory_path() / ("korvan-elf-" + std::to_string(getpid()));
  std::ofstream(file, std::ios::binary) << AarchElfHeader();
  EXPECT_EQ(platform::ForeignLibraryMachine(file.wstring()), std::optional<std::wstring>(L"AArch64"));
  std::ofstream(file, std::ios::binary | std::ios::trunc) << "";
  EXPECT_EQ(platform::ForeignLibraryMachine(file.wstring()), std::nullopt);  // the loader will say why
  fs::remove(file);
  EXPECT_EQ(platform::ForeignLibraryMachine(file.wstring()), std::nullopt);
}

TEST(ReleaseFileVersion, ReadsTheQuotedJavaVersion) {
  EXPECT_EQ(platform::ReleaseFileVersion("JAVA_VERSION=\"17.0.15\"\n"), L"17.0.15");
  EXPECT_EQ(platform::ReleaseFileVersion("JAVA_RUNTIME_VERSION=\"17+1\"\nJAVA_VERSION=\"17\"\n"),
            L"17");
  EXPECT_EQ(platform::ReleaseFileVersion("JAVA_VERSION=1.8.0_392\r\n"), L"1.8.0_392");
  EXPECT_EQ(platform::ReleaseFileVersion("JAVA_VERSION=\"\"\n"), L"");
  EXPECT_EQ(platform::ReleaseFileVersion(" JAVA_VERSION=\"9\"\nMODULES=\"java.base\""), L"");
  EXPECT_EQ(platform::ReleaseFileVersion(""), L"");
}

TEST(RuntimeRoots, KorvanJvmRootNamesTheRootsElseUsrLibJvm) {
  using Roots = std::vector<std::wstring>;
  EXPECT_EQ(platform::RuntimeRootsFrom(L""), Roots{L"/usr/lib/jvm"});
  EXPECT_EQ(platform::RuntimeRootsFrom(L":"), Roots{L"/usr/lib/jvm"});
  EXPECT_EQ(platform::RuntimeRootsFrom(L"/opt/java"), Roots{L"/opt/java"});
  EXPECT_EQ(platform::RuntimeRootsFrom(L"/opt/java::/usr/lib/jvm:"),
            (Roots{L"/opt/java", L"/usr/lib/jvm"}));
}

// This system's existence test: a folder named like the library counts too.
TEST(JvmLibrarySelection, SystemExistenceTestCountsFolders) {
  const fs::path root = fs::temp_directory_path() / ("korvan-jvm-library-" + std::to_string(getpid()));
  fs::remove_all(root);
  fs::create_directories(root / "lib/server/libjvm.so");
  const std::wstring folder = root.wstring() + L"/";
  const std::optional<JvmLibrary> library =
      SelectJvmLibrary(folder, JvmKind::Any, SystemRuntimeFiles());
  ASSERT_TRUE(library.has_value());
  EXPECT_EQ(library->path, folder + L"lib/server/libjvm.so");
  fs::remove_all(root);
}

// This machine's runtimes: Debian's OpenJDK 17 must be found with its server
// VM, and chosen when the settings allow nothing newer.
TEST(RuntimeFoldersOfThisMachine, DebianOpenJdk17IsFoundAndChosenWithinItsLimits) {
  const std::wstring openjdk = platform::WideFromNarrow(KORVAN_TEST_JDK "/");
  const std::wstring library = openjdk + L"lib/server/libjvm.so";
  ASSERT_TRUE(fs::exists(library)) << "Debian's openjdk-17 package is needed";

  RuntimeFolderRegistry registry({L"/usr/lib/jvm"});
  LaunchSettings settings;
  settings.jdk_wanted = settings.jre_wanted = true;
  const std::vector<RuntimeCandidate> candidates =
      CollectCandidates(settings, registry, SystemRuntimeFiles());
  int found = 0;
  for (const RuntimeCandidate& candidate : candidates) {
    if (candidate.home != openjdk) continue;
    ++found;
    EXPECT_TRUE(candidate.server);
    EXPECT_EQ(candidate.version.components[0], 17);
  }
  EXPECT_EQ(found, 1) << "found once, although a link names it too";

  settings.maximum_version = ConvertMaximumVersion(L"17");
  RuntimeSearchSystem system{SystemRuntimeFiles(), L"", registry};
  const RuntimeSearchResult result = FindJvmLibrary(settings, system);
  EXPECT_EQ(result.jvm_library_path, library);
  ASSERT_TRUE(result.found_version.has_value());
  EXPECT_EQ(result.found_version->components[0], 17);
}

}  // namespace
}  // namespace korvan
