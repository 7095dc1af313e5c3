#include "launcher/application_home.h"

#include "messages/trace.h"
#include "platform/environment.h"
#include "platform/paths.h"

namespace korvan {

std::wstring ApplicationHomeOf(const std::wstring& launcher_path, wchar_t separator) {
  const std::size_t last = launcher_path.rfind(separator);
  if (last == std::wstring::npos) return std::wstring();
  // "/app" lives in "/", "C:\app.exe" in "C:\": a root keeps its separator.
  const bool root = last == 0 || (last == 2 && launcher_path[1] == L':');
  return launcher_path.substr(0, root ? last + 1 : last);
}

void PublishApplicationHome(const std::wstring& launcher_path) {
  const std::wstring home = ApplicationHomeOf(launcher_path, platform::GetPathRules().separator);
  // A failure leaves references to it as written; the launch goes on.
  platform::WriteEnvironmentVariable(L"KORVAN_APP_HOME", home);
  Trace(L"environment: KORVAN_APP_HOME=" + home);
}

}  // namespace korvan
