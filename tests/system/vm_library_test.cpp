// Loading a JVM library: the error lines for libraries that do not load or
// lack the invocation functions, and the real JDK's defaults.
#include "jvm/vm_library.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "jvm/vm_session.h"
#include "platform/text.h"

namespace korvan {
namespace {

std::string Text(const std::wstring& text) { return platform::NarrowFromWide(text); }

TEST(LoadVmLibrary, ReportsAMissingLibraryWithItsPathAndTheSystemsWords) {
  const Expected<InvocationFunctions> loaded =
      LoadVmLibrary(L"/no/such/runtime/lib/server/libjvm.so");
  ASSERT_FALSE(loaded);
  EXPECT_EQ(Text(loaded.failure().text),
            "Failed to load Java VM library: /no/such/runtime/lib/server/libjvm.so.\n");
  // The system's own words come with it.
  EXPECT_NE(Text(loaded.failure().detail).find("cannot open shared object file"), std::string::npos)
      << Text(loaded.failure().detail);
}

// Files in place of a JVM library that must fail as load failures, never
// hang (a FIFO) or kill the launcher (a cut-short library maps pages beyond
// the file's end: SIGBUS).
struct UnloadableCase {
  const char* name;
  void (*make)(const std::filesystem::path& file);
  const char* detail;  // part of the explanation that follows the error line
};

class UnloadableLibraryTest : public testing::TestWithParam<UnloadableCase> {};

TEST_P(UnloadableLibraryTest, FailsWithTheLoadMessage) {
  const std::filesystem::path file = std::filesystem::temp_directory_path() /
                                     (std::string("korvan-unit-") + GetParam().name + ".so");
  std::filesystem::remove(file);
  GetParam().make(file);
  const Expected<InvocationFunctions> loaded = LoadVmLibrary(platform::WideFromNarrow(file.string()));
  std::filesystem::remove(file);
  ASSERT_FALSE(loaded);
  EXPECT_EQ(Text(loaded.failure().text),
            "Failed to load Java VM library: " + file.string() + ".\n");
  EXPECT_NE(Text(loaded.failure().detail).find(file.string()), std::string::npos);
  EXPECT_NE(Text(loaded.failure().detail).find(GetParam().detail), std::string::npos)
      << Text(loaded.failure().detail);
}

INSTANTIATE_TEST_SUITE_P(
    Files, UnloadableLibraryTest,
    testing::Values(
        UnloadableCase{"TextFile", [](const auto& file) { std::ofstream(file) << "not a library"; },
                       "file too short"},
        UnloadableCase{"CutShortJdkLibrary",
                       [](const auto& file) {
                         std::ifstream jvm(KORVAN_TEST_JDK "/lib/server/libjvm.so", std::ios::binary);
                         std::string head(256 * 1024, '\0');
                         jvm.read(head.data(), static_cast<std::streamsize>(head.size()));
                         std::ofstream(file, std::ios::binary) << head;
                       },
                       "cut short"},
        UnloadableCase{"Fifo", [](const auto& file) { ASSERT_EQ(mkfifo(file.c_str(), 0600), 0); },
                       "not a regular file"}),
    [](const testing::TestParamInfo<UnloadableCase>& info) { return info.param.name; });

TEST(LoadVmLibrary, RejectsALibraryWithoutTheInvocationFunctions) {
  const Expected<InvocationFunctions> loaded = LoadVmLibrary(L"libm.so.6");
  ASSERT_FALSE(loaded);
  EXPECT_EQ(Text(loaded.failure().text),
            "System error: cannot find CreateJavaVM JNI.\n");
}

TEST(LoadVmLibrary, ResolvesTheRealJdkAndAsksItsDefaultStackSize) {
  const Expected<InvocationFunctions> loaded =
      LoadVmLibrary(platform::WideFromNarrow(KORVAN_TEST_JDK "/lib/server/libjvm.so"));
  ASSERT_TRUE(loaded) << Text(loaded.failure().text) << Text(loaded.failure().detail);
  EXPECT_NE(loaded->create_java_vm, nullptr);
  // HotSpot's ThreadStackSize on x86_64 Linux is 1 MiB.
  EXPECT_EQ(VmSession(*loaded).DefaultJavaStackSize(), 1u << 20);
}

struct ReasonCase {
  jint code;
  std::wstring reason;
};

class CreationFailureReasonTest : public testing::TestWithParam<ReasonCase> {};

TEST_P(CreationFailureReasonTest, NamesTheCode) {
  EXPECT_EQ(CreationFailureReason(GetParam().code), GetParam().reason);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, CreationFailureReasonTest,
    testing::Values(ReasonCase{-1, L"unknown"}, ReasonCase{-2, L"thread detached from VM"},
                    ReasonCase{-3, L"JNI version error"}, ReasonCase{-4, L"not enough memory"},
                    ReasonCase{-5, L"VM already created"}, ReasonCase{-6, L"invalid arguments"},
                    ReasonCase{-7, L""}, ReasonCase{1, L""}, ReasonCase{-100, L""}));

}  // namespace
}  // namespace korvan
