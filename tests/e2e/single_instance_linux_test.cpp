// The single-instance guard of the Linux launcher with the real VM: a second
// start hands its arguments to the running first one over a Unix domain
// socket and ends with the reply.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <set>
#include <sstream>
#include <thread>

#include "support/launch_folder.h"
#include "support/real_runtimes.h"
#include "support/text_checks.h"

namespace korvan::e2e {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const std::string kProbeJar = std::string(KORVAN_JAVA_TESTS_DIR) + "/probe.jar";

std::size_t Finished(const std::vector<std::future<ProcessResult>>& runs) {
  std::size_t finished = 0;
  for (const auto& run : runs) finished += run.wait_for(0s) == std::future_status::ready;
  return finished;
}

bool WaitFor(const std::function<bool()>& condition) {
  const auto deadline = std::chrono::steady_clock::now() + 30s;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(5ms);
  }
  return true;
}

// One launcher copy whose main class waits in main until the test stops it.
class SingleLauncher {
 public:
  SingleLauncher(const fs::path& runtime_folder, const RealRuntime& jre,
                 const std::string& main_class, const std::string& single_instance = "yes",
                 const std::string& type = "")
      : runtime_folder_(runtime_folder), folder_(jre.target) {
    folder_.WriteSettings("[Java Runtime Environment]\nJRE Path=" + jre.home +
                          "\nMain Class=" + main_class +
                          "\n[Class Path]\nClass Path=" + kProbeJar +
                          "\n[Application]\nSingle Instance=" + single_instance +
                          "\nApplication Type=" + type + "\n");
    fs::create_directories(markers());
  }

  fs::path markers() const { return folder_.folder() / "markers"; }

  ProcessResult Run(const std::vector<std::string>& arguments) const {
    ProcessOptions options;
    options.environment = {{"XDG_RUNTIME_DIR", runtime_folder_.string()}, {"LC_ALL", "C.UTF-8"},
                           {"TMPDIR", folder_.folder().string()},
                           {"XDG_CACHE_HOME", (folder_.folder() / "cache").string()}};
    options.time_limit_seconds = 30;
    return folder_.Run(arguments, options);
  }

  std::future<ProcessResult> RunLater(const std::vector<std::string>& arguments) const {
    return std::async(std::launch::async, [this, arguments] { return Run(arguments); });
  }

  // Starts the first instance and waits until its main runs.
  testing::AssertionResult StartFirst(const std::vector<std::string>& more = {}) {
    std::vector<std::string> arguments{markers().string()};
    arguments.insert(arguments.end(), more.begin(), more.end());
    first_ = RunLater(arguments);
    if (WaitFor([&] { return fs::exists(markers() / "main-started"); })) {
      return testing::AssertionSuccess();
    }
    return testing::AssertionFailure() << "main did not start";
  }

  // Lets the first instance's main end, with System.exit(code) when a code is given.
  ProcessResult StopFirst(const std::string& code = "") {
    // Whole or not at all: the application reads the file as soon as it exists.
    std::ofstream(markers() / "stop.partial") << code;
    std::filesystem::rename(markers() / "stop.partial", markers() / "stop");
    return first_.get();
  }

  std::future<ProcessResult>& first() { return first_; }

 private:
  fs::path runtime_folder_;
  LaunchFolder folder_;
  std::future<ProcessResult> first_;
};

class SingleInstanceLinuxTest : public testing::Test {
 protected:
  SingleInstanceLinuxTest() {
    fs::create_directories(runtime_folder_);
    fs::permissions(runtime_folder_, fs::perms::owner_all, fs::perm_options::replace);
  }
  ~SingleInstanceLinuxTest() override { fs::remove_all(runtime_folder_.parent_path()); }

  static int Serial() {
    static int serial = 0;
    return ++serial;
  }

  fs::path runtime_folder_ = fs::temp_directory_path() /
                             ("korvan-run-" + std::to_string(getpid()) + "-" +
                              std::to_string(Serial())) /
                             "run";
  RealRuntime runtime_{Target{TargetKind::Linux, "Linux"}, 17, KORVAN_TEST_JDK, "Linux17"};  // the "JRE Path"
};

