#include <gtest/gtest.h>

#include "support/launch_folder.h"

namespace korvan::e2e {
namespace {

class LaunchSkeletonTest : public TargetTest {};

TEST_P(LaunchSkeletonTest, TracesTheSettingsFileBesideTheLauncher) {
  LaunchFolder folder(GetParam(), "Sample.App");
  ProcessOptions options;
  options.environment["KORVAN_TRACE"] = "1";
  const ProcessResult result = folder.Run({}, options);
  ASSERT_FALSE(result.timed_out);
  const std::string settings = folder.windows() ? "Sample.App.ini" : "Sample.ini";
  EXPECT_NE(result.standard_error.find(
                folder.Lines("korvan: settings file: " + folder.NativePath(settings) + "\n")),
            std::string::npos)
      << result.standard_error;
}

TEST_P(LaunchSkeletonTest, TraceIsSilentUnlessAskedFor) {
  LaunchFolder folder(GetParam());
  const ProcessResult result = folder.Run({"a", "b"}, ProcessOptions{{}, {}, {"KORVAN_TRACE"}});
  ASSERT_FALSE(result.timed_out);
  EXPECT_EQ(result.standard_error.find("korvan:"), std::string::npos) << result.standard_error;
}

INSTANTIATE_TEST_SUITE_P(Targets, LaunchSkeletonTest, testing::ValuesIn(AllTargets()), TargetName);

}  // namespace
}  // namespace korvan::e2e
