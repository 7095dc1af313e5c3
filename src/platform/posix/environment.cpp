#include "platform/environment.h"

#include <cstdlib>

#include "platform/shared/percent_references.h"
#include "platform/text.h"

namespace korvan::platform {

bool ReadEnvironmentVariable(const std::wstring& name, std::wstring& value) {
  const char* found = std::getenv(NarrowFromWide(name).c_str());
  if (found == nullptr) return false;
  value = WideFromNarrow(found);
  return true;
}

bool WriteEnvironmentVariable(const std::wstring& name, const std::wstring& value) {
  return setenv(NarrowFromWide(name).c_str(), NarrowFromWide(value).c_str(), 1) == 0;
}

std::wstring ExpandEnvironmentReferences(const std::wstring& text) {
  return ExpandPercentReferences(text, [](const std::wstring& name) -> std::optional<std::wstring> {
    std::wstring value;
    if (!ReadEnvironmentVariable(name, value)) return std::nullopt;
    return value;
  });
}

}  // namespace korvan::platform
