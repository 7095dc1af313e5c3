// korvan-package: releases a Java application from one description file (see
// docs/packaging.md): the application folder with the renamed, stripped and
// stamped launcher, its settings file, the jars and the bundled runtime;
// its .zip (Windows) or .tar.gz (Linux), and for Windows optionally a signed
// launcher and an MSI. Everything is made in a staging folder inside the
// output folder and moved into place only when all of it succeeded, so a
// failed run leaves the output folder as it was.
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "application_folder.h"
#include "deb_package.h"
#include "msi_package.h"
#include "package_description.h"
#include "platform/background_thread.h"
#include "platform/environment.h"
#include "platform/file_bytes.h"
#include "platform/process.h"
#include "platform/text.h"
#include "reproducible_archive.h"
#include "signing.h"
#include "target_binaries.h"

namespace korvan::package {
namespace {

namespace fs = std::filesystem;

constexpr char kUsage[] =
    "usage: korvan-package [--output FOLDER] [--launcher FILE] DESCRIPTION\n"
    "  DESCRIPTION        the package description (see docs/packaging.md)\n"
    "  --output FOLDER    where the package goes, instead of [Package] Output\n"
    "  --launcher FILE    the launcher to ship, instead of [Package] Launcher\n"
    "                     (default: korvan.exe or korvan beside this tool)\n";

int Fail(const std::wstring& message) {
  std::fputs(("korvan-package: " + platform::NarrowFromWide(message) + "\n").c_str(), stderr);
  return 1;
}

struct Arguments {
  std::wstring description;
  std::wstring output;
  std::wstring launcher;
};

std::optional<Arguments> ParseArguments(const std::vector<std::wstring>& arguments) {
  Arguments parsed;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const bool has_value = i + 1 < arguments.size();
    if (arguments[i] == L"--output" && has_value) {
      parsed.output = arguments[++i];
    } else if (arguments[i] == L"--launcher" && has_value) {
      parsed.launcher = arguments[++i];
    } else if (arguments[i].rfind(L"--", 0) == 0 || !parsed.description.empty()) {
      return std::nullopt;
    } else {
      parsed.description = arguments[i];
    }
  }
  if (parsed.description.empty()) return std::nullopt;
  return parsed;
}

std::wstring DefaultLauncher(const PackageDescription& d) {
  const std::optional<std::wstring> tool = platform::ModuleFileName();
  const fs::path folder = tool ? fs::path(*tool).parent_path() : fs::path(L".");
  return (folder / FactsOf(d.target).launcher_file).lexically_normal().wstring();
}

// Every input checked before anything is written.
bool CheckInputs(const PackageDescription& d, const std::wstring& launcher, std::wstring& error) {
  std::error_code ignored;
  if (!fs::is_regular_file(d.main_jar, ignored)) {
    error = L"the main jar " + d.main_jar + L" does not exist";
    return false;
  }
  for (const auto& [path, what] : {std::pair{&d.lib_folder, L"lib folder"}, std::pair{&d.icon, L"icon"},
                                   std::pair{&d.certificate, L"certificate"},
                                   std::pair{&d.password_file, L"password file"}}) {
    if (!path->empty() && !fs::exists(*path, ignored)) {
      error = L"the " + std::wstring(what) + L" " + *path + L" does not exist";
      return false;
    }
  }
  return CheckLauncher(launcher, d.target, error) && CheckRuntime(d.runtime, d.target, !d.modules.empty(), error);
}

std::vector<std::wstring> OutputNames(const PackageDescription& d) {
  const std::wstring base = d.name + L"-" + d.version + L"-" + d.TargetName();
  std::vector<std::wstring> names = {d.name, base + (d.Windows() ? L".zip" : L".tar.gz")};
  if (d.msi) names.push_back(base + L".msi");
  if (d.deb) names.push_back(base + L".deb");
  return names;
}

// The MSI (Windows) or the .deb (Linux), the last output.
struct InstallerJob {
  const PackageDescription* d;
  fs::path staging;
  fs::path installer;
  bool built = true;
  std::wstring error;
};

void WriteInstaller(void* context) {
  InstallerJob& job = *static_cast<InstallerJob*>(context);
  job.built = job.d->msi ? WriteMsi(*job.d, job.staging, job.d->name, job.installer, job.error)
                         : WriteDeb(job.staging, job.d->name, job.installer, job.error);
}

bool Build(const PackageDescription& d, const std::wstring& launcher, const fs::path& staging,
           std::wstring& error) {
  const fs::path folder = staging / d.name;
  if (!LayOutApplicationFolder(d, launcher, folder, error)) return false;
  if (!d.certificate.empty() && !SignLauncher(d, folder / LauncherFileName(d), error)) return false;
  if (!NormaliseTree(folder, error)) return false;
  const std::vector<std::wstring> names = OutputNames(d);
  if (d.deb && !LayOutDebTree(d, staging, d.name, error)) return false;
  // The archive and the installer each compress the whole runtime: side by
  // side they take the time of one.
  InstallerJob installer{&d, staging, staging / names.back(), true, std::wstring()};
  platform::BackgroundThread installer_thread;
  if ((d.msi || d.deb) && !installer_thread.Start(WriteInstaller, &installer)) WriteInstaller(&installer);
  const bool archived = d.Windows() ? WriteZip(staging, d.name, staging / names[1], error)
                                    : WriteTarGz(staging, d.name, staging / names[1], error);
  installer_thread.Join();
  if (archived && !installer.built) error = installer.error;
  return archived && installer.built;
}

// Moves the staged outputs over the old ones.
bool Publish(const PackageDescription& d, const fs::path& staging, const fs::path& output, std::wstring& error) {
  for (const std::wstring& name : OutputNames(d)) {
    std::error_code why;
    fs::remove_all(output / name, why);
    if (!why) fs::rename(staging / name, output / name, why);
    if (why) {
      error = L"cannot move " + name + L" into " + output.wstring() + L": " + platform::WideFromNarrow(why.message());
      return false;
    }
  }
  return true;
}

int Package(const Arguments& arguments) {
  std::string bytes;
  if (!platform::ReadFileBytes(arguments.description, bytes)) return Fail(L"cannot read " + arguments.description);
  std::vector<std::wstring> errors;
  std::optional<PackageDescription> d = ParsePackageDescription(arguments.description, bytes, errors);
  if (!d) {
    for (const std::wstring& error : errors) Fail(error);
    return 1;
  }
  if (!arguments.output.empty()) d->output = arguments.output;
  if (d->output.empty()) return Fail(L"name the output folder: [Package] Output or --output");
  const std::wstring launcher =
      !arguments.launcher.empty() ? arguments.launcher : !d->launcher.empty() ? d->launcher : DefaultLauncher(*d);
  std::wstring error;
  if (!CheckInputs(*d, launcher, error)) return Fail(error);

  const fs::path output = fs::absolute(d->output);
  const fs::path staging = output / (L"." + d->name + L".korvan-package");
  std::error_code why;
  fs::create_directories(output, why);
  if (!why) fs::remove_all(staging, why);
  if (!why) fs::create_directory(staging, why);
  if (why) {
    return Fail(L"cannot write to the output folder " + output.wstring() + L": " +
                platform::WideFromNarrow(why.message()));
  }
  const bool built = Build(*d, launcher, staging, error) && Publish(*d, staging, output, error);
  fs::remove_all(staging, why);
  if (!built) return Fail(error);
  for (const std::wstring& name : OutputNames(*d)) {
    std::printf("korvan-package: %s\n", platform::NarrowFromWide((output / name).wstring()).c_str());
  }
  return 0;
}

}  // namespace
}  // namespace korvan::package

int main(int argc, char** argv) {
  korvan::platform::UseSystemDefaultLocale();
  // zip stores local times: one time zone everywhere gives the same bytes.
  // Set before any thread starts, since the tools' threads read the environment.
  korvan::platform::WriteEnvironmentVariable(L"TZ", L"UTC0");
  const std::vector<std::wstring> arguments = korvan::platform::ApplicationArguments(argc, argv);
  for (const std::wstring& argument : arguments) {
    if (argument == L"--help" || argument == L"-h") {
      std::fputs(korvan::package::kUsage, stdout);
      return 0;
    }
  }
  const auto parsed = korvan::package::ParseArguments(arguments);
  if (!parsed) {
    std::fputs((std::string("korvan-package: name one description file\n") + korvan::package::kUsage).c_str(), stderr);
    return 2;
  }
  return korvan::package::Package(*parsed);
}
