// The Windows launcher as a service under Wine's real Service Control
// Manager (sc create/start/query/stop/delete): the states the manager shows,
// the start parameters and the stop call, with real runtimes, and with the
// recording test JVM for what no real VM does on demand.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <regex>
#include <sstream>
#include <thread>

#include "support/launch_folder.h"
#include "support/outliving_services.h"
#include "support/real_runtimes.h"
#include "support/text_checks.h"

namespace korvan::e2e {
namespace {

namespace fs = std::filesystem;

const fs::path kFixtures = fs::path(KORVAN_WINDOWS_BUILD_DIR) / "fixtures";

constexpr int kStopped = 1;
constexpr int kStopPending = 3;
constexpr int kRunning = 4;

struct ServiceState {
  int state = 0;  // 0 when sc could not tell
  int win32_exit_code = -1;
  int service_exit_code = -1;
  int check_point = -1;
};

// sc prints some fields in decimal and others (CHECKPOINT) as 0x...
int Field(const std::string& text, const std::string& name) {
  const std::regex pattern(name + R"(\s*:\s*(0x[0-9a-fA-F]+|\d+))");
  std::smatch match;
  return std::regex_search(text, match, pattern) ? std::stoi(match[1], nullptr, 0) : -1;
}

ServiceState ParseState(const std::string& sc_output) {
  ServiceState state;
  state.state = std::max(0, Field(sc_output, "STATE"));
  state.win32_exit_code = Field(sc_output, "WIN32_EXIT_CODE");
  state.service_exit_code = Field(sc_output, "SERVICE_EXIT_CODE");
  state.check_point = Field(sc_output, "CHECKPOINT");
  return state;
}

std::vector<std::string> ReadLines(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(file, line);) lines.push_back(line);
  return lines;
}

std::vector<std::string> Matching(const std::vector<std::string>& lines, const std::string& prefix) {
  std::vector<std::string> result;
  for (const std::string& line : lines) {
    if (line.compare(0, prefix.size(), prefix) == 0) result.push_back(line);
  }
  return result;
}

std::ptrdiff_t IndexOf(const std::vector<std::string>& lines, const std::string& line) {
  const auto found = std::find(lines.begin(), lines.end(), line);
  return found == lines.end() ? -1 : found - lines.begin();
}

class ServiceWindowsTest : public testing::Test {
 protected:
  void SetUp() override { KORVAN_SKIP_UNLESS_RUNNABLE((Target{TargetKind::Windows, "Windows"})); }
  // `name` is both the launcher's base name and, with ".exe", the service's:
  // each test has its own, as tests share the Wine prefix.
  void Install(const std::string& name, const std::string& vm_parameters,
               const std::string& jvm = "test_jvm.dll") {
    folder_ = std::make_unique<LaunchFolder>(Target{TargetKind::Windows, "Windows"}, name);
    folder_->WriteFile("jre/bin/java.dll", "");
    fs::create_directories(folder_->folder() / "jre/bin/server");
    if (jvm.empty()) {
      folder_->WriteFile("jre/bin/server/jvm.dll", "not a library");
    } else {
      fs::copy_file(kFixtures / jvm, folder_->folder() / "jre/bin/server/jvm.dll");
    }
    Register(name, folder_->NativePath("jre"), "com.example.App", vm_parameters, "app.jar", "");
  }

  // A service of a real runtime, its output going to out.txt.
  void Install(const std::string& name, const RealRuntime& runtime, const std::string& main_class,
               const std::string& vm_parameters, const std::string& command_line) {
    folder_ = std::make_unique<LaunchFolder>(runtime.target, name);
    Register(name, LauncherPath(runtime), main_class, WineVmOptions(runtime) + " " + vm_parameters,
             WinePath(fs::path(KORVAN_JAVA_TESTS_DIR) / "probe.jar"),
             "Output File=" + folder_->NativePath("out.txt") + "\n", command_line);
  }

  void Register(const std::string& name, const std::string& jre, const std::string& main_class,
                const std::string& vm_parameters, const std::string& class_path,
                const std::string& application,
                const std::string& command_line = "from-command-line") {
    service_ = name + ".exe";
    folder_->WriteSettings("[Java Runtime Environment]\n"
                           "JRE Path=" + jre + "\n"
                           "Main Class=" + main_class + "\n"
                           "Virtual Machine Parameters=" + vm_parameters + "\n"
                           "[Class Path]\n"
                           "Class Path=" + class_path + "\n"
                           "[Application]\n"
                           "Application Type=service\n" + application);
    const ProcessResult created =
        Sc({"create", service_, "binPath=", folder_->NativePath(service_) + " " + command_line});
    ASSERT_EQ(created.exit_code, 0) << created.standard_output << created.standard_error;
    installed_ = true;
  }

  void TearDown() override {
    if (!installed_) return;
    if (Query().state != kStopped) {
      Sc({"stop", service_});
      WaitForState(kStopped, 30);
    }
    const ProcessResult deleted = Sc({"delete", service_});
    EXPECT_EQ(deleted.exit_code, 0) << "sc delete " << service_ << ": " << deleted.standard_error;
    installed_ = false;
  }

