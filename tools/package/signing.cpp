#include "signing.h"

#include <fstream>
#include <system_error>
#include <vector>

#include "external_tool.h"
#include "platform/environment.h"
#include "platform/text.h"

namespace korvan::package {
namespace {

// The password in a file only we can read, as osslsigncode takes it with
// -readpass: on its command line every user of the machine could see it.
bool WritePasswordFile(const std::filesystem::path& file, const std::wstring& password) {
  std::error_code why;
  std::ofstream(file, std::ios::binary | std::ios::trunc).close();
  std::filesystem::permissions(file, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write,
                               why);
  if (why) return false;
  std::ofstream stream(file, std::ios::binary | std::ios::trunc);
  stream << platform::NarrowFromWide(password);
  return static_cast<bool>(stream.flush());
}

}  // namespace

bool SignLauncher(const PackageDescription& d, const std::filesystem::path& launcher, std::wstring& error) {
  const std::filesystem::path signed_file = launcher.wstring() + L".signed";
  // Beside the application folder, so that it is never packed.
  const std::filesystem::path password_file = launcher.parent_path().parent_path() / L".password";
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
    if (!WritePasswordFile(password_file, *password)) {
      error = L"cannot write " + password_file.wstring();
      return false;
    }
    command.insert(command.end(), {L"-readpass", password_file.wstring()});
  }
  if (!d.timestamp_server.empty()) command.insert(command.end(), {L"-ts", d.timestamp_server});
  // The signature holds its signing time; SOURCE_DATE_EPOCH fixes it, as
  // reproducible builds set it, so that the signed launcher is the same too.
  if (const auto epoch = platform::ReadEnvironmentVariable(L"SOURCE_DATE_EPOCH")) {
    command.insert(command.end(), {L"-time", *epoch});
  }
  command.insert(command.end(), {L"-in", launcher.wstring(), L"-out", signed_file.wstring()});
  const bool signed_ok = RunTool(command, L"osslsigncode", error);
  std::error_code ignored;
  std::filesystem::remove(password_file, ignored);
  if (!signed_ok) {
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
