// Files and folders of this user only, against the real file system: the
// private file a secret is handed over in, and the per-user roots taken from
// the environment, which must be this user's own.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "platform/private_file.h"
#include "platform/text.h"
#include "platform/user_roots.h"

namespace korvan {
namespace {

namespace fs = std::filesystem;

mode_t ModeOf(const fs::path& path) {
  struct stat status {};
  return lstat(path.c_str(), &status) == 0 ? status.st_mode & 07777 : 0;
}

class OwnFolderTest : public testing::Test {
 protected:
  ~OwnFolderTest() override { fs::remove_all(base_); }
  fs::path base_ = [] {
    std::string name = (fs::temp_directory_path() / "korvan-private-XXXXXX").string();
    return fs::path(mkdtemp(name.data()));
  }();
};

TEST_F(OwnFolderTest, PrivateFolderAndFileAreTheOwnersAloneWhateverTheUmask) {
  const mode_t saved = umask(0);
  const std::wstring folder = platform::MakePrivateFolder(base_.wstring(), L"p-");
  const std::wstring other = platform::MakePrivateFolder(base_.wstring(), L"p-");
  const fs::path file = fs::path(folder) / "secret";
  const bool written = platform::WriteNewPrivateFile(file.wstring(), "pass");
  umask(saved);
  ASSERT_FALSE(folder.empty());
  EXPECT_NE(folder, other);
  EXPECT_EQ(ModeOf(folder), 0700u);
  ASSERT_TRUE(written);
  EXPECT_EQ(ModeOf(file), 0600u);
  std::string text;
  std::getline(std::ifstream(file), text);
  EXPECT_EQ(text, "pass");
}

// Whatever someone planted at the name is neither written nor followed.
TEST_F(OwnFolderTest, PrivateFileIsNeverWrittenOverOrThroughALink) {
  std::ofstream(base_ / "planted") << "theirs";
  fs::create_symlink(base_ / "planted", base_ / "link");
  fs::create_symlink(base_ / "made-through-link", base_ / "dangling");
  for (const char* name : {"planted", "link", "dangling"}) {
    EXPECT_FALSE(platform::WriteNewPrivateFile((base_ / name).wstring(), "pass")) << name;
  }
  std::string text;
  std::getline(std::ifstream(base_ / "planted"), text);
  EXPECT_EQ(text, "theirs");
  EXPECT_FALSE(fs::exists(base_ / "made-through-link"));
}

struct RootCase {
  const char* name;
  std::function<std::string(const fs::path& base)> chosen;  // $XDG_CACHE_HOME made in the base folder
  const char* expected;  // below the base folder; "" for none
  const char* why = "";  // in what is said of the refused root
  bool needs_root = false;
};

class UserRootTest : public OwnFolderTest, public testing::WithParamInterface<RootCase> {};

// $HOME is the base folder's home/, whose .cache is the default; a chosen
// root that does not do is never swapped for it.
TEST_P(UserRootTest, TakesOnlyAFolderOfThisUserThatOthersCannotWrite) {
  const RootCase& c = GetParam();
  if (c.needs_root && geteuid() != 0) GTEST_SKIP() << "only root can give a folder to another user";
  fs::create_directories(base_ / "home");
  const std::string home = getenv("HOME") ? getenv("HOME") : "";
  setenv("HOME", (base_ / "home").c_str(), 1);
  const std::string chosen = c.chosen(base_);
  setenv("XDG_CACHE_HOME", chosen.c_str(), 1);
  setenv("XDG_CONFIG_HOME", chosen.c_str(), 1);
  const platform::UserRoot cache = platform::UserCacheRoot(), settings = platform::UserSettingsRoot();
  setenv("HOME", home.c_str(), 1);
  unsetenv("XDG_CACHE_HOME");
  unsetenv("XDG_CONFIG_HOME");
  const std::string expected = *c.expected ? (base_ / c.expected).string() : "";
  EXPECT_EQ(platform::NarrowFromWide(cache.path), expected);
  const bool fallback = std::string(c.expected) == "home/.cache";
  EXPECT_EQ(platform::NarrowFromWide(settings.path), fallback ? (base_ / "home/.config").string() : expected);
  const std::string said = cache.passed_over.empty() ? "" : platform::NarrowFromWide(cache.passed_over[0]);
  EXPECT_NE(said.find(c.why), std::string::npos) << said;
  EXPECT_EQ(settings.passed_over.size(), cache.passed_over.size());
  EXPECT_EQ(cache.passed_over.empty(), *c.why == 0);
}

std::string Folder(const fs::path& path, fs::perms permissions, uid_t owner = getuid()) {
  fs::create_directories(path);
  fs::permissions(path, permissions, fs::perm_options::replace);
  EXPECT_EQ(lchown(path.c_str(), owner, owner), 0);
  return path.string();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UserRootTest,
    testing::Values(
        RootCase{"Own", [](const fs::path& b) { return Folder(b / "own", fs::perms::owner_all); }, "own"},
        RootCase{"NotMadeYet", [](const fs::path& b) { return (b / "new/cache").string(); }, "new/cache"},
        RootCase{"OpenToOthers", [](const fs::path& b) { return Folder(b / "open", fs::perms::all); },
                 "", "has mode 0777"},
        RootCase{"OfAnotherUser", [](const fs::path& b) { return Folder(b / "theirs", fs::perms::owner_all, 4242); },
                 "", "belongs to user 4242", true},
        RootCase{"MadeInAFolderOfAnotherUser",
                 [](const fs::path& b) { return Folder(b / "theirs", fs::perms::owner_all, 4242) + "/cache"; },
                 "", "would be made in", true},
        RootCase{"LinkOfAnotherUser",
                 [](const fs::path& b) {
                   fs::create_symlink(Folder(b / "own", fs::perms::owner_all), b / "link");
                   EXPECT_EQ(lchown((b / "link").c_str(), 4242, 4242), 0);
                   return (b / "link").string();
                 },
                 "", "symbolic link of user 4242", true},
        RootCase{"Relative", [](const fs::path&) { return std::string("cache"); }, "home/.cache", "not an absolute"},
        RootCase{"DefaultOpenToOthers",
                 [](const fs::path& b) {
                   Folder(b / "home", fs::perms::all);
                   return std::string();
                 },
                 "", "$HOME/.cache"}),
    [](const testing::TestParamInfo<RootCase>& info) { return info.param.name; });

}  // namespace
}  // namespace korvan