  ProcessResult Sc(std::vector<std::string> arguments) const {
    arguments.insert(arguments.begin(), "sc");
    return RunUnderWine(arguments);
  }

  // A query that fails is a fault of its own: sc says why on standard error.
  ServiceState Query() {
    const ProcessResult result = Sc({"query", service_});
    EXPECT_EQ(result.exit_code, 0) << "sc query " << service_ << ": " << result.standard_error;
    const ServiceState state = ParseState(result.standard_output);
    Observe(state.state);
    return state;
  }

  // Polls until the service reaches `state`; the last state seen.
  ServiceState WaitForState(int state, double seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    ServiceState seen = Query();
    // State 0: sc could not tell, and has said why.
    while (seen.state != state && seen.state != 0 && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      seen = Query();
    }
    return seen;
  }

  // True once `condition` holds; false after `seconds`.
  static bool WaitFor(const std::function<bool()>& condition, double seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!condition()) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
  }

  // True once the record holds a line beginning with `prefix`.
  bool WaitForRecord(const std::string& prefix, double seconds) const {
    return WaitFor([&] { return !Matching(Record(), prefix).empty(); }, seconds);
  }

  // What sc stop answered; its state is part of the sequence seen.
  ServiceState Stop() {
    const ProcessResult result = Sc({"stop", service_});
    const ServiceState state = ParseState(result.standard_output);
    Observe(state.state);
    return state;
  }

  // The test JVM records beside itself: a service does not get the test's environment.
  std::vector<std::string> Record() const {
    return ReadLines(folder_->folder() / "jre/bin/server/record.txt");
  }

  // What a real VM's System.out wrote ("Output File"): a service has no standard handles.
  std::string Output() const { return ReadText(folder_->folder() / "out.txt"); }

  std::unique_ptr<LaunchFolder> folder_;
  std::string service_;
  bool installed_ = false;
  std::vector<int> states_;  // each state seen, repeats dropped

 private:
  void Observe(int state) {
    if (state != 0 && (states_.empty() || states_.back() != state)) states_.push_back(state);
  }
};

class ServiceRealVmTest : public ServiceWindowsTest,
                          public testing::WithParamInterface<RealRuntime> {
 protected:
  void SetUp() override {
    if (const std::string why = WhyNotRunnable(GetParam()); !why.empty()) GTEST_SKIP() << why;
  }
};

TEST_P(ServiceRealVmTest, RunsUntilStoppedAndStopsOnceTheVmIsGone) {
  // stop() takes a while, so that STOP_PENDING lasts long enough to be seen;
  // the manager may end the process once it hears STOPPED, so the slow
  // shutdown hook must have run by then.
  const std::string name = "KvSvcReal" + GetParam().name;
  Install(name, GetParam(), "korvan.probe.ServiceApp",
          "-Dservice.stopDelay=1000 -Dservice.hookDelay=1000", "from-command-line");
  ASSERT_EQ(Sc({"start", service_, "a", "b c"}).exit_code, 0);
  ASSERT_TRUE(WaitFor([&] { return Contains(Output(), "main started"); }, 30)) << Output();
  EXPECT_EQ(Query().state, kRunning);
  EXPECT_EQ(Stop().state, kStopPending);
  const ServiceState stopped = WaitForState(kStopped, 30);
  EXPECT_EQ(stopped.state, kStopped);
  EXPECT_EQ(stopped.win32_exit_code, 0);
  EXPECT_EQ(states_, (std::vector<int>{kRunning, kStopPending, kStopped}));
  // The command line's arguments, then the service name and the start parameters.
  EXPECT_EQ(Output(), folder_->Lines("main started [from-command-line," + name + ".exe,a,b c]\n"
                                     "stop called\n"
                                     "main returns after 1 stop call(s)\n"
                                     "shutdown hook ran\n"));
}

TEST_P(ServiceRealVmTest, AnApplicationThatOutlivesMainStopsAsSystemExitWould) {
  int case_number = 0;
  for (const OutlivingService& service : kOutlivingServices) {
    const std::string name = "KvSvcOutlives" + std::to_string(case_number++) + GetParam().name;
    Install(name, GetParam(), service.main_class, service.vm_parameters, "");
    ASSERT_EQ(Sc({"start", service_}).exit_code, 0);
    ASSERT_TRUE(WaitFor([&] { return Contains(Output(), service.stop_after); }, 30)) << Output();
    // Not STOP_PENDING for sure: an application ended at once may be STOPPED before sc hears back.
    const ProcessResult stop = Sc({"stop", service_});
    EXPECT_EQ(stop.exit_code, 0) << name << ": " << stop.standard_error;
    const ServiceState stopped = WaitForState(kStopped, 30);
    EXPECT_EQ((std::pair{stopped.state, stopped.win32_exit_code}), (std::pair{kStopped, 0})) << name;
    EXPECT_EQ(Output(), folder_->Lines(service.output)) << name;
    TearDown();
  }
}

