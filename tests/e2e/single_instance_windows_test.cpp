// The single-instance guard of the Windows launcher under Wine: two real
// launcher processes meet through the named shared block and thread
// messages; a real runtime runs secondaryMain, and the recording test JVM
// plays it where a case needs what no real VM does on demand.
#include <gtest/gtest.h>

#include <algorithm>
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

const fs::path kFixtures = fs::path(KORVAN_WINDOWS_BUILD_DIR) / "fixtures";

std::vector<std::string> RecordLines(const fs::path& path, const std::string& prefix) {
  std::ifstream file(path, std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(file, line);) {
    if (line.compare(0, prefix.size(), prefix) == 0) lines.push_back(line);
  }
  return lines;
}

std::size_t Finished(const std::vector<std::future<ProcessResult>>& runs) {
  std::size_t finished = 0;
  for (const auto& run : runs) finished += run.wait_for(0s) == std::future_status::ready;
  return finished;
}

// The rendezvous' object name of the launcher in `folder`.
std::string InstanceNameOf(const LaunchFolder& folder) {
  std::string name = folder.NativePath(folder.launcher().filename().string());
  std::replace(name.begin(), name.end(), '\\', '_');
  return name;
}

bool WaitFor(const std::function<bool()>& condition) {
  const auto deadline = std::chrono::steady_clock::now() + 60s;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(10ms);
  }
  return true;
}

class SingleInstanceWindowsTest : public testing::Test {
 protected:
  // `behaviour`: the test JVM's options; its main waits for the stop file.
  void Configure(const std::string& behaviour, LaunchFolder& folder) {
    folder.WriteFile("jre/bin/java.dll", "");
    fs::create_directories(folder.folder() / "jre/bin/server");
    fs::copy_file(kFixtures / "test_jvm.dll", folder.folder() / "jre/bin/server/jvm.dll",
                  fs::copy_options::overwrite_existing);
    folder.WriteSettings("[Java Runtime Environment]\nJRE Path=" + folder.NativePath("jre") +
                         "\nMain Class=com.example.App\nVirtual Machine Parameters=-Dtestjvm.main=wait " +
                         behaviour + "\n[Class Path]\nClass Path=app.jar\n[Application]\nSingle Instance=yes\n");
  }

  ProcessOptions Options(const LaunchFolder& folder) const {
    ProcessOptions options;
    options.environment = {{"KORVAN_TEST_JVM_RECORD", folder.NativePath("record.txt")},
                           {"KORVAN_TEST_JVM_STOP", folder.NativePath("stop")}};
    options.time_limit_seconds = 60;
    return options;
  }

  std::future<ProcessResult> RunLater(const LaunchFolder& folder, std::vector<std::string> arguments) {
    return std::async(std::launch::async, [this, &folder, arguments] {
      return folder.Run(arguments, Options(folder));
    });
  }

  std::vector<std::string> Record(const std::string& prefix, const LaunchFolder& folder) const {
    return RecordLines(folder.folder() / "record.txt", prefix);
  }

  // Starts the first instance and waits until its main runs.
  std::future<ProcessResult> StartFirst(const LaunchFolder& folder) {
    std::future<ProcessResult> first = RunLater(folder, {});
    EXPECT_TRUE(WaitFor([&] { return !Record("main com/example/App", folder).empty(); }));
    return first;
  }

  ProcessResult Stop(std::future<ProcessResult>& first, const LaunchFolder& folder,
                     const std::string& code = "") {
    // Whole or not at all: the application reads the file as soon as it exists.
    folder.WriteFile("stop.partial", code);
    fs::rename(folder.folder() / "stop.partial", folder.folder() / "stop");
    return first.get();
  }

  LaunchFolder folder_{Target{TargetKind::Windows, "Windows"}};
};

// A first instance on a real runtime: a korvan.probe.Single* class whose main
// waits until the file "stop" appears in the launch folder (a number in it
// becomes its System.exit code).
class RealVmSingleInstanceWindowsTest : public SingleInstanceWindowsTest {
 protected:
  void SetUp() override {
    if (const std::string why = WhyNotRunnable(runtime_); !why.empty()) GTEST_SKIP() << why;
  }

