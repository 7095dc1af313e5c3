// When a service's stop is called, what a stopped service tells its manager,
// and the name a service runs under.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "launcher/service_host.h"
#include "launcher/stop_request.h"
#include "platform/shared/service_rules.h"

namespace korvan {
namespace {

enum class Event { Request, MainStarted, MainEnded };

struct StopCase {
  const char* name;
  std::vector<Event> events;
  int stop_calls;
  // After which event (its index) the one call happened; -1 for none.
  int called_at;
};

class StopRequestTest : public testing::TestWithParam<StopCase> {};

TEST_P(StopRequestTest, CallsStopOnceOnlyWhileMainRuns) {
  int calls = 0;
  int called_at = -1;
  int index = 0;
  StopRequest stop([&] {
    ++calls;
    if (called_at < 0) called_at = index;
  });
  for (; index < static_cast<int>(GetParam().events.size()); ++index) {
    switch (GetParam().events[index]) {
      case Event::Request: stop.Request(); break;
      case Event::MainStarted: stop.MainStarted(); break;
      case Event::MainEnded: stop.MainEnded(); break;
    }
  }
  EXPECT_EQ(calls, GetParam().stop_calls);
  EXPECT_EQ(called_at, GetParam().called_at);
}

using E = Event;
INSTANTIATE_TEST_SUITE_P(
    Sequences, StopRequestTest,
    testing::Values(
        StopCase{"RequestWhileMainRuns", {E::MainStarted, E::Request, E::MainEnded}, 1, 1},
        StopCase{"RequestDuringVmCreationWaitsForMain", {E::Request, E::MainStarted, E::MainEnded}, 1, 1},
        StopCase{"SecondRequestIsNotASecondCall", {E::MainStarted, E::Request, E::Request}, 1, 1},
        StopCase{"TwoEarlyRequestsOneCall", {E::Request, E::Request, E::MainStarted}, 1, 2},
        StopCase{"RequestAfterMainEndedCallsNothing", {E::MainStarted, E::MainEnded, E::Request}, 0, -1},
        StopCase{"RunThatNeverReachedMain", {E::Request, E::MainEnded}, 0, -1},
        StopCase{"NoRequest", {E::MainStarted, E::MainEnded}, 0, -1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StopRequestTest, RequestTellsWhetherItWasTheFirst) {
  StopRequest stop([] {});
  EXPECT_FALSE(stop.requested());
  EXPECT_TRUE(stop.Request());
  EXPECT_FALSE(stop.Request());
  EXPECT_TRUE(stop.requested());
}

struct ExitCodeCase {
  int run_exit_code;
  std::uint32_t win32_exit_code;
  std::uint32_t service_exit_code;
};

class StoppedExitCodesTest : public testing::TestWithParam<ExitCodeCase> {};

TEST_P(StoppedExitCodesTest, OnlyANormalReturnIsSuccess) {
  const platform::ServiceExitCodes codes = platform::StoppedExitCodes(GetParam().run_exit_code);
  EXPECT_EQ(codes.win32_exit_code, GetParam().win32_exit_code);
  EXPECT_EQ(codes.service_exit_code, GetParam().service_exit_code);
}

INSTANTIATE_TEST_SUITE_P(Runs, StoppedExitCodesTest,
                         testing::Values(ExitCodeCase{0, 0, 0}, ExitCodeCase{-1, 1066, 1},
                                         ExitCodeCase{1, 1066, 1}));

struct ControlCase {
  std::uint32_t control;
  bool stopped;
  platform::ControlAction action;
};

class ControlActionTest : public testing::TestWithParam<ControlCase> {};

// Shutdown cannot be sent through Wine's manager here; its rule is proven so.
TEST_P(ControlActionTest, StopAndShutdownAloneStopTheService) {
  EXPECT_EQ(platform::ActionForControl(GetParam().control, GetParam().stopped),
            GetParam().action);
}

using A = platform::ControlAction;
INSTANTIATE_TEST_SUITE_P(Controls, ControlActionTest,
                         testing::Values(ControlCase{1, false, A::StopPending},   // STOP
                                         ControlCase{5, false, A::StopPending},   // SHUTDOWN
                                         ControlCase{15, false, A::StopPending},  // PRESHUTDOWN
                                         ControlCase{4, false, A::Rereport},      // INTERROGATE
                                         ControlCase{2, false, A::Rereport},      // PAUSE
                                         ControlCase{128, false, A::Rereport},    // user-defined
                                         ControlCase{1, true, A::None},
                                         ControlCase{5, true, A::None},
                                         ControlCase{15, true, A::None}));

struct NameCase {
  const wchar_t* path;
  wchar_t separator;
  const wchar_t* name;
};

class ServiceNameTest : public testing::TestWithParam<NameCase> {};

TEST_P(ServiceNameTest, IsTheFileNameWithItsExtension) {
  EXPECT_EQ(ServiceNameOf(GetParam().path, GetParam().separator), GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, ServiceNameTest,
    testing::Values(NameCase{L"C:\\Apps\\App.exe", L'\\', L"App.exe"},
                    NameCase{L"C:\\Apps\\My.Tool.exe", L'\\', L"My.Tool.exe"},
                    NameCase{L"App.exe", L'\\', L"App.exe"},
                    NameCase{L"/opt/app/bin/app", L'/', L"app"},
                    NameCase{L"C:\\Apps\\", L'\\', L""}));

}  // namespace
}  // namespace korvan
