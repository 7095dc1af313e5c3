#include "archive/class_data_archive_setup.h"

#include <atomic>
#include <cstdlib>
#include <memory>
#include <utility>

#include "archive/aot_cache_assembly.h"
#include "archive/archive_files.h"
#include "archive/class_data_archive.h"
#include "options/argument_file.h"
#include "options/environment_paths.h"
#include "messages/trace.h"
#include "platform/cache_files.h"
#include "platform/environment.h"
#include "platform/file_bytes.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/runtime_layout.h"
#include "platform/runtime_files.h"
#include "platform/text.h"
#include "platform/user_roots.h"
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
  ArchiveKind kind;
  std::unique_ptr<platform::FileLock> lock;
  ArchiveFiles files;
  std::wstring base;
  std::wstring java;
};
PendingArchive* g_pending = nullptr;
bool g_finished = false;  // the exit hook and the exit handler may both come
std::atomic<bool> g_application_started{false};  // set on the VM's thread

// The configuration is complete once the VM has ended; the assembly waits
// for the lock, so it is let go first.
bool HandOverAotConfiguration(PendingArchive& pending) {
  const platform::FileStamp stamp = platform::ReadFileStamp(pending.files.configuration_part);
  if (!stamp.exists || stamp.size == 0) return false;
  if (!platform::RenameOver(pending.files.configuration_part, pending.files.configuration)) return false;
  pending.lock.reset();
  StartAotAssembly(pending.java, pending.base);
  return true;
}

// Runs once the VM has written what it writes at exit: at the launcher's exit
// after main returned, and from the VM's exit hook when System.exit ends the
// process, which on Windows runs only the VM's own C run-time's exit
// handlers, never ours. A process killed meanwhile leaves only part files,
// which the next writer removes.
void FinishAtExit() {
  if (g_pending == nullptr || g_finished) return;
  g_finished = true;
  PendingArchive& pending = *g_pending;
  const bool handed_over = pending.kind == ArchiveKind::AotCache ? HandOverAotConfiguration(pending)
                                                                 : SealArchive(pending.files);
  if (handed_over || !g_application_started) return;
  // The VM wrote nothing it could finish: the same launch would fail again.
  platform::WriteNewCacheFile(pending.files.failed, "");
  for (const std::wstring* file : {&pending.files.arguments, &pending.files.java}) {
    platform::RemoveFile(*file);
  }
}

void JNICALL FinishAtVmExit(jint) { FinishAtExit(); }

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

// The user's cache root and each level of the folder of archives below it
// are made when missing; true when the folder is there in the end.
bool MakeArchiveFolder(const std::wstring& root, const std::wstring& folder) {
  if (root.empty()) return false;
  const std::wstring korvan = ParentFolder(folder);
  for (const std::wstring& level : {root, korvan.substr(0, korvan.size() - 1),
                                    folder.substr(0, folder.size() - 1)}) {
    platform::MakeDirectory(level);
  }
  // FindFirstFileW fails on a path that ends in a separator.
  return platform::PathExists(folder.substr(0, folder.size() - 1));
}

void AppendStamped(std::string& key, const char* label, const std::wstring& path) {
  const platform::FileStamp stamp = platform::ReadFileStamp(path);
  key += label;
  key += platform::NarrowFromWide(path);
  key += '|' + std::to_string(stamp.size) + '|' + std::to_string(stamp.modified) + '\n';
}

// The entries of the launch's class path.
std::vector<std::wstring> ClassPathEntries(const VmPlan& plan) {
  std::vector<std::wstring> entries;
  const wchar_t separator = platform::GetSearchPathRules().list_separator;
  for (const std::string& option : plan.options) {
    if (option.rfind(kClassPathOption, 0) != 0) continue;
    const std::wstring class_path = platform::WideFromNarrow(option.substr(sizeof(kClassPathOption) - 1));
    std::size_t start = 0;
    while (start <= class_path.size()) {
      std::size_t end = class_path.find(separator, start);
      if (end == std::wstring::npos) end = class_path.size();
      if (end > start) entries.push_back(class_path.substr(start, end - start));
      start = end + 1;
    }
  }
  return entries;
}

// A folder on the class path (exploded classes, resources): the VM archives
// classes from jar files only, and ends a run that writes one with exit code 1.
bool HoldsFolder(const std::vector<std::wstring>& class_path) {
  for (const std::wstring& entry : class_path) {
    if (platform::PathExists(entry) && !platform::ReadFileStamp(entry).exists) return true;
  }
  return false;
}