// The cases whose outcome is the VM's to keep: over every Linux runtime.
class SingleInstanceLinuxRuntimeTest : public SingleInstanceLinuxTest,
                                       public testing::WithParamInterface<RealRuntime> {
 protected:
  void SetUp() override {
    if (const std::string why = WhyNotRunnable(GetParam()); !why.empty()) GTEST_SKIP() << why;
    runtime_ = GetParam();
  }
};

INSTANTIATE_TEST_SUITE_P(Runtimes, SingleInstanceLinuxRuntimeTest,
                         testing::ValuesIn(WithArm64(RealRuntimesOf(TargetKind::Linux))), RuntimeName);

TEST_P(SingleInstanceLinuxRuntimeTest, VoidSecondaryMainGetsTheArgumentsAndTheSecondEndsWithZero) {
  // On Java 25 through an instance main: the single-instance rules are those of every main.
  SingleLauncher app(runtime_folder_, runtime_,
                     GetParam().line >= 25 ? "korvan.probe.SingleInstanceMain"
                                           : "korvan.probe.SingleVoid");
  ASSERT_TRUE(app.StartFirst());
  const ProcessResult second = app.Run({"a", "b"});
  EXPECT_EQ(second.exit_code, 0) << second.standard_error;
  EXPECT_EQ(second.standard_output, "");
  const ProcessResult first = app.StopFirst();
  EXPECT_EQ(first.exit_code, 0) << first.standard_error;
  EXPECT_EQ(first.standard_output, "main\nsecondary [U+0061] [U+0062]\n");
}

TEST_P(SingleInstanceLinuxRuntimeTest, ArgumentListsArriveWholeAndTheIntResultIsTheExitCode) {
  struct Case {
    std::vector<std::string> arguments;
    int exit_code;
    std::string line;
  };
  const std::vector<Case> cases = {
      {{"a", "b"}, 7, "secondary [U+0061] [U+0062]"},
      {{"a", "", "b"}, 7, "secondary [U+0061] [] [U+0062]"},
      {{}, 7, "secondary []"},
      {{"caf\u00E9", "\u65E5\u672C", "\U0001F600"}, 7,
       "secondary [U+0063U+0061U+0066U+00E9] [U+65E5U+672C] [U+1F600]"},
      {{"42", "two words"}, 42, "secondary [U+0034U+0032] [U+0074U+0077U+006FU+0020U+0077U+006FU+0072U+0064U+0073]"},
  };
  SingleLauncher app(runtime_folder_, runtime_, "korvan.probe.SingleInt");
  ASSERT_TRUE(app.StartFirst());
  std::string expected = "main\n";
  for (const Case& c : cases) {
    const ProcessResult second = app.Run(c.arguments);
    EXPECT_EQ(second.exit_code, c.exit_code) << c.line << "\n" << second.standard_error;
    expected += c.line + "\n";
  }
  // The int method replies after it returned, so the lines come in order.
  EXPECT_EQ(app.StopFirst().standard_output, expected);
}

TEST_P(SingleInstanceLinuxRuntimeTest, RequestsAreServedWhileTheApplicationRunsOnAfterMainReturned) {
  SingleLauncher app(runtime_folder_, runtime_, "korvan.probe.SingleInt");
  ASSERT_TRUE(app.StartFirst({"thread"}));
  std::this_thread::sleep_for(300ms);  // main has long returned
  EXPECT_EQ(app.Run({"a"}).exit_code, 7);
  EXPECT_EQ(app.StopFirst().standard_output, "main\nsecondary [U+0061]\n");
}

// The VM's teardown (here a shutdown hook that waits) no longer serves: a
// start then never reaches secondaryMain.
TEST_P(SingleInstanceLinuxRuntimeTest, ARequestDuringTeardownIsNeverServed) {
  SingleLauncher app(runtime_folder_, runtime_, "korvan.probe.SingleInt");
  ASSERT_TRUE(app.StartFirst({"hook"}));
  std::ofstream(app.markers() / "stop") << "";
  ASSERT_TRUE(WaitFor([&] { return fs::exists(app.markers() / "hook-running"); }));
  EXPECT_EQ(app.Run({"late"}).exit_code, 255);
  std::ofstream(app.markers() / "hook-release") << "";
  const ProcessResult first = app.first().get();
  EXPECT_EQ(first.exit_code, 0);
  EXPECT_EQ(first.standard_output, "main\n");
}

