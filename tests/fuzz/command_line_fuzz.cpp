// The command-line split: tokens never hold a quote, and tokens written back
// quoted and separated by one space split into the same tokens.
#include "fuzz_support.h"
#include "launcher/command_line.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvan;
  const std::wstring line = fuzz::WideFromAscii(data, size);
  const std::vector<std::wstring> tokens = SplitCommandLine(line);
  std::wstring rebuilt;
  for (const std::wstring& token : tokens) {
    KORVAN_FUZZ_CHECK(token.find(L'"') == std::wstring::npos);
    KORVAN_FUZZ_CHECK(token.size() <= line.size());
    if (!rebuilt.empty()) rebuilt += L' ';
    rebuilt += L'"' + token + L'"';
  }
  KORVAN_FUZZ_CHECK(SplitCommandLine(rebuilt) == tokens);
  // Without quotes the split is a plain split at spaces.
  if (line.find(L'"') == std::wstring::npos) {
    for (const std::wstring& token : tokens) {
      KORVAN_FUZZ_CHECK(!token.empty() && token.find(L' ') == std::wstring::npos);
    }
  }
  return 0;
}
