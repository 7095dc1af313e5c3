// This user's own files: the file a secret is handed over in, the per-user roots.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>  // umask
#include <unistd.h>

#include <filesystem>

#include "platform/private_file.h"
#include "platform/text.h"
#include "platform/user_roots.h"

namespace korvan {
namespace {

namespace fs = std::filesystem;

class OwnFilesTest : public testing::Test {
 protected:
  ~OwnFilesTest() override { fs::remove_all(base_); }
  fs::path base_ = [] {
    std::string name = (fs::temp_directory_path() / "korvan-own-XXXXXX").string();
    return fs::path(mkdtemp(name.data()));
  }();
};

TEST_F(OwnFilesTest, PrivateFileIsNewAndTheOwnersAloneWhateverTheUmask) {
  const mode_t saved = umask(0);
  const std::wstring folder = platform::MakePrivateFolder(base_.wstring(), L"p-");
  const bool written = platform::WriteNewPrivateFile(folder + L"/secret", "pass");
  umask(saved);
  EXPECT_EQ(fs::status(folder).permissions(), fs::perms::owner_all);
  ASSERT_TRUE(written);
  EXPECT_EQ(fs::status(folder + L"/secret").permissions(), fs::perms::owner_read | fs::perms::owner_write);
  // Whatever was planted at the name is neither written over nor followed.
  fs::create_symlink(base_ / "followed", base_ / "link");
  EXPECT_FALSE(platform::WriteNewPrivateFile(folder + L"/secret", "theirs"));
  EXPECT_FALSE(platform::WriteNewPrivateFile((base_ / "link").wstring(), "theirs"));
  EXPECT_FALSE(fs::exists(base_ / "followed"));
  EXPECT_EQ(fs::file_size(fs::path(folder) / "secret"), 4u);
}

struct RootCase {
  const char* name;
  const char* chosen;    // $XDG_CACHE_HOME below the base folder; "" unset ($HOME is home/), "./x" relative
  fs::perms mode;        // of its first folder (of home/ when unset or relative)
  uid_t owner;           // of that folder
  const char* expected;  // below the base folder; "" for none
  const char* why;       // in what is said of the root passed over
};

class UserRootTest : public OwnFilesTest, public testing::WithParamInterface<RootCase> {};

TEST_P(UserRootTest, TakesOnlyAFolderOfThisUserThatOthersCannotWrite) {
  const RootCase& c = GetParam();
  if (c.owner != getuid() && geteuid() != 0) GTEST_SKIP() << "only root can give a folder to another user";
  const bool absolute = *c.chosen != '\0' && *c.chosen != '.';
  const fs::path made = base_ / (absolute ? *fs::path(c.chosen).begin() : "home");
  for (const fs::path& folder : {base_ / "home", made}) fs::create_directories(folder);
  fs::permissions(made, c.mode, fs::perm_options::replace);
  ASSERT_EQ(chown(made.c_str(), c.owner, c.owner), 0);
  const std::string home = getenv("HOME") != nullptr ? getenv("HOME") : "/";
  setenv("HOME", (base_ / "home").c_str(), 1);
  setenv("XDG_CACHE_HOME", absolute ? (base_ / c.chosen).c_str() : c.chosen, 1);
  const platform::UserRoot root = platform::UserCacheRoot();
  setenv("HOME", home.c_str(), 1);
  unsetenv("XDG_CACHE_HOME");
  EXPECT_EQ(platform::NarrowFromWide(root.path), *c.expected ? (base_ / c.expected).string() : "");
  ASSERT_EQ(root.passed_over.size(), *c.why ? 1u : 0u);
  for (const std::wstring& said : root.passed_over) EXPECT_NE(said.find(platform::WideFromNarrow(c.why)), said.npos);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UserRootTest,
    testing::Values(RootCase{"Own", "own", fs::perms(0700), getuid(), "own", ""},
                    RootCase{"NotMadeYet", "new/cache", fs::perms(0700), getuid(), "new/cache", ""},
                    RootCase{"OpenToOthers", "open", fs::perms(0777), getuid(), "", "has mode 0777"},
                    RootCase{"OfAnotherUser", "theirs", fs::perms(0700), 4242, "", "belongs to user 4242"},
                    RootCase{"InAFolderOfAnotherUser", "theirs/cache", fs::perms(0700), 4242, "", "would be made in"},
                    RootCase{"Relative", "./cache", fs::perms(0700), getuid(), "home/.cache", "not an absolute path"},
                    RootCase{"DefaultOpenToOthers", "", fs::perms(0777), getuid(), "", "$HOME/.cache"}),
    [](const testing::TestParamInfo<RootCase>& info) { return info.param.name; });

}  // namespace
}  // namespace korvan
