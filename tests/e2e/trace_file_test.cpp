// KORVAN_TRACE_FILE: the trace, and a service's error lines, in a file, for
// a launcher that has no console to write to.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/launch_folder.h"
#include "support/text_checks.h"

namespace korvan::e2e {
namespace {

struct TraceFileCase {
  const char* name;
  const char* application_type;
  bool error_line_in_file;
  const char* trace_file = "trace.txt";  // below the launcher's folder
  bool planted_link = false;  // trace_file is a symbolic link to trace.txt
};

class TraceFileTest : public testing::TestWithParam<std::tuple<Target, TraceFileCase>> {};

// No runtime is found, so each run ends at start-up: with an error line on
// Linux and for a service, with the missing-runtime dialog otherwise.
TEST_P(TraceFileTest, TakesTheTraceInsteadOfStandardError) {
  const auto& [target, kind] = GetParam();
  KORVAN_SKIP_UNLESS_RUNNABLE(target);
  LaunchFolder folder(target);
  if (kind.planted_link && folder.windows()) GTEST_SKIP() << "no links that another user could plant on Windows";
  if (kind.planted_link) std::filesystem::create_symlink("trace.txt", folder.folder() / kind.trace_file);
  folder.WriteSettings(std::string("[Java Runtime Environment]\n"
                                   "JRE Path=") + folder.NativePath("nowhere") + "\n"
                       "Main Class=com.example.App\n"
                       "Minimum Version=99\n"
                       "[Application]\n"
                       "Application Type=" + kind.application_type + "\n");
  ProcessOptions options;
  options.environment["KORVAN_TRACE_FILE"] = folder.NativePath(kind.trace_file);
  options.unset.push_back("KORVAN_TRACE");
  const ProcessResult result = folder.Run({}, options);
  ASSERT_FALSE(result.timed_out);
  EXPECT_EQ(result.exit_code, 255);

  // A trace file that cannot be written is said once, not lost unseen.
  const std::string cannot = "korvan: cannot write the trace file";
  const std::size_t notice = result.standard_error.find(cannot);
  EXPECT_EQ(notice == std::string::npos, std::filesystem::exists(folder.folder() / "trace.txt"));
  EXPECT_EQ(result.standard_error.find(cannot, notice + 1), std::string::npos);
  if (kind.planted_link) EXPECT_NE(notice, std::string::npos) << "the trace followed a symbolic link";
  if (notice != std::string::npos) return;
  const std::string trace = ReadText(folder.folder() / "trace.txt");
  // It holds command lines: no one else may read it.
  EXPECT_TRUE(folder.windows() || std::filesystem::status(folder.folder() / "trace.txt").permissions() ==
                                      (std::filesystem::perms::owner_read | std::filesystem::perms::owner_write));
  EXPECT_NE(trace.find("korvan: settings file: "), std::string::npos) << trace;
  EXPECT_EQ(result.standard_error.find("korvan:"), std::string::npos) << result.standard_error;
  if (folder.windows() && !kind.error_line_in_file) {
    // Windows asks for a runtime in a dialog (cancelled here) instead of an
    // error line, except a service, which has no user to ask.
    EXPECT_NE(trace.find("korvan: no runtime qualified: asking the user"), std::string::npos) << trace;
    EXPECT_EQ(folder.ErrorOutput(result).find("Error: "), std::string::npos);
    return;
  }
  // The error line is where it always is; a service's also goes to the file.
  const std::string error_output = folder.ErrorOutput(result);
  ASSERT_NE(error_output.find("Error: "), std::string::npos) << error_output;
  EXPECT_EQ(trace.find("Error: ") != std::string::npos, kind.error_line_in_file) << trace;
}

INSTANTIATE_TEST_SUITE_P(
    Targets, TraceFileTest,
    testing::Combine(testing::ValuesIn(AllTargets()),
                     testing::Values(TraceFileCase{"Console", "console", false},
                                     TraceFileCase{"Service", "service", true},
                                     TraceFileCase{"MissingFolder", "console", false, "missing/trace.txt"},
                                     TraceFileCase{"PlantedLink", "console", false, "link.txt", true})),
    [](const auto& info) {
      return std::get<0>(info.param).name + std::string(std::get<1>(info.param).name);
    });

}  // namespace
}  // namespace korvan::e2e
