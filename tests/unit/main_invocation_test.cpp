// The order of the main invocation against the test JVM's JNIEnv: when the
// ready hook fires, that the thread always detaches, and which outcomes fail the run.
#include "jvm/main_invocation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_env.h"
#include "fake_objects.h"
#include "messages/messages.h"
#include "recorder.h"

namespace korvan {
namespace {

struct InvocationCase {
  std::string name;
  std::string behaviour;           // the test JVM's own option
  bool succeeds;
  std::vector<std::string> calls;  // the JVM's record, with "ready" where the hook fired
  std::string standard_output;
};

class InvokeMainTest : public testing::TestWithParam<InvocationCase> {};

TEST_P(InvokeMainTest, FollowsTheOrderOfTheInvocation) {
  testjvm::CurrentBehaviour() = testjvm::Behaviour{};
  testjvm::ReadBehaviour(GetParam().behaviour);
  testjvm::RecordedLines().clear();
  testjvm::PendingException() = nullptr;
  const MainCall call{L"com/example/App", {L"a", L"b"}, false, false, false, {}};

  testing::internal::CaptureStdout();
  const Outcome outcome = InvokeMain(testjvm::FakeEnv(), testjvm::FakeVm(), call,
                                     [] { testjvm::Record("ready"); });
  std::string standard_output = testing::internal::GetCapturedStdout();
  // What the user sees: main's own output, then the error line of the failure.
  if (outcome && !outcome->silent()) standard_output += ErrorLine(outcome->text);

  EXPECT_EQ(!outcome, GetParam().succeeds);
  EXPECT_EQ(testjvm::RecordedLines(), GetParam().calls);
  EXPECT_EQ(standard_output, GetParam().standard_output);
}

const std::vector<std::string> kUpToMain = {"find_class com/example/App", "string_array 2", "ready",
                                            "main com/example/App", "arguments 2",
                                            "argument 0061 [a]", "argument 0062 [b]"};

std::vector<std::string> UpToMainThen(std::vector<std::string> rest) {
  rest.insert(rest.begin(), kUpToMain.begin(), kUpToMain.end());
  return rest;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, InvokeMainTest,
    testing::Values(
        InvocationCase{"MainReturns", "", true, UpToMainThen({"detach"}),
                       "main wrote to standard output\n"},
        // The failure of the run comes after the description, and the thread still detaches.
        InvocationCase{"MainThrows", "-Dtestjvm.main=throw", false,
                       UpToMainThen({"describe java.lang.IllegalStateException: thrown by main",
                                     "detach"}),
                       ""},
        InvocationCase{"DetachFails", "-Dtestjvm.detach=fail", false, UpToMainThen({"detach"}),
                       "main wrote to standard output\n"},
        // Failures before main: no ready signal, and a detached thread all the same.
        InvocationCase{"ClassMissing", "-Dtestjvm.class=missing", false,
                       {"find_class com/example/App",
                        "describe java.lang.NoClassDefFoundError: com/example/App", "detach"},
                       "Error: Could not find the main class com/example/App.\n \n"},
        // The lookup's NoSuchMethodError is not the user's concern: the error line says it.
        InvocationCase{"MainMissing", "-Dtestjvm.main=missing", false,
                       {"find_class com/example/App", "detach"},
                       "Error: No main method found in specified class.\n \n"},
        InvocationCase{"MainMissingWithoutException", "-Dtestjvm.main=missing-quietly", false,
                       {"find_class com/example/App", "detach"},
                       "Error: No main method found in specified class.\n \n"},
        InvocationCase{"ClassNameCannotBeMade", "-Dtestjvm.strings=fail", false,
                       {"describe java.lang.OutOfMemoryError: no strings today", "detach"},
                       "Error: Failed to load Main Class: com/example/App.\n \n"}),
    [](const testing::TestParamInfo<InvocationCase>& info) { return info.param.name; });

}  // namespace
}  // namespace korvan
