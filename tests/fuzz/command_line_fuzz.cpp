// The command-line split: tokens without quotes, written back quoted and
// separated by one space, split into the same tokens; a line without quotes
// splits at its spaces.
#include "fuzz_support.h"
#include "platform/shared/command_line.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvan;
  using namespace korvan::platform;
  const std::wstring line = fuzz::WideFromAscii(data, size);
  const std::vector<std::wstring> tokens = SplitCommandLine(line);
  std::wstring rebuilt;
  bool quotes_in_tokens = false;
  for (const std::wstring& token : tokens) {
    // Only a token that does not start with a quote can hold one (x"y).
    quotes_in_tokens = quotes_in_tokens || token.find(L'"') != std::wstring::npos;
    KORVAN_FUZZ_CHECK(token.size() <= line.size());
    if (!rebuilt.empty()) rebuilt += L' ';
    rebuilt += L'"' + token + L'"';
  }
  if (!quotes_in_tokens) KORVAN_FUZZ_CHECK(SplitCommandLine(rebuilt) == tokens);
  // Without quotes the split is a plain split at spaces.
  if (line.find(L'"') == std::wstring::npos) {
    for (const std::wstring& token : tokens) {
      KORVAN_FUZZ_CHECK(!token.empty() && token.find(L' ') == std::wstring::npos);
    }
  }
  return 0;
}
