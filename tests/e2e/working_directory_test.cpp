// "Override WorkingDir": with "Yes" in any letter case the launcher works in
// its own folder before the runtime search, so a relative "JRE Path" is found
// beside the launcher even when it was started from elsewhere, and so is a
// relative "Main Jar".
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/launch_folder.h"

namespace korvan::e2e {
namespace {

namespace fs = std::filesystem;

struct OverrideCase {
  const char* value;
  bool moves_to_launcher_folder;
};

class WorkingDirectoryTest : public TargetTest {};

TEST_P(WorkingDirectoryTest, OverrideMovesToTheLauncherFolderBeforeTheSearch) {
  const OverrideCase cases[] = {{"Yes", true}, {"yes", true}, {"YES", true},
                                {"No", false}, {"Y", false}, {"", false}};
  for (const OverrideCase& override_case : cases) {
    SCOPED_TRACE(std::string("Override WorkingDir=") + override_case.value);
    LaunchFolder folder(GetParam());
    const std::string library = folder.windows() ? "rt/bin/client/jvm.dll" : "rt/lib/server/libjvm.so";
    folder.WriteFile(library, "");
    fs::copy_file(std::string(KORVAN_JAVA_TESTS_DIR) + "/mainjar.jar", folder.folder() / "app.jar");
    const std::string main_jar = override_case.moves_to_launcher_folder ? "Main Jar=app.jar\n" : "";
    folder.WriteSettings("[Java Runtime Environment]\nMain Class=app.Main\n" + main_jar +
                         "JRE Path=rt\n[Application]\nOverride WorkingDir=" + override_case.value +
                         "\n");
    const fs::path elsewhere = folder.folder() / "elsewhere";
    fs::create_directories(elsewhere);

    ProcessOptions options;
    options.working_directory = elsewhere.string();
    options.environment["KORVAN_TRACE"] = "1";
    options.environment["KORVAN_JVM_ROOT"] = elsewhere.string();  // no registered runtime on Linux
    const ProcessResult result = folder.Run({}, options);
    ASSERT_FALSE(result.timed_out);

    const std::string found_line = folder.Lines(
        std::string("korvan: JVM library: ") +
        (folder.windows() ? "rt\\bin\\client\\jvm.dll" : "rt/lib/server/libjvm.so") + "\n");
    const bool found = result.standard_error.find(found_line) != std::string::npos;
    EXPECT_EQ(found, override_case.moves_to_launcher_folder) << result.standard_error;
    // Linux tells it in an error line; Windows asks in the missing-runtime
    // dialog (which the launch helper cancels). Both leave it in the trace.
    if (!folder.windows()) {
      EXPECT_EQ(folder.ErrorOutput(result).find("was not found") == std::string::npos,
                override_case.moves_to_launcher_folder)
          << folder.ErrorOutput(result);
    }
    EXPECT_EQ(result.standard_error.find("korvan: no runtime qualified") == std::string::npos,
              override_case.moves_to_launcher_folder)
        << result.standard_error;
  }
}

INSTANTIATE_TEST_SUITE_P(Targets, WorkingDirectoryTest, testing::ValuesIn(AllTargets()), TargetName);

}  // namespace
}  // namespace korvan::e2e
