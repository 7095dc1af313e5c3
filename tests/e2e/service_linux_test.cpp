// The Linux launcher as a foreground service on the real VM: SIGTERM and
// SIGINT reach the main class's static stop, readiness goes to NOTIFY_SOCKET,
// and the trace goes to KORVAN_TRACE_FILE.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/launch_folder.h"
#include "support/outliving_services.h"
#include "support/real_runtimes.h"
#include "support/running_process.h"
#include "support/text_checks.h"

namespace korvan::e2e {
namespace {

namespace fs = std::filesystem;

const std::string kProbeJar = std::string(KORVAN_JAVA_TESTS_DIR) + "/probe.jar";

std::size_t Count(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

// A datagram socket bound in the test's folder, standing for systemd's.
class NotifySocket {
 public:
  explicit NotifySocket(const fs::path& path) : path_(path.string()) {
    descriptor_ = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path_.copy(address.sun_path, sizeof(address.sun_path) - 1);
    bound_ = bind(descriptor_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
  }
  ~NotifySocket() { close(descriptor_); }
  bool bound() const { return bound_; }
  const std::string& path() const { return path_; }
  // Every datagram that has arrived, in order.
  std::vector<std::string> Messages() const {
    std::vector<std::string> messages;
    char buffer[512];
    for (;;) {
      const ssize_t length = recv(descriptor_, buffer, sizeof(buffer), MSG_DONTWAIT);
      if (length < 0) break;
      messages.emplace_back(buffer, static_cast<std::size_t>(length));
    }
    return messages;
  }

 private:
  std::string path_;
  int descriptor_ = -1;
  bool bound_ = false;
};

class ServiceLinuxTest : public testing::Test {
 protected:
  explicit ServiceLinuxTest(const Target& target = Target{TargetKind::Linux, "Linux"}) : folder_(target) {}

  // Starts the launcher as a service of `main_class` with these VM parameters.
  std::unique_ptr<RunningProcess> Start(const std::string& vm_parameters,
                                        ProcessOptions options = {},
                                        const std::string& main_class = "korvan.probe.ServiceApp") {
    std::ostringstream text;
    text << "[Java Runtime Environment]\n"
         << "JRE Path=" << runtime_ << "\n"
         << "Main Class=" << main_class << "\n"
         << "Virtual Machine Parameters=" << vm_parameters << "\n"
         << "[Class Path]\n"
         << "Class Path=" << kProbeJar << "\n"
         << "[Application]\n"
         << "Application Type=service\n";
    folder_.WriteSettings(text.str());
    options.environment.emplace("KORVAN_TRACE_FILE", trace_file_.string());
    options.unset.push_back("NOTIFY_SOCKET");
    auto process = std::make_unique<RunningProcess>(
        folder_.Command({"first", "second"}), options,
        folder_.folder());
    EXPECT_TRUE(process->started());
    return process;
  }

  std::string Trace() const { return ReadText(trace_file_); }

  LaunchFolder folder_;
  fs::path trace_file_ = folder_.folder() / "trace.txt";
  std::string runtime_ = KORVAN_TEST_JDK;  // the "JRE Path"
};

// The cases whose outcome is the VM's to keep: over every Linux runtime.
class ServiceRuntimeTest : public ServiceLinuxTest,
                           public testing::WithParamInterface<RealRuntime> {
 protected:
  ServiceRuntimeTest() : ServiceLinuxTest(GetParam().target) {}
  void SetUp() override {
    if (const std::string why = WhyNotRunnable(GetParam()); !why.empty()) GTEST_SKIP() << why;
    runtime_ = GetParam().home;
  }
};

INSTANTIATE_TEST_SUITE_P(Runtimes, ServiceRuntimeTest,
                         testing::ValuesIn(WithArm64(RealRuntimesOf(TargetKind::Linux))), RuntimeName);

TEST_P(ServiceRuntimeTest, AStopSignalStopsTheApplicationAndExitsZero) {
  for (const auto& [signal_number, trace_line] :
       {std::pair{SIGTERM, "SIGTERM received"}, std::pair{SIGINT, "SIGINT received"}}) {
    auto process = Start("");
    ASSERT_TRUE(process->WaitForOutput("main started", 30)) << process->Errors() << Trace();
    process->Signal(signal_number);
    EXPECT_EQ(process->Wait(30), 0) << process->Errors() << Trace();
    EXPECT_EQ(process->Output(),
              "main started [first,second]\n"
              "stop called\n"
              "main returns after 1 stop call(s)\n"
              "shutdown hook ran\n")
        << Trace();
    EXPECT_TRUE(Contains(Trace(), trace_line)) << Trace();
  }
}

TEST_P(ServiceRuntimeTest, AnApplicationThatOutlivesMainEndsAsSystemExitWould) {
  int case_number = 0;
  for (const OutlivingService& service : kOutlivingServices) {
    const int signal_number = case_number++ % 2 == 0 ? SIGTERM : SIGINT;
    auto process = Start(service.vm_parameters, {}, service.main_class);
    ASSERT_TRUE(process->WaitForOutput(service.stop_after, 30)) << process->Errors() << Trace();
    process->Signal(signal_number);
    EXPECT_EQ(process->Wait(30), 0) << service.main_class << process->Errors() << Trace();
    EXPECT_EQ(process->Output(), service.output) << Trace();
  }
}

TEST_P(ServiceRuntimeTest, ASecondSignalDuringAStopDoesNotCallStopAgain) {
  auto process = Start("-Dservice.stopDelay=1500");
  ASSERT_TRUE(process->WaitForOutput("main started", 30)) << process->Errors() << Trace();
  process->Signal(SIGTERM);
  ASSERT_TRUE(process->WaitForOutput("stop called", 30)) << Trace();
  process->Signal(SIGTERM);
  process->Signal(SIGINT);
  EXPECT_EQ(process->Wait(30), 0) << process->Errors() << Trace();
  EXPECT_EQ(Count(process->Output(), "stop called"), 1u) << process->Output();
  EXPECT_NE(process->Output().find("main returns after 1 stop call(s)"), std::string::npos);
  EXPECT_EQ(Count(Trace(), "stop already requested"), 2u) << Trace();
}

TEST_P(ServiceRuntimeTest, AMainThatReturnsByItselfEndsTheService) {
  auto process = Start("-Dservice.returnAtOnce=true");
  EXPECT_EQ(process->Wait(30), 0) << process->Errors() << Trace();
  EXPECT_EQ(process->Output(),
            "main started [first,second]\n"
            "main returns by itself\n"
            "shutdown hook ran\n");
}

TEST_P(ServiceRuntimeTest, AStopBeforeMainStartsIsServedOnceMainStarts) {
  const fs::path marker = folder_.folder() / "initialising";
  auto process = Start("-Dservice.initMarker=" + marker.string() + " -Dservice.initDelay=1500");
  ASSERT_TRUE(WaitForFile(marker, 30)) << process->Errors() << Trace();
  process->Signal(SIGTERM);
  EXPECT_EQ(process->Wait(30), 0) << process->Errors() << Trace();
  // stop may run before main prints its first line: it is called at main's start.
  const std::string output = process->Output();
  EXPECT_EQ(Count(output, "main started [first,second]\n"), 1u) << output;
  EXPECT_EQ(Count(output, "stop called\n"), 1u) << output;
  EXPECT_EQ(Count(output, "main returns after 1 stop call(s)\n"), 1u) << output;
  EXPECT_EQ(Count(output, "shutdown hook ran\n"), 1u) << output;
  // The request came while the main class was initialising, and was held.
  const std::string trace = Trace();
  const std::size_t request = trace.find("SIGTERM received");
  ASSERT_NE(request, std::string::npos) << trace;
  EXPECT_LT(request, trace.find("calling stop()")) << trace;
  EXPECT_NE(trace.find("calling stop()"), std::string::npos) << trace;
}

TEST_F(ServiceLinuxTest, AFailedRunExitsMinusOneWithItsErrorLineInTheTraceFile) {
  auto process = Start("-Xbogus-option");
  EXPECT_EQ(process->Wait(30), 255) << process->Errors();
  const std::string trace = Trace();
  const std::size_t error_line = trace.find("Error: ");
  ASSERT_NE(error_line, std::string::npos) << trace;
  // The same line the console shows.
  const std::string line = trace.substr(error_line, trace.find('\n', error_line) - error_line);
  EXPECT_NE((process->Output() + process->Errors()).find(line), std::string::npos) << line;
}

TEST_F(ServiceLinuxTest, ReadinessAndStoppingReachTheNotifySocket) {
  NotifySocket notify(folder_.folder() / "notify.sock");
  ASSERT_TRUE(notify.bound());
  ProcessOptions options;
  options.environment.emplace("NOTIFY_SOCKET", notify.path());
  auto process = Start("", options);
  // Start() unsets NOTIFY_SOCKET unless the test sets it: environment wins.
  ASSERT_TRUE(process->WaitForOutput("main started", 30)) << process->Errors() << Trace();
  process->Signal(SIGTERM);
  EXPECT_EQ(process->Wait(30), 0) << process->Errors() << Trace();
  EXPECT_EQ(notify.Messages(), (std::vector<std::string>{"READY=1", "STOPPING=1"}));
}

TEST_F(ServiceLinuxTest, WithoutNotifySocketNothingIsAnnounced) {
  auto process = Start("-Dservice.returnAtOnce=true");
  EXPECT_EQ(process->Wait(30), 0) << process->Errors() << Trace();
  EXPECT_EQ(Trace().find("READY=1"), std::string::npos) << Trace();
}

}  // namespace
}  // namespace korvan::e2e
