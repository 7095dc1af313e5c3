#include "platform/shared/percent_references.h"

namespace korvan::platform {

std::wstring ExpandPercentReferences(const std::wstring& text, const VariableLookup& lookup) {
  std::wstring result;
  std::size_t position = 0;
  while (position < text.size()) {
    const std::size_t open = text.find(L'%', position);
    if (open == std::wstring::npos) break;
    const std::size_t close = text.find(L'%', open + 1);
    if (close == std::wstring::npos) break;
    result.append(text, position, open - position);
    const std::wstring name = text.substr(open + 1, close - open - 1);
    const std::optional<std::wstring> value = name.empty() ? std::nullopt : lookup(name);
    if (value) {
      result += *value;
      position = close + 1;
    } else {
      // Not a reference: keep the first "%" and let the second one open the next.
      result += L'%';
      result += name;
      position = close;
    }
  }
  result.append(text, position, std::wstring::npos);
  return result;
}

}  // namespace korvan::platform
