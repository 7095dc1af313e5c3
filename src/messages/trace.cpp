#include "messages/trace.h"

#include <cstdio>

#include "platform/environment.h"
#include "platform/text.h"

namespace korvan {

bool TraceEnabled() {
  static const bool enabled = [] {
    return platform::ReadEnvironmentVariable(L"KORVAN_TRACE") == std::optional<std::wstring>(L"1");
  }();
  return enabled;
}

void Trace(const std::wstring& line) {
  if (!TraceEnabled()) return;
  const std::string text = "korvan: " + platform::NarrowFromWide(line) + "\n";
  std::fwrite(text.data(), 1, text.size(), stderr);
  std::fflush(stderr);
}

}  // namespace korvan
