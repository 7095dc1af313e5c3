// KORVAN_TRACE_FILE: the trace, and a service's error lines, in a file, for
// a launcher that has no console to write to.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/launch_folder.h"

namespace korvan::e2e {
namespace {

std::string ReadText(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

struct TraceFileCase {
  const char* name;
  const char* application_type;
  bool error_line_in_file;
};

class TraceFileTest : public testing::TestWithParam<std::tuple<Target, TraceFileCase>> {};

// No runtime is found, so each run ends at start-up: with an error line on
// Linux, with the missing-runtime dialog on Windows.
TEST_P(TraceFileTest, TakesTheTraceInsteadOfStandardError) {
  const auto& [target, kind] = GetParam();
  KORVAN_SKIP_UNLESS_RUNNABLE(target);
  LaunchFolder folder(target);
  folder.WriteSettings(std::string("[Java Runtime Environment]\n"
                                   "JRE Path=") + folder.NativePath("nowhere") + "\n"
                       "Main Class=com.example.App\n"
                       "Minimum Version=99\n"
                       "[Application]\n"
                       "Application Type=" + kind.application_type + "\n");
  ProcessOptions options;
  options.environment["KORVAN_TRACE_FILE"] = folder.NativePath("trace.txt");
  options.unset.push_back("KORVAN_TRACE");
  const ProcessResult result = folder.Run({}, options);
  ASSERT_FALSE(result.timed_out);
  EXPECT_EQ(result.exit_code, 255);

  const std::string trace = ReadText(folder.folder() / "trace.txt");
  EXPECT_NE(trace.find("korvan: settings file: "), std::string::npos) << trace;
  EXPECT_EQ(result.standard_error.find("korvan:"), std::string::npos) << result.standard_error;
  if (folder.windows()) {
    // Windows asks for a runtime in a dialog (cancelled here) instead of an error line.
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
                                     TraceFileCase{"Service", "service", true})),
    [](const auto& info) {
      return std::get<0>(info.param).name + std::string(std::get<1>(info.param).name);
    });

}  // namespace
}  // namespace korvan::e2e