TEST_P(SingleInstanceLinuxRuntimeTest, WithoutSecondaryMainTheSecondTakesTheFirstsExitCode) {
  SingleLauncher app(runtime_folder_, runtime_, "korvan.probe.SingleNone");
  ASSERT_TRUE(app.StartFirst());
  std::future<ProcessResult> second = app.RunLater({"a"});
  // Still waiting while the first runs.
  EXPECT_EQ(second.wait_for(500ms), std::future_status::timeout);
  const ProcessResult first = app.StopFirst("5");  // System.exit(5)
  EXPECT_EQ(first.exit_code, 5);
  EXPECT_EQ(second.get().exit_code, 5);
  EXPECT_EQ(first.standard_error.find("NoSuchMethodError"), std::string::npos)
      << first.standard_error;
}

TEST_P(SingleInstanceLinuxRuntimeTest, ARequestBeforeMainWaitsForTheReadyPoint) {
  SingleLauncher app(runtime_folder_, runtime_, "korvan.probe.SingleInt");
  std::future<ProcessResult> first = app.RunLater({app.markers().string()});
  // The socket exists from start-up on, long before the VM does.
  ASSERT_TRUE(WaitFor([&] {
    for (const auto& entry : fs::directory_iterator(runtime_folder_)) {
      if (entry.path().extension() == ".sock") return true;
    }
    return false;
  }));
  const bool main_ran_before = fs::exists(app.markers() / "main-started");
  const ProcessResult second = app.Run({"a"});
  EXPECT_EQ(second.exit_code, 7) << second.standard_error;
  std::ofstream(app.markers() / "stop");
  const ProcessResult result = first.get();
  EXPECT_EQ(result.standard_output, "main\nsecondary [U+0061]\n");
  EXPECT_FALSE(main_ran_before) << "the VM started too fast to show the wait";
}

TEST_F(SingleInstanceLinuxTest, CopiesInDifferentFoldersAreBothFirstInstances) {
  SingleLauncher one(runtime_folder_, runtime_, "korvan.probe.SingleVoid");
  SingleLauncher two(runtime_folder_, runtime_, "korvan.probe.SingleVoid");
  ASSERT_TRUE(one.StartFirst());
  ASSERT_TRUE(two.StartFirst());
  EXPECT_EQ(one.StopFirst().standard_output, "main\n");
  EXPECT_EQ(two.StopFirst().standard_output, "main\n");
}

struct GuardOffCase {
  const char* name;
  const char* single_instance;
  const char* application_type;
};

class SingleInstanceOffTest : public SingleInstanceLinuxTest,
                              public testing::WithParamInterface<GuardOffCase> {};

TEST_P(SingleInstanceOffTest, EveryStartRunsItsOwnApplication) {
  SingleLauncher app(runtime_folder_, runtime_, "korvan.probe.SingleVoid",
                     GetParam().single_instance, GetParam().application_type);
  if (std::string(GetParam().application_type) == "service") {
    // A service runs its own application (main ends at once: the stop file is
    // there) and must not touch the rendezvous.
    std::ofstream(app.markers() / "stop");
    EXPECT_EQ(app.Run({app.markers().string()}).exit_code, 0);
  } else {
    ASSERT_TRUE(app.StartFirst());
    const fs::path other = app.markers() / "other";
    fs::create_directories(other);
    std::ofstream(other / "stop");
    const ProcessResult second = app.Run({other.string()});
    EXPECT_EQ(second.standard_output, "main\n");
    EXPECT_EQ(second.exit_code, 0);
    app.StopFirst();
  }
  EXPECT_TRUE(fs::is_empty(runtime_folder_));
}

