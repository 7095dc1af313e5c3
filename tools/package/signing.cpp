#include "signing.h"

#include <system_error>
#include <vector>

#include "external_tool.h"
#include "platform/environment.h"

namespace korvan::package {

bool SignLauncher(const PackageDescription& d, const std::filesystem::path& launcher, std::wstring& error) {
  const std::filesystem::path signed_file = launcher.wstring() + L".signed";
  std::vector<std::wstring> command = {L"osslsigncode", L"sign", L"-pkcs12", d.certificate, L"-h", L"sha256",
                                       L"-n", d.name};
  if (!d.password_file.empty()) {
    command.insert(command.end(), {L"-readpass", d.password_file});
  } else if (!d.password_variable.empty()) {
    const std::optional<std::wstring> password = platform::ReadEnvironmentVariable(d.password_variable);
    if (!password) {
      error = L"[Signing] Password Variable names " + d.password_variable + L", which is not set";
      return false;
    }
    command.insert(command.end(), {L"-pass", *password});
  }
  if (!d.timestamp_server.empty()) command.insert(command.end(), {L"-ts", d.timestamp_server});
  // The signature holds its signing time; SOURCE_DATE_EPOCH fixes it, as
  // reproducible builds set it, so that the signed launcher is the same too.
  if (const auto epoch = platform::ReadEnvironmentVariable(L"SOURCE_DATE_EPOCH")) {
    command.insert(command.end(), {L"-time", *epoch});
  }
  command.insert(command.end(), {L"-in", launcher.wstring(), L"-out", signed_file.wstring()});
  if (!RunTool(command, L"osslsigncode", error)) {
    error = L"signing failed: " + error;
    return false;
  }
  std::error_code why;
  std::filesystem::rename(signed_file, launcher, why);
  if (!why) return true;
  error = L"cannot replace " + launcher.wstring() + L" by its signed copy";
  return false;
}

}  // namespace korvan::package
