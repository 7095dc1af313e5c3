// Where a chosen runtime folder is remembered: a service in its settings file,
// an application in its per-user settings file.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>

#include "settings/runtime_memory.h"
#include "settings/settings_source.h"

namespace korvan {
namespace {

namespace fs = std::filesystem;

class RuntimeMemoryTest : public testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/korvan-runtime-memory-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder_ = pattern;
    source_.launcher_path = (folder_ / "bin/app").wstring();
    source_.file_path = (folder_ / "bin/app.ini").wstring();
    fs::create_directories(folder_ / "bin");
    fs::create_directories(folder_ / "config");  // the root is never made, only the two levels below
    settings_.product_name = L"Product";
    settings_.product_code = L"code";
    setenv("XDG_CONFIG_HOME", (folder_ / "config").c_str(), 1);
  }
  void TearDown() override { fs::remove_all(folder_); }

  fs::path folder_;
  SettingsSource source_;
  LaunchSettings settings_;
};

TEST_F(RuntimeMemoryTest, AServiceWritesItsSettingsFileItself) {
  settings_.service = true;
  ASSERT_TRUE(RememberRuntimeFolder(source_, settings_, L"/opt/jre/"));
  EXPECT_EQ(ReadProfileString(source_.file_path, L"Java Runtime Environment", L"JRE Path"),
            L"/opt/jre/");
  EXPECT_FALSE(fs::exists(folder_ / "config/Product"));
}

TEST_F(RuntimeMemoryTest, AnApplicationWritesItsPerUserFile) {
  ASSERT_TRUE(RememberRuntimeFolder(source_, settings_, L"/opt/jre/"));
  const fs::path user_file = folder_ / "config/Product/code/app.ini";
  EXPECT_EQ(ReadProfileString(user_file.wstring(), L"Java Runtime Environment", L"JRE Path"),
            L"/opt/jre/");
  EXPECT_FALSE(fs::exists(source_.file_path));
}

TEST_F(RuntimeMemoryTest, NothingIsWrittenWithoutASettingsFile) {
  source_.file_path.clear();
  settings_.service = true;
  EXPECT_FALSE(RememberRuntimeFolder(source_, settings_, L"/opt/jre/"));
  EXPECT_TRUE(RuntimeMemoryFile(source_, settings_, false).empty());
}

}  // namespace
}  // namespace korvan