INSTANTIATE_TEST_SUITE_P(Cases, SingleInstanceOffTest,
                         testing::Values(GuardOffCase{"CapitalYes", "Yes", ""},
                                         GuardOffCase{"Absent", "", ""},
                                         GuardOffCase{"Service", "yes", "service"}),
                         [](const testing::TestParamInfo<GuardOffCase>& info) {
                           return info.param.name;
                         });

TEST_F(SingleInstanceLinuxTest, TenSecondInstancesAtOnceAllGetTheirReplies) {
  SingleLauncher app(runtime_folder_, runtime_, "korvan.probe.SingleInt");
  ASSERT_TRUE(app.StartFirst());
  std::vector<std::future<ProcessResult>> seconds;
  for (int i = 0; i < 10; ++i) seconds.push_back(app.RunLater({std::to_string(20 + i)}));
  for (int i = 0; i < 10; ++i) EXPECT_EQ(seconds[i].get().exit_code, 20 + i) << i;
  std::istringstream lines(app.StopFirst().standard_output);
  std::multiset<std::string> received;
  for (std::string line; std::getline(lines, line);) received.insert(line);
  std::multiset<std::string> expected = {"main"};
  for (int i = 0; i < 10; ++i) {
    const std::string digits = std::to_string(20 + i);
    expected.insert("secondary [U+003" + digits.substr(0, 1) + "U+003" + digits.substr(1) + "]");
  }
  EXPECT_EQ(received, expected);
}

TEST_F(SingleInstanceLinuxTest, StartsAtTheSameMomentMakeExactlyOneFirstInstance) {
  SingleLauncher app(runtime_folder_, runtime_, "korvan.probe.SingleInt");
  std::vector<std::future<ProcessResult>> starts;
  for (int i = 0; i < 6; ++i) starts.push_back(app.RunLater({app.markers().string()}));
  // Every start but the first ends with its reply; a start after the first
  // instance ended would be a first instance of its own.
  EXPECT_TRUE(WaitFor([&] { return Finished(starts) == starts.size() - 1; }));
  std::ofstream(app.markers() / "stop");
  int firsts = 0;
  for (auto& start : starts) {
    const ProcessResult result = start.get();
    if (result.standard_output.rfind("main\n", 0) == 0) {
      ++firsts;
      EXPECT_EQ(result.exit_code, 0);
    } else {
      EXPECT_EQ(result.exit_code, 7) << result.standard_error;  // served as a second instance
    }
  }
  EXPECT_EQ(firsts, 1);
}

TEST_F(SingleInstanceLinuxTest, SocketOfAKilledFirstInstanceIsReplaced) {
  SingleLauncher app(runtime_folder_, runtime_, "korvan.probe.SingleInt");
  ASSERT_TRUE(app.StartFirst());
  const pid_t pid = std::stoi(ReadText(app.markers() / "main-started"));
  ASSERT_EQ(kill(pid, SIGKILL), 0);
  app.first().get();
  fs::remove(app.markers() / "main-started");
  // The socket file is left behind; the next start is the first instance again.
  ASSERT_TRUE(app.StartFirst());
  EXPECT_EQ(app.Run({"9"}).exit_code, 9);
  EXPECT_EQ(app.StopFirst().standard_output, "main\nsecondary [U+0039]\n");
}

// Sends `request` to the socket at `path` as a hostile second instance would
// and returns every byte that comes back until the first instance hangs up.
std::string Exchange(const fs::path& path, const std::string& request) {
  const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
  std::string answer;
  if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
      send(fd, request.data(), request.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(request.size())) {
    shutdown(fd, SHUT_WR);  // a request cut short ends here
    char buffer[64];
    for (ssize_t got; (got = recv(fd, buffer, sizeof buffer, 0)) > 0;) answer.append(buffer, got);
  } else {
    answer = "<no connection>";
  }
  close(fd);
  return answer;
}

// The whole literal, zero bytes included.
template <std::size_t N>
std::string Bytes(const char (&literal)[N]) {
  return std::string(literal, N - 1);
}