  std::future<ProcessResult> StartFirst(const std::string& main_class) {
    folder_.WriteSettings("[Java Runtime Environment]\nJRE Path=" + LauncherPath(runtime_) +
                          "\nMain Class=" + main_class + "\nVirtual Machine Parameters=" +
                          WineVmOptions(runtime_) + "\n[Class Path]\nClass Path=" +
                          WinePath(fs::path(KORVAN_JAVA_TESTS_DIR) / "probe.jar") +
                          "\n[Application]\nSingle Instance=yes\n");
    std::future<ProcessResult> first = RunLater(folder_, {folder_.NativePath()});
    EXPECT_TRUE(WaitFor([&] { return fs::exists(folder_.folder() / "main-started"); }));
    return first;
  }

  RealRuntime runtime_ = NewestRuntime(TargetKind::Windows);
};

class SingleInstanceRuntimeTest : public RealVmSingleInstanceWindowsTest,
                                  public testing::WithParamInterface<RealRuntime> {
 protected:
  void SetUp() override {
    runtime_ = GetParam();
    RealVmSingleInstanceWindowsTest::SetUp();
  }
};

TEST_P(SingleInstanceRuntimeTest, ArgumentListsArriveWholeAndTheIntResultIsTheExitCode) {
  struct Case {
    std::vector<std::string> arguments;
    int exit_code;
    std::string line;  // what secondaryMain got, as code points
  };
  const std::vector<Case> cases = {
      {{"a", "b"}, 7, "secondary [U+0061] [U+0062]"},
      {{"a", "", "b"}, 7, "secondary [U+0061] [] [U+0062]"},
      {{}, 7, "secondary []"},
      {{"caf\u00E9", "\u65E5\u672C", "\U0001F600"}, 7,
       "secondary [U+0063U+0061U+0066U+00E9] [U+65E5U+672C] [U+1F600]"},
      {{"42", "x y"}, 42, "secondary [U+0034U+0032] [U+0078U+0020U+0079]"},
  };
  std::future<ProcessResult> first = StartFirst("korvan.probe.SingleInt");
  std::string expected = "main\n";
  for (const Case& c : cases) {
    const ProcessResult second = folder_.Run(c.arguments, Options(folder_));
    EXPECT_EQ(second.exit_code, c.exit_code) << c.line << "\n" << second.standard_output;
    EXPECT_EQ(second.standard_output, "");
    expected += c.line + "\n";
  }
  // The int method replies after it returned, so the lines come in order.
  const ProcessResult result = Stop(first, folder_);
  EXPECT_EQ(result.exit_code, 0) << result.standard_error;
  EXPECT_EQ(result.standard_output, folder_.Lines(expected));
}

INSTANTIATE_TEST_SUITE_P(Runtimes, SingleInstanceRuntimeTest,
                         testing::ValuesIn(RealRuntimesOf(TargetKind::Windows)), RuntimeName);

TEST_F(RealVmSingleInstanceWindowsTest, AVoidSecondaryMainIsAnsweredZero) {
  std::future<ProcessResult> first = StartFirst("korvan.probe.SingleVoid");
  EXPECT_EQ(folder_.Run({"a", "b"}, Options(folder_)).exit_code, 0);
  EXPECT_EQ(Stop(first, folder_).standard_output,
            folder_.Lines("main\nsecondary [U+0061] [U+0062]\n"));
}

TEST_F(RealVmSingleInstanceWindowsTest, WithoutSecondaryMainTheSecondTakesTheFirstsExitCode) {
  std::future<ProcessResult> first = StartFirst("korvan.probe.SingleNone");
  std::future<ProcessResult> second = RunLater(folder_, {"a"});
  EXPECT_EQ(second.wait_for(500ms), std::future_status::timeout);
  const ProcessResult result = Stop(first, folder_, "5");
  EXPECT_EQ(result.exit_code, 5);
  EXPECT_EQ(second.get().exit_code, 5);
  // A class without secondaryMain is a normal case: no NoSuchMethodError is printed.
  EXPECT_FALSE(Contains(result.standard_error, "NoSuchMethodError")) << result.standard_error;
}

TEST_F(SingleInstanceWindowsTest, ListTooLongForTheAreaEndsTheSecondWithMinusOne) {
  Configure("-Dtestjvm.secondary=int:7", folder_);
  std::future<ProcessResult> first = StartFirst(folder_);
  const ProcessResult second = folder_.Run({std::string(1033, 'x')}, Options(folder_));
  EXPECT_EQ(second.exit_code, 255);
  EXPECT_EQ(second.standard_output, "");
  Stop(first, folder_);
  EXPECT_TRUE(Record("secondary", folder_).empty());
}

