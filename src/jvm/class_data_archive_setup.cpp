#include "jvm/class_data_archive_setup.h"

#include <cstdlib>
#include <memory>
#include <utility>

#include "jvm/class_data_archive.h"
#include "messages/trace.h"
#include "platform/cache_files.h"
#include "platform/environment.h"
#include "platform/file_bytes.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/runtime_files.h"
#include "platform/text.h"
#include "settings/settings_paths.h"

namespace korvan {

namespace {

constexpr const char kClassPathOption[] = "-Djava.class.path=";
// lib/server/libjvm.so, lib/amd64/server/libjvm.so, bin\server\jvm.dll: the
// "release" file is at most this many folders above the library.
constexpr int kReleaseFileDepth = 4;

// What the exit handler needs; made once and never freed, since it must
// outlive every static object and the lock must last until the process ends.
struct PendingArchive {
  std::unique_ptr<platform::FileLock> lock;
  std::wstring part;
  std::wstring archive;
  std::wstring seal;
};
PendingArchive* g_pending = nullptr;

// Runs after the VM wrote the archive: at the launcher's exit after main
// returned, and from the VM's exit hook when System.exit ends the process,
// which on Windows runs only the VM's own C run-time's exit handlers, never
// ours. A process killed while the VM writes leaves only the ".part" file,
// which the next writer removes.
void SealFinishedArchive() {
  if (g_pending == nullptr) return;
  const platform::FileStamp stamp = platform::ReadFileStamp(g_pending->part);
  if (!stamp.exists || stamp.size == 0) return;
  if (!platform::WriteFileBytes(g_pending->seal, SealText(stamp.size, stamp.modified))) return;
  platform::RenameOver(g_pending->part, g_pending->archive);
}

void JNICALL SealAtVmExit(jint) { SealFinishedArchive(); }

std::wstring ParentFolder(const std::wstring& folder) {
  if (folder.size() < 2) return std::wstring();
  return FolderOf(folder.substr(0, folder.size() - 1));
}

std::optional<JavaVersion> ReleaseVersionNear(const std::wstring& jvm_library_path) {
  std::wstring folder = FolderOf(jvm_library_path);
  for (int level = 0; level < kReleaseFileDepth && !folder.empty(); ++level) {
    if (platform::ReadFileStamp(folder + L"release").exists) {
      const std::wstring version = platform::ReadReleaseVersion(folder);
      if (version.empty()) return std::nullopt;
      return ParseVersion(version, kVersionFillLow);
    }
    folder = ParentFolder(folder);
  }
  return std::nullopt;
}

// Each missing level is made; true when the folder is there in the end.
bool MakeFolders(const std::wstring& root, const std::vector<std::wstring>& levels,
                 std::wstring& folder) {
  const wchar_t separator = platform::GetPathRules().separator;
  folder = root;
  if (folder.empty()) return false;
  platform::MakeDirectory(folder);
  for (const std::wstring& level : levels) {
    if (folder.back() != separator) folder += separator;
    folder += level;
    platform::MakeDirectory(folder);
  }
  // FindFirstFileW fails on a path that ends in a separator.
  const bool made = platform::PathExists(folder);
  folder += separator;
  return made;
}

void AppendStamped(std::string& key, const char* label, const std::wstring& path) {
  const platform::FileStamp stamp = platform::ReadFileStamp(path);
  key += label;
  key += platform::NarrowFromWide(path);
  key += '|' + std::to_string(stamp.size) + '|' + std::to_string(stamp.modified) + '\n';
}

// Everything that makes an archive valid for a launch: a change in any of it
// gives another name, so an archive is never used for a launch it was not
// written for.
std::string ArchiveKey(const VmPlan& plan, const ArchiveRequest& request) {
  std::string key;
  AppendStamped(key, "jvm=", request.jvm_library_path);
  const wchar_t separator = platform::GetSearchPathRules().list_separator;
  for (const std::string& option : plan.options) {
    if (option.rfind(kClassPathOption, 0) == 0) {
      const std::wstring class_path =
          platform::WideFromNarrow(option.substr(sizeof(kClassPathOption) - 1));
      std::size_t start = 0;
      while (start <= class_path.size()) {
        std::size_t end = class_path.find(separator, start);
        if (end == std::wstring::npos) end = class_path.size();
        if (end > start) AppendStamped(key, "entry=", class_path.substr(start, end - start));
        start = end + 1;
      }
    }
    if (AffectsArchive(option)) key += "option=" + option + '\n';
  }
  key += "main=" + platform::NarrowFromWide(request.main_class) + '\n';
  return key;
}

bool FitsNarrowText(const std::wstring& path) {
  return platform::WideFromNarrow(platform::NarrowFromWide(path)) == path;
}

ArchiveState ReadArchiveState(const std::wstring& archive, const std::wstring& seal) {
  const platform::FileStamp stamp = platform::ReadFileStamp(archive);
  if (!stamp.exists) return ArchiveState::Missing;
  std::string seal_text;
  if (platform::ReadFileStamp(seal).exists && platform::ReadFileBytes(seal, seal_text) &&
      SealMatches(seal_text, stamp.size, stamp.modified)) {
    return ArchiveState::Sealed;
  }
  return ArchiveState::Unsealed;
}

// The VM takes options from these variables too; -Xshare:off there and an
// archive to write here would stop the VM from starting.
bool EnvironmentNamesArchiveOption() {
  for (const wchar_t* variable : {L"JAVA_TOOL_OPTIONS", L"_JAVA_OPTIONS"}) {
    const std::string text =
        platform::NarrowFromWide(platform::ReadEnvironmentVariable(variable).value_or(L""));
    std::size_t start = 0;
    while (start < text.size()) {
      std::size_t end = text.find_first_of(" \t\n", start);
      if (end == std::string::npos) end = text.size();
      if (NamesArchiveOption(text.substr(start, end - start))) return true;
      start = end + 1;
    }
  }
  return false;
}

void TraceArchive(const std::wstring& text) {
  if (TraceEnabled()) Trace(L"class data archive: " + text);
}

}  // namespace

void PrepareClassDataArchive(VmPlan& plan, const ArchiveRequest& request) {
  ArchiveSituation situation;
  for (const std::string& option : plan.options) {
    if (NamesArchiveOption(option)) situation.user_names_archive = true;
  }
  if (EnvironmentNamesArchiveOption()) situation.user_names_archive = true;
  situation.version = request.registered_version;
  if (!situation.user_names_archive && !situation.version) {
    situation.version = ReleaseVersionNear(request.jvm_library_path);
  }
  situation.base_archive_present =
      platform::ReadFileStamp(FolderOf(request.jvm_library_path) + L"classes.jsa").exists;

  std::wstring folder;
  std::wstring archive;
  std::wstring seal;
  std::wstring part;
  std::unique_ptr<platform::FileLock> lock;
  // Only a launch that could use an archive touches the cache at all.
  if (RuntimeTakesArchive(situation)) {
    situation.cache_folder_ready =
        MakeFolders(platform::UserCacheRoot(), {L"korvan", L"class-data"}, folder);
    if (situation.cache_folder_ready) {
      const std::wstring base = folder + HashName(ArchiveKey(plan, request));
      archive = base + L".jsa";
      seal = base + L".seal";
      part = base + L".jsa.part";
      situation.paths_fit_narrow_text = FitsNarrowText(archive) && FitsNarrowText(part);
      lock = platform::TryLockFile(base + L".lock");
      situation.writer = lock != nullptr;
      situation.state = ReadArchiveState(archive, seal);
    }
  }

  const ArchiveDecision decision = DecideArchive(situation);
  const std::wstring& named = decision.action == ArchiveAction::Write ? part : archive;
  TraceArchive(decision.reason + (named.empty() ? L"" : L": " + named));
  if (decision.action == ArchiveAction::None) return;

  std::vector<std::string> options = SilencingOptions(*situation.version);
  if (decision.action == ArchiveAction::Use) {
    options.push_back("-XX:SharedArchiveFile=" + platform::NarrowFromWide(archive));
  } else {
    // No writer is running (this launch holds the lock), so what lies there
    // is left over: an unsealed archive, a part of a killed run.
    platform::RemoveFile(archive);
    platform::RemoveFile(seal);
    platform::RemoveFile(part);
    options.push_back("-XX:ArchiveClassesAtExit=" + platform::NarrowFromWide(part));
    g_pending = new PendingArchive{std::move(lock), part, archive, seal};
    std::atexit(SealFinishedArchive);
    plan.exit_hook = SealAtVmExit;
  }
  if (TraceEnabled()) {
    for (const std::string& option : options) Trace(L"VM option: " + platform::WideFromNarrow(option));
  }
  plan.options.insert(plan.options.begin(), options.begin(), options.end());
}

}  // namespace korvan
