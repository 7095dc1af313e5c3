// A link planted where the launcher writes a cache file (a seal, a failure
// mark) is replaced, never followed to the file it names.
#include "platform/cache_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

namespace korvan::platform {
namespace {

TEST(CacheFilesTest, NewFileReplacesAPlantedLinkForThisUserAlone) {
  const std::filesystem::path folder = std::filesystem::path(testing::TempDir()) / "korvan-cache-files";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  std::ofstream(folder / "victim") << "kept";
  std::filesystem::create_symlink(folder / "victim", folder / "x.seal");
  ASSERT_TRUE(WriteNewCacheFile((folder / "x.seal").wstring(), "10 20\n"));
  struct stat link {}, victim {};
  ASSERT_EQ(lstat((folder / "x.seal").c_str(), &link), 0);
  ASSERT_EQ(stat((folder / "victim").c_str(), &victim), 0);
  EXPECT_TRUE(S_ISREG(link.st_mode));
  EXPECT_EQ(link.st_mode & 0777, 0600u);
  EXPECT_EQ(link.st_size, 6);
  EXPECT_EQ(victim.st_size, 4);
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace korvan::platform
