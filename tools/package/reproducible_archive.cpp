#include "reproducible_archive.h"

#include <algorithm>
#include <chrono>
#include <vector>

#include "external_tool.h"
#include "platform/text.h"

namespace korvan::package {
namespace {

namespace fs = std::filesystem;

constexpr std::int64_t kFixedTime = kArchiveTime;

fs::file_time_type FixedFileTime() {
  const auto system_now = std::chrono::system_clock::now();
  const auto file_now = fs::file_time_type::clock::now();
  const auto fixed = std::chrono::system_clock::time_point(std::chrono::seconds(kFixedTime));
  return file_now + std::chrono::duration_cast<fs::file_time_type::duration>(fixed - system_now);
}

bool Normalise(const fs::path& path, fs::file_time_type time, std::wstring& error) {
  std::error_code why;
  const fs::file_status status = fs::symlink_status(path, why);
  if (fs::is_symlink(status)) return true;  // the .deb's link on the PATH, stored as a link
  const bool executable = fs::is_directory(status) || (status.permissions() & fs::perms::owner_exec) != fs::perms::none;
  fs::permissions(path, executable ? fs::perms(0755) : fs::perms(0644), why);
  if (!why) fs::last_write_time(path, time, why);
  if (!why) return true;
  error = L"cannot set the time of " + path.wstring() + L": " + platform::WideFromNarrow(why.message());
  return false;
}

// Every file below parent/name, relative to parent, sorted; folders are left
// out (zip -D), as unpacking makes them.
std::vector<std::wstring> SortedFiles(const fs::path& parent, const std::wstring& name) {
  std::vector<std::wstring> files;
  std::error_code why;
  for (fs::recursive_directory_iterator it(parent / name, why), end; !why && it != end; it.increment(why)) {
    if (!it->is_directory()) files.push_back(fs::path(it->path()).lexically_relative(parent).generic_wstring());
  }
  std::sort(files.begin(), files.end());
  return files;
}

// The layout copies what links point to: a link packed as a link would point
// into the build machine, or wherever it leads on the user's.
bool HoldsNoLinks(const fs::path& folder, std::wstring& error) {
  std::error_code why;
  for (fs::recursive_directory_iterator it(folder, why), end; !why && it != end; it.increment(why)) {
    if (!it->is_symlink()) continue;
    error = L"refused to pack the symbolic link " + it->path().wstring();
    return false;
  }
  return true;
}

}  // namespace

bool NormaliseTree(const fs::path& folder, std::wstring& error) {
  const fs::file_time_type time = FixedFileTime();
  std::error_code why;
  for (fs::recursive_directory_iterator it(folder, why), end; !why && it != end; it.increment(why)) {
    if (!Normalise(it->path(), time, error)) return false;
  }
  return Normalise(folder, time, error);
}

bool WriteZip(const fs::path& parent, const std::wstring& name, const fs::path& archive, std::wstring& error) {
  if (!HoldsNoLinks(parent / name, error)) return false;
  // Entry names are relative to the folder zip runs in.
  std::vector<std::wstring> command = {L"zip", L"-X", L"-D", L"-q", fs::absolute(archive).wstring()};
  const std::vector<std::wstring> files = SortedFiles(parent, name);
  command.insert(command.end(), files.begin(), files.end());
  return RunTool(command, L"zip", error, parent.wstring());
}

bool WriteTarGz(const fs::path& parent, const std::wstring& name, const fs::path& archive, std::wstring& error) {
  if (!HoldsNoLinks(parent / name, error)) return false;
  fs::path tar = archive;
  tar.replace_extension();  // .tar.gz -> .tar: gzip adds the .gz
  if (!RunTool({L"tar", L"--sort=name", L"--format=gnu", L"--mtime=@" + std::to_wstring(kFixedTime),
                L"--owner=0", L"--group=0", L"--numeric-owner", L"-cf", tar.wstring(), L"-C",
                parent.wstring(), name},
               L"tar", error)) {
    return false;
  }
  return RunTool({L"gzip", L"-n", L"-f", tar.wstring()}, L"gzip", error);
}

}  // namespace korvan::package
