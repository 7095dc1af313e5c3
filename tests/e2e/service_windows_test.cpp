// The Windows launcher as a service under Wine's real Service Control
// Manager (sc create/start/query/stop/delete), against the recording test
// JVM: the states the manager shows, the start parameters, the stop call.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>

#include "support/launch_folder.h"

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
};

int Field(const std::string& text, const std::string& name) {
  const std::regex pattern(name + R"(\s*:\s*(\d+))");
  std::smatch match;
  return std::regex_search(text, match, pattern) ? std::stoi(match[1]) : -1;
}

ServiceState ParseState(const std::string& sc_output) {
  ServiceState state;
  state.state = std::max(0, Field(sc_output, "STATE"));
  state.win32_exit_code = Field(sc_output, "WIN32_EXIT_CODE");
  state.service_exit_code = Field(sc_output, "SERVICE_EXIT_CODE");
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
    service_ = name + ".exe";
    folder_->WriteFile("jre/bin/java.dll", "");
    fs::create_directories(folder_->folder() / "jre/bin/server");
    if (jvm.empty()) {
      folder_->WriteFile("jre/bin/server/jvm.dll", "not a library");
    } else {
      fs::copy_file(kFixtures / jvm, folder_->folder() / "jre/bin/server/jvm.dll");
    }
    folder_->WriteSettings("[Java Runtime Environment]\n"
                           "JRE Path=" + folder_->NativePath("jre") + "\n"
                           "Main Class=com.example.App\n"
                           "Virtual Machine Parameters=" + vm_parameters + "\n"
                           "[Class Path]\n"
                           "Class Path=app.jar\n"
                           "[Application]\n"
                           "Application Type=service\n");
    const ProcessResult created =
        Sc({"create", service_, "binPath=", folder_->NativePath(name + ".exe") + " from-command-line"});
    ASSERT_EQ(created.exit_code, 0) << created.standard_output << created.standard_error;
    installed_ = true;
  }

  void TearDown() override {
    if (!installed_) return;
    if (Query().state != kStopped && Query().state != 0) {
      Sc({"stop", service_});
      WaitForState(kStopped, 30);
    }
    Sc({"delete", service_});
  }

  ProcessResult Sc(std::vector<std::string> arguments) const {
    arguments.insert(arguments.begin(), "sc");
    return RunUnderWine(arguments);
  }

  ServiceState Query() {
    const ServiceState state = ParseState(Sc({"query", service_}).standard_output);
    Observe(state.state);
    return state;
  }

  // Polls until the service reaches `state`; the last state seen.
  ServiceState WaitForState(int state, double seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    ServiceState seen = Query();
    while (seen.state != state && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      seen = Query();
    }
    return seen;
  }

  // True once the record holds a line beginning with `prefix`.
  bool WaitForRecord(const std::string& prefix, double seconds) const {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (Matching(Record(), prefix).empty()) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
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

  std::unique_ptr<LaunchFolder> folder_;
  std::string service_;
  bool installed_ = false;
  std::vector<int> states_;  // each state seen, repeats dropped

 private:
  void Observe(int state) {
    if (state != 0 && (states_.empty() || states_.back() != state)) states_.push_back(state);
  }
};

TEST_F(ServiceWindowsTest, RunsUntilStoppedAndCallsStopOnce) {
  // stop() takes a while, so that STOP_PENDING lasts long enough to be seen.
  Install("KvSvcRun", "-Dtestjvm.main=wait-for-stop -Dtestjvm.stop-delay=1500");
  ASSERT_EQ(Sc({"start", service_, "a", "b c"}).exit_code, 0);
  ASSERT_TRUE(WaitForRecord("main ", 30));
  EXPECT_EQ(Query().state, kRunning);
  // The command line's arguments, then the service name and the start parameters.
  EXPECT_EQ(Matching(Record(), "argument "),
            (std::vector<std::string>{
                "argument 0066 0072 006F 006D 002D 0063 006F 006D 006D 0061 006E 0064 002D 006C "
                "0069 006E 0065 [from-command-line]",
                "argument 004B 0076 0053 0076 0063 0052 0075 006E 002E 0065 0078 0065 [KvSvcRun.exe]",
                "argument 0061 [a]", "argument 0062 0020 0063 [b c]"}));

  EXPECT_EQ(Stop().state, kStopPending);
  const ServiceState stopped = WaitForState(kStopped, 30);
  EXPECT_EQ(stopped.state, kStopped);
  EXPECT_EQ(stopped.win32_exit_code, 0);
  EXPECT_EQ(states_, (std::vector<int>{kRunning, kStopPending, kStopped}));

  const std::vector<std::string> record = Record();
  EXPECT_EQ(Matching(record, "stop "), std::vector<std::string>{"stop com/example/App"});
  EXPECT_LT(IndexOf(record, "stop com/example/App"), IndexOf(record, "main returns after stop"));
  // The stop thread attached for the call and detached after it.
  EXPECT_EQ(Matching(record, "attach").size(), 1u);
  EXPECT_EQ(Matching(record, "destroy").size(), 1u);
}

TEST_F(ServiceWindowsTest, WithoutAStopMethodStaysStopPendingUntilMainReturns) {
  Install("KvSvcNoStop", "-Dtestjvm.stop=missing -Dtestjvm.main=sleep:6000");
  ASSERT_EQ(Sc({"start", service_}).exit_code, 0);
  ASSERT_TRUE(WaitForRecord("main ", 30));
  EXPECT_EQ(Stop().state, kStopPending);
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  EXPECT_EQ(Query().state, kStopPending);
  const ServiceState stopped = WaitForState(kStopped, 30);
  EXPECT_EQ(stopped.state, kStopped);
  EXPECT_EQ(stopped.win32_exit_code, 0);
  const std::vector<std::string> record = Record();
  EXPECT_TRUE(Matching(record, "stop ").empty());
  EXPECT_EQ(Matching(record, "describe "),
            std::vector<std::string>{"describe java.lang.NoSuchMethodError: static Lcom/example/App;.stop()V"});
  EXPECT_NE(IndexOf(record, "main returns after sleeping"), -1);
}

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

struct FailedRunCase {
  const char* name;
  const char* vm_parameters;
  const char* jvm;
};

class ServiceFailedRunTest : public ServiceWindowsTest,
                             public testing::WithParamInterface<FailedRunCase> {};

// A failed run tells the manager so, which lets its recovery actions apply.
TEST_P(ServiceFailedRunTest, StopsWithTheServiceSpecificError) {
  Install(std::string("KvSvcFail") + GetParam().name, GetParam().vm_parameters, GetParam().jvm);
  ASSERT_EQ(Sc({"start", service_}).exit_code, 0);
  const ServiceState stopped = WaitForState(kStopped, 30);
  EXPECT_EQ(stopped.state, kStopped);
  EXPECT_EQ(stopped.win32_exit_code, 1066);
  EXPECT_EQ(stopped.service_exit_code, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Runs, ServiceFailedRunTest,
    testing::Values(FailedRunCase{"NoLibrary", "", ""},
                    FailedRunCase{"NoVm", "-Dtestjvm.create=-1", "test_jvm.dll"},
                    FailedRunCase{"NoClass", "-Dtestjvm.class=missing", "test_jvm.dll"},
                    FailedRunCase{"Throws", "-Dtestjvm.main=throw", "test_jvm.dll"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace korvan::e2e
