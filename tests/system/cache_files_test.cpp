// Files of the per-user cache: a link planted where the launcher writes one
// (a seal, a failure mark) is replaced, never followed to the file it names.
#include "platform/cache_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace korvan::platform {
namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& path) {
  std::ostringstream text;
  text << std::ifstream(path, std::ios::binary).rdbuf();
  return text.str();
}

TEST(CacheFilesTest, NewFileReplacesAPlantedLinkForThisUserAlone) {
  const fs::path folder = fs::path(testing::TempDir()) / "korvan-cache-files";
  fs::remove_all(folder);
  fs::create_directories(folder);
  std::ofstream(folder / "victim") << "root's own";
  fs::create_symlink(folder / "victim", folder / "x.seal");
  ASSERT_TRUE(WriteNewCacheFile((folder / "x.seal").wstring(), "10 20\n"));
  EXPECT_EQ(Read(folder / "victim"), "root's own");
  EXPECT_FALSE(fs::is_symlink(folder / "x.seal"));
  EXPECT_EQ(Read(folder / "x.seal"), "10 20\n");
  struct stat status {};
  ASSERT_EQ(stat((folder / "x.seal").c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0600u);
  fs::remove_all(folder);
}

}  // namespace
}  // namespace korvan::platform
