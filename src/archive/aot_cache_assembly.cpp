#include "archive/aot_cache_assembly.h"

#include "archive/archive_files.h"
#include "archive/class_data_archive.h"
#include "messages/error_sink.h"
#include "messages/failure.h"
#include "platform/cache_files.h"
#include "platform/detached_process.h"
#include "platform/environment.h"
#include "platform/file_bytes.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "platform/text.h"
#include "platform/user_roots.h"

namespace korvan {

namespace {

// An assembly takes about as long as a few starts of the application; one
// that runs for this long is stuck and is ended.
constexpr unsigned kAssemblyLimitSeconds = 600;

// The exit code of a refused assembly, as of a launcher that could not start.
constexpr int kRefusedExitCode = -1;

int AssembleAotCache(const std::wstring& java, const ArchiveFiles& files) {
  // Nothing is made where no recording run left a configuration.
  if (!platform::ReadFileStamp(files.configuration).exists) return 0;
  // Held by a launch that records anew, which then starts an assembly of its own.
  const std::unique_ptr<platform::FileLock> lock = platform::TryLockFile(files.lock);
  if (lock == nullptr || !platform::ReadFileStamp(files.configuration).exists) return 0;
  platform::RemoveFile(files.part);
  // The java command reads this variable, the launcher's VM does not.
  platform::RemoveEnvironmentVariable(L"JDK_JAVA_OPTIONS");
  const std::optional<int> code =
      platform::RunProcessToEnd(java, {L"@" + files.arguments}, kAssemblyLimitSeconds);
  const bool sealed = code == 0 && SealArchive(files);
  for (const std::wstring* file : {&files.configuration, &files.arguments, &files.java}) {
    platform::RemoveFile(*file);
  }
  if (!sealed) {
    platform::RemoveFile(files.part);
    platform::WriteNewCacheFile(files.failed, "");
  }
  return 0;
}

// The variable starts a program: only the java command that a launch of this
// user recorded for an AOT cache of this user's cache folder, never one that
// someone else named.
bool IsPlannedAssembly(const std::vector<std::wstring>& arguments, const std::wstring& base) {
  if (arguments.size() != 1) return false;
  const std::wstring root = platform::UserCacheRoot().path;
  if (root.empty() || !IsArchiveBase(base, ArchiveFolderIn(root, platform::GetPathRules().separator))) {
    return false;
  }
  const std::wstring recorded = ArchiveFilesAt(base, ArchiveKind::AotCache).java;
  std::string java;
  return platform::ReadFileStamp(recorded).exists && platform::ReadFileBytes(recorded, java) &&
         !java.empty() && java == platform::NarrowFromWide(arguments.front());
}

}  // namespace

bool StartAotAssembly(const std::wstring& java, const std::wstring& base) {
  const std::optional<std::wstring> self = platform::ModuleFileName();
  return self && platform::StartDetachedProcess(*self, {java}, kAotAssemblyVariable, base);
}

std::optional<int> AssembleAotCacheWhenAsked(const std::vector<std::wstring>& arguments) {
  const std::optional<std::wstring> base = platform::ReadEnvironmentVariable(kAotAssemblyVariable);
  if (!base || base->empty()) return std::nullopt;
  platform::RemoveEnvironmentVariable(kAotAssemblyVariable);
  if (!IsPlannedAssembly(arguments, *base)) {
    WriteErrorLine(MessageFailure(MessageId::AotAssemblyRefused, {kAotAssemblyVariable}));
    return kRefusedExitCode;
  }
  return AssembleAotCache(arguments.front(), ArchiveFilesAt(*base, ArchiveKind::AotCache));
}

}  // namespace korvan
