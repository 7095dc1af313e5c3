// Loading a JVM library: the error lines for libraries that do not load or
// lack the invocation functions, and the real JDK's defaults.
#include "jvm/vm_library.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "jvm/vm_creation.h"
#include "launcher/launcher.h"
#include "platform/text.h"

namespace korvan {
namespace {

struct LoadOutcome {
  bool loaded;
  std::string standard_output;
  std::string standard_error;
};

LoadOutcome Load(Launcher& launcher) {
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  const bool loaded = LoadVmLibrary(launcher);
  std::string standard_output = testing::internal::GetCapturedStdout();
  return {loaded, standard_output, testing::internal::GetCapturedStderr()};
}

TEST(LoadVmLibrary, ReportsAMissingLibraryWithItsPathAndErrorNumber) {
  Launcher launcher;
  launcher.jvm_library_path = L"/no/such/runtime/lib/server/libjvm.so";
  const LoadOutcome outcome = Load(launcher);
  EXPECT_FALSE(outcome.loaded);
  EXPECT_EQ(outcome.standard_output,
            "Error: Failed to load Java VM library: /no/such/runtime/lib/server/libjvm.so "
            "(errno = 2).\n \n");
  // The system's own words follow on standard error.
  EXPECT_NE(outcome.standard_error.find("cannot open shared object file"), std::string::npos)
      << outcome.standard_error;
  EXPECT_EQ(launcher.create_java_vm, nullptr);
}

TEST(LoadVmLibrary, ReportsAFileThatIsNoLibrary) {
  const std::filesystem::path file =
      std::filesystem::temp_directory_path() / "korvan-unit-not-a-library.so";
  std::ofstream(file) << "not a library";
  Launcher launcher;
  launcher.jvm_library_path = platform::WideFromNarrow(file.string());
  const LoadOutcome outcome = Load(launcher);
  std::filesystem::remove(file);
  EXPECT_FALSE(outcome.loaded);
  EXPECT_EQ(outcome.standard_output, "Error: Failed to load Java VM library: " + file.string() +
                                         " (errno = 0).\n \n");
  EXPECT_NE(outcome.standard_error.find(file.string()), std::string::npos) << outcome.standard_error;
}

TEST(LoadVmLibrary, RejectsALibraryWithoutTheInvocationFunctions) {
  Launcher launcher;
  launcher.jvm_library_path = L"libm.so.6";
  const LoadOutcome outcome = Load(launcher);
  EXPECT_FALSE(outcome.loaded);
  EXPECT_EQ(outcome.standard_output,
            "Error: Windows exception: cannot find CreateJavaVM JNI (errno = 0).\n \n");
  EXPECT_EQ(launcher.create_java_vm, nullptr);
  EXPECT_EQ(launcher.get_default_java_vm_init_args, nullptr);
}

TEST(LoadVmLibrary, ResolvesTheRealJdkAndAsksItsDefaultStackSize) {
  Launcher launcher;
  launcher.jvm_library_path = platform::WideFromNarrow(KORVAN_TEST_JDK "/lib/server/libjvm.so");
  const LoadOutcome outcome = Load(launcher);
  ASSERT_TRUE(outcome.loaded) << outcome.standard_output << outcome.standard_error;
  EXPECT_EQ(outcome.standard_output, "");
  EXPECT_NE(launcher.create_java_vm, nullptr);
  // HotSpot's ThreadStackSize on x86_64 Linux is 1 MiB.
  EXPECT_EQ(DefaultJavaStackSize(launcher), 1u << 20);
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
