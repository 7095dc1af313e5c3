#include "options/vm_parameters.h"

#include <optional>

#include "options/memory_size.h"

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
  std::size_t quote = text.find(L'"');
  while (start < text.size()) {
    std::size_t space = text.find(L' ', start);
    // Searches only go forward from where the last one ended, so a long value
    // is read once however many tokens and quotes it holds.
    if (quote != kNone && quote < start) quote = text.find(L'"', start);
    while (space != kNone && quote != kNone && quote < space) {
      const std::size_t close = ClosingQuote(text, quote);
      if (close == kNone) break;
      quote = text.find(L'"', close + 1);
      if (space <= close) space = text.find(L' ', close + 1);
    }
    tokens.push_back(text.substr(start, space == kNone ? kNone : space - start));
    if (space == kNone) break;
    start = text.find_first_not_of(L' ', space);
    if (start == kNone) break;
  }
  return tokens;
}

std::wstring UnquoteVmParameter(const std::wstring& token) {
  // Built in one pass: each pair is dropped and the search for the next
  // opening quote goes on right after the closing one.
  std::wstring result;
  std::size_t kept = 0;
  std::size_t open = token.find(L'"');
  while (open != kNone) {
    const std::size_t close = ClosingQuote(token, open);
    if (close == kNone) break;
    result.append(token, kept, open - kept);
    result.append(token, open + 1, close - open - 1);
    kept = close + 1;
    open = token.find(L'"', kept);
  }
  result.append(token, kept, kNone);
  return result;
}

ProcessedVmParameters ProcessVmParameters(const std::wstring& text,
                                          const platform::MemoryFigures& figures,
                                          std::uint64_t stack_size,
                                          const ReadArgumentFile& read_file) {
  ProcessedVmParameters processed;
  processed.stack_size = stack_size;
  std::vector<std::wstring> tokens;
  for (const std::wstring& raw : SplitVmParameters(text)) tokens.push_back(UnquoteVmParameter(raw));
  if (read_file) tokens = ExpandArgumentFiles(tokens, read_file);
  JavaLauncherOptionScan scan = TakeJavaLauncherOptions(tokens);
  processed.requests = scan.requests;
  processed.refusal = std::move(scan.refusal);
  for (const std::wstring& unquoted : TranslateJavaCommandOptions(scan.options)) {
    const std::wstring token = RewritePercentageOption(unquoted, figures);
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
