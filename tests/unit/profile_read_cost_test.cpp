// Reading an enormous value costs a small multiple of its size: the plain
// read doubles its buffer until the value fits, and a profile reader that
// copied the whole value at every doubling spent its length again each time
// (100 MB took 25 s and 2.6 GB). Counted here as the bytes allocated.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <new>

#include "platform/text.h"
#include "settings/settings_source.h"

// AddressSanitizer brings its own operator new and checks that each block
// goes back the way it came: the count needs the plain allocator.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KORVAN_ALLOCATIONS_NOT_COUNTED 1
#endif
#endif

namespace {
std::atomic<bool> counting{false};
std::atomic<std::size_t> allocated{0};
}  // namespace

#ifndef KORVAN_ALLOCATIONS_NOT_COUNTED
void* operator new(std::size_t size) {
  if (counting) allocated += size;
  if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
  throw std::bad_alloc();
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
#endif

namespace korvan {
namespace {

struct ReadCostCase {
  const char* name;
  const char* encoding_mark;
  std::size_t characters;
};

class ProfileReadCostTest : public testing::TestWithParam<ReadCostCase> {};

TEST_P(ProfileReadCostTest, EnormousValueCostsASmallMultipleOfItsSize) {
#ifdef KORVAN_ALLOCATIONS_NOT_COUNTED
  GTEST_SKIP() << "allocations are counted in the build without AddressSanitizer";
#endif
  const std::filesystem::path file =
      std::filesystem::temp_directory_path() / (std::string("korvan-read-cost-") + GetParam().name + ".ini");
  {
    std::ofstream out(file, std::ios::binary);
    out << GetParam().encoding_mark << "[S]\nsmall=1\nbig=" << std::string(GetParam().characters, 'v') << "\n";
  }
  const std::wstring path = platform::WideFromNarrow(file.string());
  ASSERT_EQ(ReadProfileString(path, L"S", L"small"), L"1");  // the file is parsed once, here

  allocated = 0;
  counting = true;
  const std::wstring value = ReadProfileString(path, L"S", L"big");
  counting = false;
  std::filesystem::remove(file);

  EXPECT_EQ(value.size(), GetParam().characters);
  const std::size_t value_bytes = GetParam().characters * sizeof(wchar_t);
  // The doublings themselves cost about four times the value (each buffer
  // twice the last); a whole copy per doubling costs one value per doubling.
  EXPECT_LE(allocated.load(), 5 * value_bytes) << "bytes allocated for a value of " << value_bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Values, ProfileReadCostTest,
    testing::Values(ReadCostCase{"Narrow", "", 1u << 20}, ReadCostCase{"Utf8", "\xEF\xBB\xBF", 1u << 20},
                    ReadCostCase{"JustAboveABufferSize", "", (1u << 16) + 1}),
    [](const testing::TestParamInfo<ReadCostCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace korvan
