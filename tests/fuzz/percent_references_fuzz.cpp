// %NAME% expansion: text without a known name comes back unchanged, and a
// known name is replaced by its value alone.
#include <map>

#include "fuzz_support.h"
#include "platform/shared/percent_references.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvan;
  using namespace korvan::platform;
  const auto [text_bytes, value_bytes] = fuzz::SplitInput(data, size);
  const std::wstring text(text_bytes.begin(), text_bytes.end());
  const std::wstring value(value_bytes.begin(), value_bytes.end());

  const auto none = [](const std::wstring&) -> std::optional<std::wstring> { return std::nullopt; };
  KORVAN_FUZZ_CHECK(platform::ExpandPercentReferences(text, none) == text);

  // Every name is known and stands for a text without "%": no "%" is left
  // in the result that was not a lone "%" of the text.
  std::size_t lookups = 0;
  const auto all = [&](const std::wstring& name) -> std::optional<std::wstring> {
    ++lookups;
    KORVAN_FUZZ_CHECK(name.find(L'%') == std::wstring::npos);
    return L"<" + name + L">";
  };
  const std::wstring expanded = platform::ExpandPercentReferences(text, all);
  std::size_t text_percents = 0;
  for (wchar_t c : text) text_percents += c == L'%';
  std::size_t left_percents = 0;
  for (wchar_t c : expanded) left_percents += c == L'%';
  KORVAN_FUZZ_CHECK(left_percents + 2 * lookups <= text_percents);

  // One reference in plain text gives exactly its value.
  const std::wstring name = L"KORVAN_FUZZ";
  const auto one = [&](const std::wstring& asked) -> std::optional<std::wstring> {
    if (asked == name) return value;
    return std::nullopt;
  };
  const std::wstring plain = L"a-b/c";
  KORVAN_FUZZ_CHECK(platform::ExpandPercentReferences(plain + L"%" + name + L"%" + plain, one) ==
                    plain + value + plain);
  return 0;
}
