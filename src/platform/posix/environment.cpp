#include "platform/environment.h"

#include <cstdlib>

#include "platform/shared/percent_references.h"
#include "platform/text.h"

namespace korvan::platform {

std::optional<std::wstring> ReadEnvironmentVariable(const std::wstring& name) {
  const char* found = std::getenv(NarrowFromWide(name).c_str());
  if (found == nullptr) return std::nullopt;
  return WideFromNarrow(found);
}

bool WriteEnvironmentVariable(const std::wstring& name, const std::wstring& value) {
  return setenv(NarrowFromWide(name).c_str(), NarrowFromWide(value).c_str(), 1) == 0;
}

bool RemoveEnvironmentVariable(const std::wstring& name) {
  return unsetenv(NarrowFromWide(name).c_str()) == 0;
}

std::wstring ExpandEnvironmentReferences(const std::wstring& text) {
  return ExpandPercentReferences(text, ReadEnvironmentVariable);
}

}  // namespace korvan::platform
