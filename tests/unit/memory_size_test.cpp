// Percentage sizes and stack sizes at their limits, and the machine's real
// memory figures on this system.
#include "options/memory_size.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <fstream>
#include <limits>
#include <string>

#include "platform/memory.h"

namespace korvan {
namespace {

constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();

struct SizeCase {
  std::uint64_t base_kib, percent, minimum_mib, maximum_mib;
  std::uint64_t size_kib;
};

class PercentageSizeKibTest : public testing::TestWithParam<SizeCase> {};

TEST_P(PercentageSizeKibTest, AppliesMaximumThenMinimum) {
  const SizeCase& c = GetParam();
  EXPECT_EQ(PercentageSizeKib(c.base_kib, c.percent, c.minimum_mib, c.maximum_mib), c.size_kib);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PercentageSizeKibTest,
    testing::Values(SizeCase{4194304, 10, 0, 0, 419430},
                    SizeCase{4194304, 50, 256, 1024, 1048576},
                    SizeCase{8388608, 50, 64, 1024, 1048576},
                    SizeCase{4194304, 10, 2048, 1024, 2097152},
                    SizeCase{4194304, 0, 0, 0, 0},
                    SizeCase{1000, 33, 0, 0, 330},
                    SizeCase{std::uint64_t{1} << 50, 100000000, 0, 0, kMax},  // beyond 64 bits
                    SizeCase{std::uint64_t{1} << 50, 100000000, 0, 1024, 1048576},
                    SizeCase{4194304, 10, kMax, 0, kMax},  // minimum beyond 64 bits in KiB
                    SizeCase{4194304, 10, 0, kMax, 419430}));

TEST(StackSizeBytesTest, ReadsOneNumberWithItsUnit) {
  EXPECT_EQ(StackSizeBytes(L"512k"), 524288u);
  EXPECT_EQ(StackSizeBytes(L"512K"), 524288u);
  EXPECT_EQ(StackSizeBytes(L"3m"), 3145728u);
  EXPECT_EQ(StackSizeBytes(L"2G"), 2147483648u);
  EXPECT_EQ(StackSizeBytes(L"4096"), 4096u);
  EXPECT_EQ(StackSizeBytes(L"17179869183G"), 18446744072635809792u);
  EXPECT_EQ(StackSizeBytes(L"17179869184G"), std::nullopt);  // 2^64 bytes
  EXPECT_EQ(StackSizeBytes(L""), std::nullopt);
  EXPECT_EQ(StackSizeBytes(L"m"), std::nullopt);
  EXPECT_EQ(StackSizeBytes(L" 1m"), std::nullopt);
  EXPECT_EQ(StackSizeBytes(L"1:2m"), std::nullopt);
}

std::uint64_t MemTotalBytes() {
  std::ifstream meminfo("/proc/meminfo");
  std::string name;
  std::uint64_t kib = 0;
  while (meminfo >> name >> kib) {
    if (name == "MemTotal:") return kib * 1024;
    meminfo.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
  }
  return 0;
}

std::uint64_t MappedBytes() {
  std::ifstream statm("/proc/self/statm");
  std::uint64_t pages = 0;
  statm >> pages;
  return pages * 4096;
}

TEST(MemoryFiguresTest, PhysicalMemoryIsTheKernelsTotal) {
  const std::uint64_t expected = MemTotalBytes();
  ASSERT_GT(expected, 0u);
  EXPECT_EQ(platform::ReadMemoryFigures().total_physical_bytes, expected);
}

TEST(MemoryFiguresTest, AddressSpaceLeftIsTheUserSpaceLessWhatIsMapped) {
  const std::uint64_t user_space = (std::uint64_t{1} << 47) - 4096;
  const std::uint64_t left = platform::ReadMemoryFigures().available_virtual_bytes;
  const std::uint64_t mapped = MappedBytes();
  ASSERT_GT(mapped, 0u);
  EXPECT_LE(left, user_space - mapped + (64u << 20));
  EXPECT_GE(left, user_space - mapped - (64u << 20));
}

TEST(MemoryFiguresTest, AddressSpaceLeftFollowsTheProcessLimit) {
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_AS, &saved), 0);
  const std::uint64_t mapped = MappedBytes();
  rlimit limited = saved;
  limited.rlim_cur = mapped + (std::uint64_t{1} << 30);
  if (saved.rlim_max != RLIM_INFINITY && limited.rlim_cur > saved.rlim_max) {
    GTEST_SKIP() << "the hard address space limit is below the test's need";
  }
  ASSERT_EQ(setrlimit(RLIMIT_AS, &limited), 0);
  const std::uint64_t left = platform::ReadMemoryFigures().available_virtual_bytes;
  setrlimit(RLIMIT_AS, &saved);
  EXPECT_LE(left, (std::uint64_t{1} << 30) + (16u << 20));
  EXPECT_GE(left, (std::uint64_t{1} << 30) - (16u << 20));
}

}  // namespace
}  // namespace korvan

namespace korvan {
namespace {

struct PercentageTextCase {
  const wchar_t* vm_parameters;
  bool may_use;
};

class MayUsePercentageSizesTest : public testing::TestWithParam<PercentageTextCase> {};

TEST_P(MayUsePercentageSizesTest, FindsEveryTokenThatNeedsTheMemoryFigures) {
  EXPECT_EQ(MayUsePercentageSizes(GetParam().vm_parameters), GetParam().may_use);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MayUsePercentageSizesTest,
    testing::Values(PercentageTextCase{L"", false},
                    PercentageTextCase{L"-Xmx512m -Dname=P", false},
                    PercentageTextCase{L"-Xss2m -XX:+UseG1GC", false},
                    PercentageTextCase{L"-Xmx50P", true},
                    PercentageTextCase{L"-Dx=1 -Xms10:64:1024p", true},
                    PercentageTextCase{L"-Xmx80T", true},
                    PercentageTextCase{L"\"-Xmx50P\"", true},
                    PercentageTextCase{L"-Dtitle=\"a b\"\t-Xss25P", true},
                    PercentageTextCase{L"@jvm.options", true},
                    PercentageTextCase{L"-Dmail=a@b", true}));  // may be a file: read

}  // namespace
}  // namespace korvan
