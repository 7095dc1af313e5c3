#include "launcher/windowed_start.h"

#include <optional>

#include "messages/error_sink.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "platform/windowed_program.h"

namespace korvan {

std::wstring ApplicationNameOf(const std::wstring& launcher_path, wchar_t separator) {
  const std::size_t slash = launcher_path.rfind(separator);
  std::wstring name = slash == std::wstring::npos ? launcher_path : launcher_path.substr(slash + 1);
  const std::size_t dot = name.rfind(L'.');
  if (dot != std::wstring::npos && dot > 0) name.erase(dot);
  return name;
}

void PrepareWindowedStart() {
  if (!platform::RunsWindowed()) return;
  platform::ConnectInheritedStandardStreams();
  const std::optional<std::wstring> path = platform::ModuleFileName();
  UseErrorBoxSink(path ? ApplicationNameOf(*path, platform::GetPathRules().separator) : L"Java");
}

}  // namespace korvan
