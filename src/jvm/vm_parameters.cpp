#include "jvm/vm_parameters.h"

#include <optional>

#include "jvm/memory_size.h"

namespace korvan {

namespace {

constexpr std::size_t kNone = std::wstring::npos;

// The closing quote of a quoted stretch that opens at `open`, moved onto the
// second quote of a doubled pair; kNone when the stretch is not closed.
std::size_t ClosingQuote(const std::wstring& text, std::size_t open) {
  std::size_t close = text.find(L'"', open + 1);
  if (close == kNone) return kNone;
  if (close + 1 < text.size() && text[close + 1] == L'"') ++close;
  return close;
}

}  // namespace

std::vector<std::wstring> SplitVmParameters(const std::wstring& text) {
  std::vector<std::wstring> tokens;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t space = text.find(L' ', start);
    std::size_t quote = text.find(L'"', start);
    while (space != kNone && quote != kNone && quote < space) {
      const std::size_t close = ClosingQuote(text, quote);
      if (close == kNone) break;
      quote = text.find(L'"', close + 1);
      space = text.find(L' ', close + 1);
    }
    tokens.push_back(text.substr(start, space == kNone ? kNone : space - start));
    if (space == kNone) break;
    start = text.find_first_not_of(L' ', space);
    if (start == kNone) break;
  }
  return tokens;
}

std::wstring UnquoteVmParameter(const std::wstring& token) {
  std::wstring result = token;
  std::size_t open = result.find(L'"');
  while (open != kNone) {
    const std::size_t close = ClosingQuote(result, open);
    if (close == kNone) break;
    const std::size_t inner_length = close - open - 1;
    result =
        result.substr(0, open) + result.substr(open + 1, inner_length) + result.substr(close + 1);
    open = result.find(L'"', open + inner_length);
  }
  return result;
}

ProcessedVmParameters ProcessVmParameters(const std::wstring& text,
                                          const platform::MemoryFigures& figures,
                                          std::uint64_t stack_size) {
  ProcessedVmParameters processed;
  processed.stack_size = stack_size;
  for (const std::wstring& raw : SplitVmParameters(text)) {
    const std::wstring token = RewritePercentageOption(UnquoteVmParameter(raw), figures);
    if (token.empty()) continue;
    if (token.compare(0, 4, L"-Xss") == 0) {
      const std::optional<std::uint64_t> bytes = StackSizeBytes(token.substr(4));
      if (bytes) processed.stack_size = *bytes;
    }
    processed.options.push_back(token);
  }
  return processed;
}

std::vector<std::wstring> SplitExtraArguments(const std::wstring& text) {
  std::vector<std::wstring> arguments;
  std::size_t position = text.find_first_not_of(L' ');
  while (position != kNone) {
    std::wstring token;
    if (text[position] == L'"') {
      const std::size_t close = text.find(L'"', position + 1);
      token = text.substr(position + 1, close == kNone ? kNone : close - position - 1);
      position = close == kNone ? kNone : close + 1;
    } else {
      const std::size_t space = text.find(L' ', position);
      token = text.substr(position, space == kNone ? kNone : space - position);
      position = space;
    }
    if (!token.empty()) arguments.push_back(token);
    if (position != kNone) position = text.find_first_not_of(L' ', position);
  }
  return arguments;
}

}  // namespace korvan
