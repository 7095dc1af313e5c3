#include "options/memory_size.h"

#include <limits>
#include <vector>

namespace korvan {

namespace {

constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

std::uint64_t SaturatingMultiply(std::uint64_t a, std::uint64_t b) {
  if (a != 0 && b > kMax / a) return kMax;
  return a * b;
}

std::uint64_t SaturatingDecimalStep(std::uint64_t value, wchar_t digit) {
  const std::uint64_t digit_value = static_cast<std::uint64_t>(digit - L'0');
  if (value > (kMax - digit_value) / 10) return kMax;
  return value * 10 + digit_value;
}

// Digits accumulate into numbers, each colon starts the next one, and any other
// character is skipped. Numbers too large for 64 bits stay at the largest value.
std::vector<std::uint64_t> ReadColonSeparatedNumbers(const std::wstring& text) {
  std::vector<std::uint64_t> numbers(1, 0);
  for (wchar_t c : text) {
    if (c == L':') {
      numbers.push_back(0);
    } else if (IsDigit(c)) {
      numbers.back() = SaturatingDecimalStep(numbers.back(), c);
    }
  }
  return numbers;
}

std::uint64_t NumberAt(const std::vector<std::uint64_t>& numbers, std::size_t index) {
  return index < numbers.size() ? numbers[index] : 0;
}

}  // namespace

bool IsPercentageOption(const std::wstring& token) {
  if (token.size() < 5) return false;
  const std::wstring head = token.substr(0, 4);
  if (head != L"-Xms" && head != L"-Xmx" && head != L"-Xss") return false;
  const wchar_t last = token.back();
  return last == L'P' || last == L'p' || last == L'T' || last == L't';
}

std::uint64_t PercentageSizeKib(std::uint64_t base_kib, std::uint64_t percent,
                                std::uint64_t minimum_mib, std::uint64_t maximum_mib) {
  const double share = static_cast<double>(base_kib) * (static_cast<double>(percent) / 100.0);
  // 2^64 as a double: anything at or above it does not fit the size.
  constexpr double kLimit = 18446744073709551616.0;
  std::uint64_t size = share >= kLimit ? kMax : static_cast<std::uint64_t>(share);
  const std::uint64_t maximum_kib = SaturatingMultiply(maximum_mib, 1024);
  const std::uint64_t minimum_kib = SaturatingMultiply(minimum_mib, 1024);
  if (maximum_mib != 0 && size > maximum_kib) size = maximum_kib;
  if (minimum_kib > size) size = minimum_kib;
  return size;
}

bool MayUsePercentageSizes(const std::wstring& vm_parameters) {
  if (vm_parameters.find(L'@') != std::wstring::npos) return true;
  std::wstring token;
  for (std::size_t i = 0; i <= vm_parameters.size(); ++i) {
    const wchar_t c = i < vm_parameters.size() ? vm_parameters[i] : L' ';
    if (c == L'"') continue;
    if (c != L' ' && c != L'\t') {
      token += c;
      continue;
    }
    if (IsPercentageOption(token)) return true;
    token.clear();
  }
  return false;
}

std::wstring RewritePercentageOption(const std::wstring& token,
                                     const platform::MemoryFigures& figures) {
  if (!IsPercentageOption(token)) return token;
  const std::wstring body = token.substr(0, token.size() - 1);
  const std::size_t first = body.find_first_of(L"0123456789:");
  if (first == std::wstring::npos) return token;

  const std::vector<std::uint64_t> numbers = ReadColonSeparatedNumbers(body.substr(first));
  const wchar_t base_kind = token.back();
  const std::uint64_t base_bytes = (base_kind == L'T' || base_kind == L't')
                                       ? figures.available_virtual_bytes
                                       : figures.total_physical_bytes;
  const std::uint64_t size = PercentageSizeKib(base_bytes >> 10, NumberAt(numbers, 0),
                                               NumberAt(numbers, 1), NumberAt(numbers, 2));
  return body.substr(0, first) + std::to_wstring(size) + L"K";
}

std::optional<std::uint64_t> StackSizeBytes(const std::wstring& value) {
  if (value.empty() || !IsDigit(value.front())) return std::nullopt;
  std::uint64_t multiplier = 1;
  const wchar_t unit = value.back();
  if (unit == L'G' || unit == L'g') multiplier = 1073741824;
  if (unit == L'K' || unit == L'k') multiplier = 1024;
  if (unit == L'M' || unit == L'm') multiplier = 1048576;
  const std::wstring number_text =
      IsDigit(value.back()) ? value : value.substr(0, value.size() - 1);
  if (number_text.find(L':') != std::wstring::npos) return std::nullopt;
  const std::uint64_t number = ReadColonSeparatedNumbers(number_text).front();
  if (number == kMax) return std::nullopt;
  const std::uint64_t bytes = SaturatingMultiply(number, multiplier);
  if (bytes == kMax) return std::nullopt;
  return bytes;
}

}  // namespace korvan