// Everything that makes an archive valid for a launch: a change in any of it
// gives another name, so an archive is never used for a launch it was not
// written for.
std::string ArchiveKey(const VmPlan& plan, const ArchiveRequest& request,
                       const std::vector<std::wstring>& class_path) {
  std::string key;
  AppendStamped(key, "jvm=", request.jvm_library_path);
  for (const std::wstring& entry : class_path) AppendStamped(key, "entry=", entry);
  for (const std::string& option : plan.options) {
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
  const ArchiveKind kind = situation.version ? ArchiveKindFor(*situation.version) : ArchiveKind::None;
  situation.base_archive_present =
      platform::ReadFileStamp(FolderOf(request.jvm_library_path) + L"classes.jsa").exists;
  const platform::RuntimeLayout& layout = platform::GetRuntimeLayout();
  const std::wstring java =
      RuntimeFoldersFor(request.jvm_library_path, layout).bin + layout.separator + layout.java_command;
  situation.java_command_present = platform::ReadFileStamp(java).exists;
  const std::vector<std::wstring> class_path = ClassPathEntries(plan);
  situation.class_path_holds_folder = HoldsFolder(class_path);

  std::wstring base;
  ArchiveFiles files;
  std::unique_ptr<platform::FileLock> lock;
  // Only a launch that could use an archive touches the cache at all.
  if (RuntimeTakesArchive(situation)) {
    const platform::UserRoot root = platform::UserCacheRoot();
    for (const std::wstring& why : root.passed_over) Trace(L"cache root: not " + why);
    const std::wstring folder = ArchiveFolderIn(root.path, platform::GetPathRules().separator);
    situation.cache_folder_ready = MakeArchiveFolder(root.path, folder);
    if (situation.cache_folder_ready) {
      base = folder + HashName(ArchiveKey(plan, request, class_path));
      files = ArchiveFilesAt(base, kind);
      situation.paths_fit_narrow_text = FitsNarrowText(files.archive) && FitsNarrowText(files.part) &&
                                        FitsNarrowText(files.configuration_part);
      lock = platform::TryLockFile(files.lock);
      situation.writer = lock != nullptr;
      situation.state = ReadArchiveState(files.archive, files.seal);
      situation.write_failed = platform::ReadFileStamp(files.failed).exists;
      situation.room_to_write =
          !situation.writer || platform::FreeSpace(folder).value_or(kRoomToWrite) >= kRoomToWrite;
    }
  }

  const ArchiveDecision decision = DecideArchive(situation);
  const bool aot = kind == ArchiveKind::AotCache;
  const std::wstring& named = decision.action != ArchiveAction::Write ? files.archive
                              : aot                                   ? files.configuration_part
                                                                      : files.part;
  TraceArchive(decision.reason + (named.empty() ? L"" : L": " + named));
  if (decision.action == ArchiveAction::None) return;

  std::vector<std::string> options = SilencingOptions(*situation.version);
  if (decision.action == ArchiveAction::Use) {
    options.push_back((aot ? "-XX:AOTCache=" : "-XX:SharedArchiveFile=") +
                      platform::NarrowFromWide(files.archive));
  } else {
    // No writer is running (this launch holds the lock), so what lies there
    // is left over: an unsealed archive, a part of a killed run.
    for (const std::wstring* file : {&files.archive, &files.seal, &files.part, &files.configuration_part,
                                     &files.configuration, &files.arguments, &files.java}) {
      platform::RemoveFile(*file);
    }
    if (aot) {
      // The assembly starts java as this launch starts its VM.
      const std::vector<std::string> arguments = AotAssemblyArguments(
          plan.options, platform::NarrowFromWide(files.configuration),
          platform::NarrowFromWide(files.part), *situation.version);
      // The assembly runs only the java command recorded here.
      if (!platform::WriteNewCacheFile(files.arguments, JavaArgumentFileText(arguments)) ||
          !platform::WriteNewCacheFile(files.java, platform::NarrowFromWide(java))) {
        TraceArchive(L"off for this run: the cache folder is not writable");
        return;
      }
      const std::vector<std::string> record =
          AotRecordOptions(platform::NarrowFromWide(files.configuration_part));
      options.insert(options.end(), record.begin(), record.end());
    } else {
      options.push_back("-XX:ArchiveClassesAtExit=" + platform::NarrowFromWide(files.part));
    }
    g_pending = new PendingArchive{kind, std::move(lock), files, base, java};
    std::atexit(FinishAtExit);
    plan.exit_hook = FinishAtVmExit;
  }
  if (TraceEnabled()) {
    for (const std::string& option : options) Trace(L"VM option: " + platform::WideFromNarrow(option));
  }
  plan.options.insert(plan.options.begin(), options.begin(), options.end());
}

void NoteApplicationStarted() { g_application_started = true; }

}  // namespace korvan