TEST_F(SingleInstanceLinuxTest, RequestsThatAreNoArgumentListNeverReachTheApplication) {
  struct Case {
    std::string request;
    std::string answer;  // "" when the first instance hangs up at once
  };
  const std::vector<Case> cases = {
      {Bytes("XXXX\x01\0\0\0a"), ""},                     // not this protocol
      {Bytes("KVN1\xFF\xFF\xFF\xFF"), ""},                // an area beyond any bound
      {Bytes("KVN1\x64\0\0\0short"), ""},                 // cut short
      // A whole request that holds no list: unanswered until the first ends.
      {Bytes("KVN1\x08\0\0\0\xFF\xFF\xFF\xFF\0\0\0\0"), Bytes("E\x04\0\0\0")},
  };
  SingleLauncher app(runtime_folder_, runtime_, "korvan.probe.SingleInt");
  ASSERT_TRUE(app.StartFirst());
  fs::path socket_path;
  for (const auto& entry : fs::directory_iterator(runtime_folder_)) {
    if (entry.path().extension() == ".sock") socket_path = entry.path();
  }
  std::vector<std::future<std::string>> answers;
  for (const Case& c : cases) {
    answers.push_back(std::async(std::launch::async, Exchange, socket_path, c.request));
  }
  // The first instance still serves a real request whole.
  EXPECT_EQ(app.Run({"a"}).exit_code, 7);
  EXPECT_EQ(app.StopFirst("4").standard_output, "main\nsecondary [U+0061]\n");
  for (std::size_t i = 0; i < cases.size(); ++i) EXPECT_EQ(answers[i].get(), cases[i].answer) << i;
}

struct UnsuitableFolderCase {
  const char* name;
  std::string subfolder;  // below the test's runtime folder
  fs::perms permissions;
  fs::perms squatted = fs::perms::none;  // of korvan-<uid> in the temporary folder, made before
  uid_t squatter = getuid();             // its owner
};

class UnsuitableRuntimeFolderTest : public SingleInstanceLinuxTest,
                                    public testing::WithParamInterface<UnsuitableFolderCase> {};

// To korvan-<uid> in $TMPDIR, or to the cache folder when that one is not its own.
TEST_P(UnsuitableRuntimeFolderTest, GuardMovesToAFolderOfItsOwn) {
  const UnsuitableFolderCase& c = GetParam();
  const fs::path unsuitable = runtime_folder_ / c.subfolder;
  fs::create_directories(unsuitable);
  fs::permissions(unsuitable, c.permissions, fs::perm_options::replace);
  if (c.squatter != getuid() && geteuid() != 0) GTEST_SKIP() << "only root can give a folder to another user";
  SingleLauncher app(unsuitable, runtime_, "korvan.probe.SingleInt");
  const fs::path temporary = app.markers().parent_path() / ("korvan-" + std::to_string(getuid()));
  if (c.squatted != fs::perms::none) {
    fs::create_directory(temporary);
    fs::permissions(temporary, c.squatted, fs::perm_options::replace);
    ASSERT_EQ(chown(temporary.c_str(), c.squatter, c.squatter), 0);
  }
  ASSERT_TRUE(app.StartFirst());
  const fs::path expected = c.squatted == fs::perms::none ? temporary : temporary / "../cache/korvan/instance";
  EXPECT_TRUE(fs::exists(expected) && !fs::is_empty(expected)) << "no socket in " << expected;
  EXPECT_EQ(app.Run({"3"}).exit_code, 3);
  app.StopFirst();
  EXPECT_TRUE(fs::is_empty(unsuitable));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnsuitableRuntimeFolderTest,
    testing::Values(
        // A socket address holds 107 bytes at most.
        UnsuitableFolderCase{"TooLongForASocketAddress", std::string(90, 'x'), fs::perms::owner_all},
        UnsuitableFolderCase{"OpenToOthers", "open", fs::perms::all},
        UnsuitableFolderCase{"TemporaryOneOpenToOthers", "open", fs::perms::all, fs::perms::all},
        UnsuitableFolderCase{"TemporaryOneOfAnotherUser", "open", fs::perms::all, fs::perms::owner_all, 4242}),
    [](const testing::TestParamInfo<UnsuitableFolderCase>& info) { return info.param.name; });

}  // namespace
}  // namespace korvan::e2e
