// The registered runtimes of Linux: runtime folders below the runtime roots.
#include "platform/posix/runtime_folders.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/text.h"
#include "runtime/registered_runtimes.h"
#include "runtime/runtime_search.h"

namespace korvan {
namespace {

namespace fs = std::filesystem;
using platform::RuntimeFolderRegistry;

const platform::RuntimeFamily& SunJdk() { return RuntimeFamilies()[0]; }
const platform::RuntimeFamily& SunJre() { return RuntimeFamilies()[1]; }

class RuntimeFoldersTest : public testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("korvan-runtime-folders-" + std::to_string(getpid()));
    fs::remove_all(root_);
    fs::create_directories(root_);
  }
  void TearDown() override { fs::remove_all(root_); }

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
