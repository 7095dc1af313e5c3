#include "application_folder.h"

#include <algorithm>
#include <vector>

#include "app_settings_file.h"
#include "external_tool.h"
#include "pe_image.h"
#include "platform/file_bytes.h"
#include "platform/text.h"
#include "runtime_modules.h"
#include "stamp_launcher.h"
#include "target_binaries.h"

namespace korvan::package {
namespace {

namespace fs = std::filesystem;

bool Failed(std::wstring& error, const std::wstring& message, const std::error_code& why) {
  error = message + L": " + platform::WideFromNarrow(why.message());
  return false;
}

// Copies `from` to `to`, a symbolic link as what it points to: a link in a
// package would point into the build machine, or elsewhere on the user's.
// `input` is the real folder being copied; a link that leads out of it, or
// back into a folder being copied (`open`), is refused.
bool CopyResolved(const fs::path& from, const fs::path& to, const fs::path& input, std::vector<fs::path>& open,
                  std::wstring& error) {
  std::error_code why;
  const fs::path real = fs::canonical(from, why);
  if (why) return Failed(error, L"cannot follow " + from.wstring(), why);
  const fs::path inside = real.lexically_relative(input);
  if (inside.empty() || *inside.begin() == L"..") {
    error = L"refused: " + from.wstring() + L" is a symbolic link to " + real.wstring() + L", outside " +
            input.wstring() + L"; put what it points to in that folder instead";
    return false;
  }
  if (!fs::is_directory(real, why)) {
    fs::copy_file(real, to, why);
    return !why || Failed(error, L"cannot copy " + from.wstring() + L" to " + to.wstring(), why);
  }
  if (std::find(open.begin(), open.end(), real) != open.end()) {
    error = L"refused: " + from.wstring() + L" is a symbolic link to " + real.wstring() + L", which holds it";
    return false;
  }
  if (!fs::create_directory(to, why) && why) return Failed(error, L"cannot make " + to.wstring(), why);
  open.push_back(real);
  for (const fs::directory_entry& entry : fs::directory_iterator(from, why)) {
    if (!CopyResolved(entry.path(), to / entry.path().filename(), input, open, error)) return false;
  }
  open.pop_back();
  return !why || Failed(error, L"cannot read " + from.wstring(), why);
}

bool CopyTree(const fs::path& from, const fs::path& to, std::wstring& error) {
  std::error_code why;
  const fs::path input = fs::canonical(from, why);
  if (why) return Failed(error, L"cannot read " + from.wstring(), why);
  std::vector<fs::path> open;
  return CopyResolved(from, to, input, open, error);
}

// The version information the stamp gets: what the description says over
// what its name, vendor and version imply.
std::vector<std::wstring> VersionPairs(const PackageDescription& d) {
  std::vector<std::wstring> pairs = {L"ProductName=" + d.name, L"FileDescription=" + d.name,
                                     L"InternalName=" + d.name, L"OriginalFilename=" + LauncherFileName(d),
                                     L"FileVersion=" + d.version, L"ProductVersion=" + d.version};
  if (!d.vendor.empty()) pairs.push_back(L"CompanyName=" + d.vendor);
  pairs.insert(pairs.end(), d.version_pairs.begin(), d.version_pairs.end());
  return pairs;
}

// strip gives a PE file the time it ran as its link time; the launcher's own
// link time keeps the package the same from one run to the next.
bool KeepLinkTime(const std::wstring& original, const fs::path& stripped, std::wstring& error) {
  std::string before;
  std::string after;
  std::string why;
  if (platform::ReadFileBytes(original, before) && platform::ReadFileBytes(stripped.wstring(), after)) {
    const std::optional<pe::PeImage> old_image = pe::ParsePeImage(before, why);
    const std::optional<pe::PeImage> new_image = pe::ParsePeImage(after, why);
    if (old_image && new_image) {
      after.replace(new_image->coff_offset + 4, 4, before, old_image->coff_offset + 4, 4);
      if (platform::WriteFileBytes(stripped.wstring(), after)) return true;
    }
  }
  error = L"cannot read back the stripped launcher " + stripped.wstring();
  return false;
}

bool PrepareLauncher(const PackageDescription& d, const std::wstring& launcher, const fs::path& target,
                     std::wstring& error) {
  if (!platform::CopyFileReplacing(launcher, target.wstring())) {
    error = L"cannot copy the launcher to " + target.wstring();
    return false;
  }
  // The symbol table of a build is no use to users and is most of its size.
  const TargetFacts& facts = FactsOf(d.target);
  if (!RunTool({facts.strip, L"--strip-all", target.wstring()}, facts.strip_package, error)) {
    return false;
  }
  if (!d.Windows()) return true;  // a Linux launcher carries no icon or version information
  if (!KeepLinkTime(launcher, target, error)) return false;
  stamp::StampOptions options;
  options.launcher = target.wstring();
  options.icon = d.icon;
  options.version_pairs = VersionPairs(d);
  options.windowed = !d.console;
  if (stamp::StampLauncher(options, error)) return true;
  error = L"stamping " + target.wstring() + L" failed: " + error;
  return false;
}

// The jars below `folder`, relative to it: the main jar, then lib/'s sorted.
bool CopyJars(const PackageDescription& d, const fs::path& folder, std::vector<std::wstring>& jars,
              std::wstring& error) {
  const fs::path main_jar = fs::path(d.main_jar).filename();
  if (!platform::CopyFileReplacing(d.main_jar, (folder / main_jar).wstring())) {
    error = L"cannot copy the main jar " + d.main_jar;
    return false;
  }
  jars.push_back(main_jar.wstring());
  if (d.lib_folder.empty()) return true;
  if (!CopyTree(d.lib_folder, folder / "lib", error)) return false;
  std::vector<std::wstring> lib_jars;
  std::error_code why;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder / "lib", why)) {
    std::wstring extension = entry.path().extension().wstring();
    std::transform(extension.begin(), extension.end(), extension.begin(), ::towlower);
    if (extension == L".jar") lib_jars.push_back(L"lib/" + entry.path().filename().wstring());
  }
  std::sort(lib_jars.begin(), lib_jars.end());
  jars.insert(jars.end(), lib_jars.begin(), lib_jars.end());
  return true;
}

