// Loading a JVM library: the error lines for libraries that do not load or
// lack the invocation functions, and the real JDK's defaults.
#include "jvm/vm_library.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "jvm/vm_session.h"
#include "platform/text.h"

namespace korvan {
namespace {

std::string Text(const std::wstring& text) { return platform::NarrowFromWide(text); }

TEST(LoadVmLibrary, ReportsAMissingLibraryWithItsPathAndErrorNumber) {
  const Expected<InvocationFunctions> loaded =
      LoadVmLibrary(L"/no/such/runtime/lib/server/libjvm.so");
  ASSERT_FALSE(loaded);
  EXPECT_EQ(Text(loaded.failure().text),
            "Failed to load Java VM library: /no/such/runtime/lib/server/libjvm.so (errno = 2).\n");
  // The system's own words come with it.
  EXPECT_NE(Text(loaded.failure().detail).find("cannot open shared object file"), std::string::npos)
      << Text(loaded.failure().detail);
}

TEST(LoadVmLibrary, ReportsAFileThatIsNoLibrary) {
  const std::filesystem::path file =
      std::filesystem::temp_directory_path() / "korvan-unit-not-a-library.so";
  std::ofstream(file) << "not a library";
  const Expected<InvocationFunctions> loaded = LoadVmLibrary(platform::WideFromNarrow(file.string()));
  std::filesystem::remove(file);
  ASSERT_FALSE(loaded);
  EXPECT_EQ(Text(loaded.failure().text),
            "Failed to load Java VM library: " + file.string() + " (errno = 0).\n");
  EXPECT_NE(Text(loaded.failure().detail).find(file.string()), std::string::npos);
}

TEST(LoadVmLibrary, RejectsALibraryWithoutTheInvocationFunctions) {
  const Expected<InvocationFunctions> loaded = LoadVmLibrary(L"libm.so.6");
  ASSERT_FALSE(loaded);
  EXPECT_EQ(Text(loaded.failure().text),
            "Windows exception: cannot find CreateJavaVM JNI (errno = 0).\n");
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
