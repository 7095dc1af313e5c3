// The control group's memory limit, read from a file tree laid out as
// /proc/self and /sys/fs/cgroup are on the systems it must work on.
#include "platform/posix/cgroup_memory.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>

namespace korvan::platform {
namespace {

namespace fs = std::filesystem;

constexpr std::uint64_t kGiB = std::uint64_t{1} << 30;

const char* const kV2Mounts = "30 23 0:26 / /sys/fs/cgroup rw,nosuid - cgroup2 cgroup2 rw\n";
const char* const kV1Mounts =
    "31 23 0:28 / /sys/fs/cgroup rw - tmpfs tmpfs rw,mode=755\n"
    "32 31 0:29 / /sys/fs/cgroup/cpu,cpuacct rw,relatime - cgroup cgroup rw,cpu,cpuacct\n"
    "35 31 0:32 / /sys/fs/cgroup/memory rw,relatime shared:9 - cgroup cgroup rw,memory\n";
// This machine's own kind: v1 controllers beside a v2 hierarchy without them.
const char* const kHybridMounts =
    "35 31 0:32 / /sys/fs/cgroup/memory rw,relatime - cgroup cgroup rw,memory\n"
    "41 31 0:38 / /sys/fs/cgroup/unified rw,relatime - cgroup2 cgroup2 rw\n";

struct CgroupCase {
  const char* name;
  std::string cgroup;                         // proc/self/cgroup
  std::string mountinfo;                      // proc/self/mountinfo
  std::map<std::string, std::string> files;   // below the root
  std::optional<std::uint64_t> expected;
};

class CgroupMemoryLimitTest : public testing::TestWithParam<CgroupCase> {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("korvan-cgroup-" + std::to_string(getpid()));
    fs::remove_all(root_);
    Write("proc/self/cgroup", GetParam().cgroup);
    Write("proc/self/mountinfo", GetParam().mountinfo);
    for (const auto& [path, content] : GetParam().files) Write(path, content);
  }
  void TearDown() override { fs::remove_all(root_); }

  void Write(const std::string& relative, const std::string& content) {
    fs::create_directories((root_ / relative).parent_path());
    std::ofstream(root_ / relative) << content;
  }

  fs::path root_;
};

TEST_P(CgroupMemoryLimitTest, ReadsTheLowestLimitOfTheProcesssGroups) {
  EXPECT_EQ(CgroupMemoryLimit(root_.string()), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CgroupMemoryLimitTest,
    testing::Values(
        CgroupCase{"V2Container", "0::/\n", kV2Mounts,
                   {{"sys/fs/cgroup/memory.max", "2147483648\n"}}, 2 * kGiB},
        CgroupCase{"V2Unlimited", "0::/\n", kV2Mounts, {{"sys/fs/cgroup/memory.max", "max\n"}},
                   std::nullopt},
        CgroupCase{"V2ParentLimitHolds", "0::/app.slice/app.service\n", kV2Mounts,
                   {{"sys/fs/cgroup/app.slice/memory.max", "1073741824\n"},
                    {"sys/fs/cgroup/app.slice/app.service/memory.max", "max\n"}},
                   kGiB},
        CgroupCase{"V2LowerChildWins", "0::/a/b\n", kV2Mounts,
                   {{"sys/fs/cgroup/a/memory.max", "4294967296\n"},
                    {"sys/fs/cgroup/a/b/memory.max", "1073741824\n"}},
                   kGiB},
        CgroupCase{"V1Memory", "12:pids:/\n4:memory:/docker/abc\n1:cpu,cpuacct:/\n", kV1Mounts,
                   {{"sys/fs/cgroup/memory/docker/abc/memory.limit_in_bytes", "536870912\n"}},
                   kGiB / 2},
        CgroupCase{"V1UnlimitedIsAHugeFigure", "4:memory:/\n", kV1Mounts,
                   {{"sys/fs/cgroup/memory/memory.limit_in_bytes", "9223372036854771712\n"}},
                   9223372036854771712u},
        // Inside a container the mount's root is the container's own group.
        CgroupCase{"V1MountRootIsTheGroup", "4:memory:/docker/abc\n",
                   "35 31 0:32 /docker/abc /sys/fs/cgroup/memory ro - cgroup cgroup rw,memory\n",
                   {{"sys/fs/cgroup/memory/memory.limit_in_bytes", "3221225472\n"}}, 3 * kGiB},
        CgroupCase{"HybridUsesTheV1MemoryController", "4:memory:/job\n0::/\n", kHybridMounts,
                   {{"sys/fs/cgroup/memory/job/memory.limit_in_bytes", "1073741824\n"}}, kGiB},
        CgroupCase{"EscapedMountPoint", "0::/\n",
                   "30 23 0:26 / /sys/fs/my\\040cgroup rw - cgroup2 cgroup2 rw\n",
                   {{"sys/fs/my cgroup/memory.max", "1073741824\n"}}, kGiB},
        CgroupCase{"NoHierarchyMounted", "0::/\n", "", {}, std::nullopt},
        CgroupCase{"GarbageInTheLimitFile", "0::/\n", kV2Mounts,
                   {{"sys/fs/cgroup/memory.max", "lots\n"}}, std::nullopt},
        CgroupCase{"NoGroupFile", "", kV2Mounts, {{"sys/fs/cgroup/memory.max", "1\n"}},
                   std::nullopt}),
    [](const testing::TestParamInfo<CgroupCase>& info) { return info.param.name; });

}  // namespace
}  // namespace korvan::platform
