#include "signing.h"

#include <system_error>
#include <vector>

#include "external_tool.h"
#include "platform/environment.h"
#include "platform/private_file.h"
#include "platform/text.h"

namespace korvan::package {
namespace {

// The password in a file only we can read, as osslsigncode takes it with
// -readpass: on its command line every user of the machine could see it.
// The file is new, in a new folder that only we can enter, made beside the
// application folder so that it is never packed. Empty when it cannot be written.
std::filesystem::path WritePasswordFile(const std::filesystem::path& beside, const std::wstring& password) {
  const std::wstring folder = platform::MakePrivateFolder(beside.wstring(), L".signing-");
  if (folder.empty()) return {};
  const std::filesystem::path file = std::filesystem::path(folder) / L"password";
  if (platform::WriteNewPrivateFile(file.wstring(), platform::NarrowFromWide(password))) return file;
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
  return {};
}

}  // namespace

bool SignLauncher(const PackageDescription& d, const std::filesystem::path& launcher, std::wstring& error) {
  const std::filesystem::path signed_file = launcher.wstring() + L".signed";
  std::filesystem::path password_file;
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
    password_file = WritePasswordFile(launcher.parent_path().parent_path(), *password);
    if (password_file.empty()) {
      error = L"cannot write the signing password to a private file beside " + launcher.parent_path().wstring();
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
  if (!password_file.empty()) std::filesystem::remove_all(password_file.parent_path(), ignored);
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