// Without the named ready event (its name taken by another kind of object),
// requests still wait for the ready point.
class ReadyPointTest : public SingleInstanceWindowsTest, public testing::WithParamInterface<bool> {};

TEST_P(ReadyPointTest, ARequestBeforeMainWaitsForTheReadyPoint) {
  Configure("-Dtestjvm.secondary=int:7 -Dtestjvm.create-delay=1500", folder_);
  std::future<ProcessResult> squatter;
  if (GetParam()) {
    squatter = std::async(std::launch::async, [&] {
      return RunUnderWine({(kFixtures / "instance-poke.exe").string(), "squat",
                           "Local\\" + InstanceNameOf(folder_) + "_evt", folder_.NativePath("squatting"),
                           folder_.NativePath("stop")});
    });
    ASSERT_TRUE(WaitFor([&] { return fs::exists(folder_.folder() / "squatting"); }));
  }
  std::future<ProcessResult> first = RunLater(folder_, {});
  // The VM's creation has begun (and lasts 1.5 s): the guard is set up already.
  ASSERT_TRUE(WaitFor([&] { return !Record("create ", folder_).empty(); }));
  const ProcessResult second = folder_.Run({"a"}, Options(folder_));
  EXPECT_EQ(second.exit_code, 7);
  Stop(first, folder_);
  // The main class is looked up before the ready point; main itself is called
  // after it, racing the request's thread, so only the lookup orders them.
  const std::vector<std::string> order = Record("", folder_);
  const auto lookup = std::find(order.begin(), order.end(), "find_class com/example/App");
  const auto secondary = std::find(order.begin(), order.end(), "secondary int [0061|a]");
  ASSERT_NE(lookup, order.end());
  ASSERT_NE(secondary, order.end());
  EXPECT_LT(lookup, secondary);
  if (GetParam()) EXPECT_EQ(squatter.get().exit_code, 0);
}

INSTANTIATE_TEST_SUITE_P(ReadyEvent, ReadyPointTest, testing::Bool(),
                         [](const auto& info) { return info.param ? "NameTaken" : "Named"; });

// Teardown stops serving before the VM goes: a request then never attaches.
TEST_F(SingleInstanceWindowsTest, ARequestDuringTeardownIsNeverServed) {
  Configure("-Dtestjvm.secondary=int:7 -Dtestjvm.destroy-delay=4000", folder_);
  std::future<ProcessResult> first = StartFirst(folder_);
  folder_.WriteFile("stop", "");
  ASSERT_TRUE(WaitFor([&] { return !Record("destroying", folder_).empty(); }));
  const ProcessResult late = folder_.Run({"late"}, Options(folder_));
  EXPECT_EQ(late.exit_code, 255);
  EXPECT_EQ(first.get().exit_code, 0);
  const std::vector<std::string> order = Record("", folder_);
  const auto destroying = std::find(order.begin(), order.end(), "destroying");
  EXPECT_EQ(std::find(destroying, order.end(), "attach"), order.end());
  EXPECT_TRUE(Record("secondary", folder_).empty());
}

// A message that is no fresh request is answered -1 and never served,
// whatever the area held: one left behind by a second instance whose copy
// timed out (its tag no longer pending), or one posted with no tag at all.
// The poster finds the area cleared once the earlier request was taken.
TEST_F(SingleInstanceWindowsTest, AMessageThatIsNoFreshRequestIsAnsweredMinusOne) {
  Configure("-Dtestjvm.secondary=int:7", folder_);
  std::future<ProcessResult> first = StartFirst(folder_);
  EXPECT_EQ(folder_.Run({"a"}, Options(folder_)).exit_code, 7);
  for (const char* tag : {"stale", "zero"}) {
    EXPECT_EQ(RunUnderWine({(kFixtures / "instance-poke.exe").string(), "post",
                            InstanceNameOf(folder_), tag}).exit_code, 255) << tag;
  }
  Stop(first, folder_);
  EXPECT_EQ(Record("secondary", folder_), std::vector<std::string>{"secondary int [0061|a]"});
}

