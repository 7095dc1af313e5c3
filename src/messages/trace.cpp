#include "messages/trace.h"

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <optional>

#include "platform/append_file.h"
#include "platform/environment.h"
#include "platform/process.h"
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

// Appends to the trace file. The first failure says so once on standard
// error, where a service manager's journal catches it: a trace file in a
// folder that is missing or not writable would otherwise be lost unseen.
bool AppendToTraceFile(const std::string& text) {
  if (platform::AppendToFile(*TraceFile(), text)) return true;
  const std::uint32_t error = platform::LastErrorCode();
  static std::atomic<bool> told{false};
  if (!told.exchange(true)) {
    const std::string notice = "korvan: cannot write the trace file " + platform::NarrowFromWide(*TraceFile()) +
                               " (error " + std::to_string(error) + "): its folder must exist and be writable\n";
    std::fwrite(notice.data(), 1, notice.size(), stderr);
    std::fflush(stderr);
  }
  return false;
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
    AppendToTraceFile(text);
    return;
  }
  std::fwrite(text.data(), 1, text.size(), stderr);
  std::fflush(stderr);
}

bool WriteToTraceFile(const std::string& text) {
  return TraceFile() && AppendToTraceFile(text);
}

}  // namespace korvan