INSTANTIATE_TEST_SUITE_P(Runtimes, ServiceRealVmTest,
                         testing::ValuesIn(RealRuntimesOf(TargetKind::Windows)), RuntimeName);

TEST_F(ServiceWindowsTest, AStopDuringVmCreationReachesStopOnceMainStarts) {
  Install("KvSvcEarly", "-Dtestjvm.create-delay=3000 -Dtestjvm.main=wait-for-stop");
  ASSERT_EQ(Sc({"start", service_}).exit_code, 0);
  ASSERT_TRUE(WaitForRecord("creating for", 30));
  EXPECT_EQ(Stop().state, kStopPending);
  const ServiceState stopped = WaitForState(kStopped, 30);
  EXPECT_EQ(stopped.state, kStopped);
  EXPECT_EQ(stopped.win32_exit_code, 0);
  const std::vector<std::string> record = Record();
  EXPECT_EQ(Matching(record, "stop "), std::vector<std::string>{"stop com/example/App"});
  EXPECT_LT(IndexOf(record, "main com/example/App"), IndexOf(record, "main returns after stop"));
}

TEST_F(ServiceWindowsTest, AStopLongerThanTheWaitHintKeepsReportingProgress) {
  Install("KvSvcSlowStop", "-Dtestjvm.main=wait-for-stop -Dtestjvm.stop-delay=4500");
  ASSERT_EQ(Sc({"start", service_}).exit_code, 0);
  ASSERT_TRUE(WaitForRecord("main ", 30));
  EXPECT_EQ(Stop().state, kStopPending);
  // The manager takes a check point that stands still past the wait hint
  // (3 s) for a hung stop.
  std::vector<int> check_points;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  ServiceState seen = Query();
  while (seen.state == kStopPending && std::chrono::steady_clock::now() < deadline) {
    if (check_points.empty() || check_points.back() != seen.check_point) {
      check_points.push_back(seen.check_point);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    seen = Query();
  }
  EXPECT_EQ(WaitForState(kStopped, 30).state, kStopped);
  ASSERT_GE(check_points.size(), 3u) << testing::PrintToString(check_points);
  EXPECT_TRUE(std::is_sorted(check_points.begin(), check_points.end()))
      << testing::PrintToString(check_points);
}

struct FailedRunCase {
  const char* name;
  const char* main_class;  // null: a runtime whose jvm.dll is no library
  const char* vm_parameters;
  const char* command_line;
  const char* settings = nullptr;  // replaces the settings file; "" removes it
};

class ServiceFailedRunTest : public ServiceWindowsTest,
                             public testing::WithParamInterface<FailedRunCase> {};

// A failed run or start-up tells the manager so, which lets its recovery
// actions apply; a start-up that never reached the manager would end with 1077.
TEST_P(ServiceFailedRunTest, StopsWithTheServiceSpecificError) {
  const std::string name = std::string("KvSvcFail") + GetParam().name;
  const RealRuntime runtime = NewestRuntime(TargetKind::Windows);
  if (GetParam().main_class == nullptr) {
    Install(name, "", "");
    if (const char* settings = GetParam().settings) {
      if (*settings == '\0') {
        fs::remove(folder_->SettingsFile());
      } else {
        folder_->WriteSettings(settings);
      }
    }
  } else {
    if (const std::string why = WhyNotRunnable(runtime); !why.empty()) GTEST_SKIP() << why;
    Install(name, runtime, GetParam().main_class, GetParam().vm_parameters,
            GetParam().command_line);
  }
  if (GetParam().settings == nullptr) {
    ASSERT_EQ(Sc({"start", service_}).exit_code, 0);
  } else {
    // Wine's StartService fails for a service that stops before it runs, and
    // its sc says nothing then, which RunUnderWine would take for a failed start.
    RunUnderWine({"net", "start", service_});
  }
  const ServiceState stopped = WaitForState(kStopped, 30);
  EXPECT_EQ(stopped.state, kStopped);
  EXPECT_EQ(stopped.win32_exit_code, 1066);
  EXPECT_EQ(stopped.service_exit_code, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Runs, ServiceFailedRunTest,
    testing::Values(FailedRunCase{"NoLibrary", nullptr, "", ""},
                    FailedRunCase{"RefusedOption", "korvan.probe.ServiceApp", "-Xbogus-option", ""},
                    FailedRunCase{"NoClass", "korvan.probe.Missing", "", ""},
                    FailedRunCase{"Throws", "korvan.probe.Probe", "", "throw boom"},
                    FailedRunCase{"NoSettings", nullptr, "", "", ""},
                    FailedRunCase{"NoRuntime", nullptr, "", "", "[Java Runtime Environment]\nMain Class=A\n"
                                  "Minimum Version=99\n[Application]\nApplication Type=service\n"},
                    // Not declared a service: the dialog is not shown on the service's desktop.
                    FailedRunCase{"NoRuntimeNotDeclared", nullptr, "", "", "[Java Runtime Environment]\n"
                                  "Main Class=A\nMinimum Version=99\n"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace korvan::e2e
