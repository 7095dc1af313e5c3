// VM parameters and "Cmd": tokens never hold a separating space outside
// quotes, no option or argument is empty, the stack size is the last valid "-Xss", and
// percentage options become plain sizes.
#include "fuzz_support.h"
#include "options/memory_size.h"
#include "options/vm_parameters.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvan;
  const std::wstring text = fuzz::WideFromAscii(data, size);
  const bool quoted = text.find(L'"') != std::wstring::npos;

  const std::vector<std::wstring> tokens = SplitVmParameters(text);
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    const std::wstring& token = tokens[i];
    // Only leading spaces leave an empty first token (the options drop it).
    KORVAN_FUZZ_CHECK(!token.empty() || (i == 0 && text.front() == L' '));
    if (!quoted) KORVAN_FUZZ_CHECK(token.find(L' ') == std::wstring::npos);
  }
  for (const std::wstring& argument : SplitExtraArguments(text)) {
    KORVAN_FUZZ_CHECK(!argument.empty());
    if (!quoted) KORVAN_FUZZ_CHECK(argument.find(L' ') == std::wstring::npos);
  }

  const platform::MemoryFigures figures{std::uint64_t{8} << 30, std::uint64_t{128} << 40};
  const ProcessedVmParameters processed = ProcessVmParameters(text, figures, 12345);
  std::uint64_t stack_size = 12345;
  for (const std::wstring& option : processed.options) {
    KORVAN_FUZZ_CHECK(!option.empty());
    if (option.rfind(L"-Xss", 0) == 0) {
      if (const std::optional<std::uint64_t> bytes = StackSizeBytes(option.substr(4))) stack_size = *bytes;
    }
  }
  // A percentage option becomes a size in KiB, or stays as written when it
  // holds no number.
  for (const std::wstring& raw : SplitVmParameters(text)) {
    const std::wstring token = UnquoteVmParameter(raw);
    const std::wstring rewritten = RewritePercentageOption(token, figures);
    if (!IsPercentageOption(token)) {
      KORVAN_FUZZ_CHECK(rewritten == token);
    } else if (rewritten != token) {
      // What comes before the first number stays; the numbers become one size.
      const std::size_t numbers = token.find_first_of(L"0123456789:");
      KORVAN_FUZZ_CHECK(numbers != std::wstring::npos && rewritten.size() > numbers + 1);
      KORVAN_FUZZ_CHECK(rewritten.compare(0, numbers, token, 0, numbers) == 0);
      KORVAN_FUZZ_CHECK(rewritten.back() == L'K');
      KORVAN_FUZZ_CHECK(rewritten.find_first_not_of(L"0123456789", numbers) == rewritten.size() - 1);
    }
  }
  KORVAN_FUZZ_CHECK(processed.stack_size == stack_size);
  return 0;
}
