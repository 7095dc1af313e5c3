// Percentage and stack sizes: the minimum and maximum bound the share as
// documented, a larger share never gives less, and a stack size written as a
// number with a unit reads back as that many bytes.
#include <cstring>

#include "fuzz_support.h"
#include "options/memory_size.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvan;
  std::uint64_t numbers[5] = {};
  std::memcpy(numbers, data, size < sizeof(numbers) ? size : sizeof(numbers));
  const std::uint64_t base_kib = numbers[0] >> (numbers[4] & 63);
  const std::uint64_t percent = numbers[1] % 1000;
  const std::uint64_t minimum_mib = numbers[2] % (std::uint64_t{1} << 40);
  const std::uint64_t maximum_mib = numbers[3] % (std::uint64_t{1} << 40);

  const std::uint64_t kib = PercentageSizeKib(base_kib, percent, minimum_mib, maximum_mib);
  KORVAN_FUZZ_CHECK(kib >= minimum_mib * 1024);  // the minimum wins
  if (maximum_mib != 0 && minimum_mib <= maximum_mib) KORVAN_FUZZ_CHECK(kib <= maximum_mib * 1024);
  KORVAN_FUZZ_CHECK(PercentageSizeKib(base_kib, percent + 1, minimum_mib, maximum_mib) >= kib);
  // Without bounds, no more than the whole base for a share up to 100
  // (where the base is exact as a double).
  if (percent <= 100 && base_kib < (std::uint64_t{1} << 53)) {
    KORVAN_FUZZ_CHECK(PercentageSizeKib(base_kib, percent, 0, 0) <= base_kib);
  }

  // The stack size of "-Xss": a number and a unit.
  const std::uint64_t count = numbers[1] % (std::uint64_t{1} << 32);
  const std::pair<const wchar_t*, std::uint64_t> units[] = {
      {L"", 1}, {L"k", 1024}, {L"K", 1024}, {L"m", 1048576}, {L"M", 1048576}, {L"g", 1073741824}, {L"G", 1073741824}};
  for (const auto& [unit, multiplier] : units) {
    const std::optional<std::uint64_t> bytes = StackSizeBytes(std::to_wstring(count) + unit);
    KORVAN_FUZZ_CHECK(bytes.has_value() && *bytes == count * multiplier);
  }
  // Any other text: nothing, or a size read from one number that starts it
  // (the last character is the unit unless it is a digit).
  const std::wstring text = fuzz::WideFromAscii(data, size);
  if (StackSizeBytes(text)) {
    KORVAN_FUZZ_CHECK(!text.empty() && text.front() >= L'0' && text.front() <= L'9');
    KORVAN_FUZZ_CHECK(text.substr(0, text.size() - 1).find(L':') == std::wstring::npos);
  }
  return 0;
}