TEST_F(SingleInstanceWindowsTest, CopiesInDifferentFoldersAreBothFirstInstances) {
  LaunchFolder other{Target{TargetKind::Windows, "Windows"}};
  Configure("-Dtestjvm.secondary=void", folder_);
  Configure("-Dtestjvm.secondary=void", other);
  std::future<ProcessResult> one = StartFirst(folder_);
  std::future<ProcessResult> two = StartFirst(other);
  EXPECT_EQ(Stop(one, folder_).exit_code, 0);
  EXPECT_EQ(Stop(two, other).exit_code, 0);
}

// The guard is keyed on the file, not on how its path was typed: another
// case or the short name meets the same first instance, and a path too long
// for the names made from it still has a guard.
class LauncherSpellingTest : public SingleInstanceWindowsTest,
                             public testing::WithParamInterface<std::string> {};

TEST_P(LauncherSpellingTest, EverySpellingOfOneLauncherMeetsOneFirstInstance) {
  Configure("-Dtestjvm.secondary=int:7", folder_);
  const std::string file = folder_.launcher().filename().string();
  std::string first_path = folder_.NativePath(file);
  if (GetParam() == "LongPath") {
    // 257 characters: past the 255 of a registered message's name.
    const std::string deep(257 - first_path.size() - 1, 'd');
    fs::create_directory(folder_.folder() / deep);
    fs::copy_file(folder_.launcher(), folder_.folder() / deep / file);
    const std::string settings = folder_.launcher().stem().string() + ".ini";
    fs::copy_file(folder_.folder() / settings, folder_.folder() / deep / settings);
    first_path = folder_.NativePath(deep + "/" + file);
    ASSERT_EQ(first_path.size(), 257u);
  }
  std::string second_path = first_path;
  if (GetParam() == "LowerCase") {
    std::transform(second_path.begin(), second_path.end(), second_path.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  } else if (GetParam() == "ShortName") {
    const ProcessResult short_name =
        RunUnderWine({"cmd", "/c", "for %I in (" + first_path + ") do @echo %~sI"});
    second_path = short_name.standard_output.substr(0, short_name.standard_output.find('\r'));
  }
  ASSERT_NE(second_path, GetParam() == "LongPath" ? "" : first_path);
  std::future<ProcessResult> first = std::async(std::launch::async, [&] {
    return RunUnderWine({first_path}, Options(folder_));
  });
  ASSERT_TRUE(WaitFor([&] { return !Record("main com/example/App", folder_).empty(); }));
  EXPECT_EQ(RunUnderWine({second_path, "x"}, Options(folder_)).exit_code, 7) << second_path;
  EXPECT_EQ(Stop(first, folder_).exit_code, 0);
  EXPECT_EQ(Record("main com/example/App", folder_).size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Spellings, LauncherSpellingTest,
                         testing::Values("LowerCase", "ShortName", "LongPath"),
                         [](const auto& info) { return info.param; });

TEST_F(SingleInstanceWindowsTest, SecondInstancesStartedAtOnceAllGetTheirReplies) {
  Configure("-Dtestjvm.secondary=int:7", folder_);
  std::future<ProcessResult> first = StartFirst(folder_);
  constexpr int kSeconds = 10;
  std::vector<std::future<ProcessResult>> seconds;
  for (int i = 0; i < kSeconds; ++i) seconds.push_back(RunLater(folder_, {"request" + std::to_string(i)}));
  for (int i = 0; i < kSeconds; ++i) EXPECT_EQ(seconds[i].get().exit_code, 7) << i;
  Stop(first, folder_);
  // Each list arrived whole and once: none was overwritten by another.
  std::set<std::string> received;
  for (const std::string& line : Record("secondary", folder_)) received.insert(line);
  EXPECT_EQ(received.size(), static_cast<std::size_t>(kSeconds));
  for (int i = 0; i < kSeconds; ++i) {
    const std::string text = "request" + std::to_string(i);
    EXPECT_EQ(std::count_if(received.begin(), received.end(),
                            [&](const std::string& line) { return line.find("|" + text + "]") != std::string::npos; }),
              1) << text;
  }
}

TEST_F(SingleInstanceWindowsTest, StartsAtTheSameMomentMakeExactlyOneFirstInstance) {
  Configure("-Dtestjvm.secondary=int:7", folder_);
  std::vector<std::future<ProcessResult>> starts;
  for (int i = 0; i < 5; ++i) starts.push_back(RunLater(folder_, {"start"}));
  // Every start but the first ends with its reply; a start after the first
  // instance ended would be a first instance of its own.
  EXPECT_TRUE(WaitFor([&] { return Finished(starts) == starts.size() - 1; }));
  folder_.WriteFile("stop", "");
  int sevens = 0;
  for (auto& start : starts) sevens += start.get().exit_code == 7;
  EXPECT_EQ(Record("main com/example/App", folder_).size(), 1u);
  EXPECT_EQ(sevens, 4);
}

// A process that made the rendezvous first (a squatter) never gets a second
// start's arguments nor says how it ends. The start runs on its own when the
// objects have another owner or the published process (waited for) is not
// this launcher; a header whose process did not publish it (a process id
// reused) is never posted to, and the start ends with -1.
struct SquatterCase {
  std::string hold_mode;  // instance-poke hold's last argument
  int exit_code;          // of the second start; 0: it ran the application
  std::string trace;
};

class SquatterTest : public SingleInstanceWindowsTest,
                     public testing::WithParamInterface<SquatterCase> {};

TEST_P(SquatterTest, GetsNoArgumentsAndNoSayInTheExitCode) {
  const SquatterCase& c = GetParam();
  Configure("", folder_);
  std::future<ProcessResult> holder = std::async(std::launch::async, [&] {
    return RunUnderWine({(kFixtures / "instance-poke.exe").string(), "hold",
                         InstanceNameOf(folder_), folder_.NativePath("holding"), "1000", "11",
                         c.hold_mode});
  });
  ASSERT_TRUE(WaitFor([&] { return fs::exists(folder_.folder() / "holding"); }));
  ProcessOptions options = Options(folder_);
  options.environment["KORVAN_TRACE"] = "1";
  std::future<ProcessResult> second = std::async(std::launch::async, [&] {
    return folder_.Run({"--token=SECRET-123", "C:\\Users\\me\\report.docx"}, options);
  });
  if (c.exit_code == 0) {
    EXPECT_TRUE(WaitFor([&] { return !Record("main com/example/App", folder_).empty(); }));
    folder_.WriteFile("stop", "");
  }
  const ProcessResult result = second.get();
  EXPECT_EQ(result.exit_code, c.exit_code);
  EXPECT_TRUE(Contains(result.standard_error, c.trace)) << result.standard_error;
  fs::remove(folder_.folder() / "holding");
  EXPECT_EQ(holder.get().exit_code, 4);  // 5: its area held the arguments
}

INSTANTIATE_TEST_SUITE_P(
    Identity, SquatterTest,
    testing::Values(SquatterCase{"self", 0, "not this launcher"},
                    SquatterCase{"admins", 0, "cannot be set up"},
                    SquatterCase{"other", 255, "could not be handed"}),
    [](const auto& info) { return info.param.hold_mode; });

TEST_F(SingleInstanceWindowsTest, AreasThatHoldNoArgumentListNeverReachTheApplication) {
  Configure("-Dtestjvm.secondary=int:7", folder_);
  std::future<ProcessResult> first = StartFirst(folder_);
  const std::string name = InstanceNameOf(folder_);
  std::vector<std::string> expected;
  // Counts of 0xFFFFFFFF, 0x41414141 and 0x01010101 arguments in 1040 bytes.
  for (const char* fill : {"255", "65", "1"}) {
    const ProcessResult poke =
        RunUnderWine({(kFixtures / "instance-poke.exe").string(), name, fill});
    EXPECT_EQ(poke.exit_code, 0) << fill;
    // The first instance is still there and serves the next request whole.
    const ProcessResult second = folder_.Run({std::string("after ") + fill}, Options(folder_));
    EXPECT_EQ(second.exit_code, 7) << fill;
  }
  EXPECT_EQ(Stop(first, folder_).exit_code, 0);
  const std::vector<std::string> served = Record("secondary", folder_);
  ASSERT_EQ(served.size(), 3u);
  EXPECT_NE(served[0].find("|after 255]"), std::string::npos) << served[0];
  EXPECT_NE(served[2].find("|after 1]"), std::string::npos) << served[2];
}

}  // namespace
}  // namespace korvan::e2e