// jlink makes the legal notices that modules share symbolic links to one
// copy; a package holds files only, so each link becomes a copy of its file.
bool CopyLinkedFiles(const fs::path& root, std::wstring& error) {
  std::vector<fs::path> links;
  std::error_code why;
  for (auto entry = fs::recursive_directory_iterator(root, why); !why && entry != fs::end(entry);
       entry.increment(why)) {
    if (entry->is_symlink()) links.push_back(entry->path());
  }
  if (why) return Failed(error, L"cannot read " + root.wstring(), why);
  for (const fs::path& link : links) {
    const fs::path real = fs::canonical(link, why);
    if (!why) fs::remove(link, why);
    if (!why) fs::copy_file(real, link, why);
    if (why) return Failed(error, L"cannot copy the file that " + link.wstring() + L" links to", why);
  }
  return true;
}

// The runtime as given, or only the modules the description names (or jdeps
// finds the jars use), linked from the JDK's jmods by a jlink of its version.
bool BundleRuntime(const PackageDescription& d, const fs::path& folder, const std::vector<std::wstring>& jars,
                   std::wstring& error) {
  const fs::path target = folder / BundledRuntimeFolderName(d.target);
  if (d.modules.empty()) return CopyTree(d.runtime, target, error);
  std::wstring modules;
  if (!ModulesToLink(d, folder, jars, folder.parent_path(), modules, error)) return false;
  return RunTool({JdkTool(d, L"jlink"), L"--module-path", (fs::path(d.runtime) / "jmods").wstring(),
                  L"--add-modules", modules, L"--strip-debug", L"--no-header-files", L"--no-man-pages",
                  L"--output", target.wstring()},
                 L"openjdk-17-jdk-headless, or a JDK of the runtime's version on the PATH", error) &&
         CopyLinkedFiles(target, error);
}

}  // namespace

std::wstring LauncherFileName(const PackageDescription& description) {
  return description.name + (description.Windows() ? L".exe" : L"");
}

bool LayOutApplicationFolder(const PackageDescription& description, const std::wstring& launcher,
                             const fs::path& folder, std::wstring& error) {
  std::error_code why;
  if (!fs::create_directories(folder, why)) return Failed(error, L"cannot make " + folder.wstring(), why);
  if (!PrepareLauncher(description, launcher, folder / LauncherFileName(description), error)) return false;
  std::vector<std::wstring> jars;
  if (!CopyJars(description, folder, jars, error)) return false;
  const fs::path settings = folder / (description.name + L".ini");
  if (!platform::WriteFileBytes(settings.wstring(), AppSettingsFileBytes(description, jars))) {
    error = L"cannot write " + settings.wstring();
    return false;
  }
  return BundleRuntime(description, folder, jars, error);
}

}  // namespace korvan::package
