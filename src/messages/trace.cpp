#include "messages/trace.h"

#include <cstdio>
#include <optional>

#include "platform/append_file.h"
#include "platform/environment.h"
#include "platform/text.h"

namespace korvan {

namespace {

const std::optional<std::wstring>& TraceFile() {
  static const std::optional<std::wstring> file = [] {
    std::optional<std::wstring> value = platform::ReadEnvironmentVariable(L"KORVAN_TRACE_FILE");
    if (value && value->empty()) value.reset();
    return value;
  }();
  return file;
}

}  // namespace

bool TraceEnabled() {
  static const bool enabled = [] {
    return TraceFile().has_value() ||
           platform::ReadEnvironmentVariable(L"KORVAN_TRACE") == std::optional<std::wstring>(L"1");
  }();
  return enabled;
}

void Trace(const std::wstring& line) {
  if (!TraceEnabled()) return;
  const std::string text = "korvan: " + platform::NarrowFromWide(line) + "\n";
  if (TraceFile()) {
    platform::AppendToFile(*TraceFile(), text);
    return;
  }
  std::fwrite(text.data(), 1, text.size(), stderr);
  std::fflush(stderr);
}

bool WriteToTraceFile(const std::string& text) {
  return TraceFile() && platform::AppendToFile(*TraceFile(), text);
}

}  // namespace korvan
