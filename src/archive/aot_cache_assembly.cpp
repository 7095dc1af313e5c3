#include "archive/aot_cache_assembly.h"

#include "archive/archive_files.h"
#include "archive/class_data_archive.h"
#include "platform/cache_files.h"
#include "platform/detached_process.h"
#include "platform/environment.h"
#include "platform/file_bytes.h"
#include "platform/process.h"

namespace korvan {

namespace {

// An assembly takes about as long as a few starts of the application; one
// that runs for this long is stuck and is ended.
constexpr unsigned kAssemblyLimitSeconds = 600;

int AssembleAotCache(const std::wstring& java, const std::wstring& base) {
  const ArchiveFiles files = ArchiveFilesAt(base, ArchiveKind::AotCache);
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
  platform::RemoveFile(files.configuration);
  platform::RemoveFile(files.arguments);
  if (!sealed) {
    platform::RemoveFile(files.part);
    platform::WriteFileBytes(files.failed, "");
  }
  return 0;
}

}  // namespace

bool StartAotAssembly(const std::wstring& java, const std::wstring& base) {
  const std::optional<std::wstring> self = platform::ModuleFileName();
  return self && platform::StartDetachedProcess(*self, {java}, kAotAssemblyVariable, base);
}

std::optional<int> AssembleAotCacheWhenAsked(const std::vector<std::wstring>& arguments) {
  const std::optional<std::wstring> base = platform::ReadEnvironmentVariable(kAotAssemblyVariable);
  if (!base || base->empty() || arguments.size() != 1) return std::nullopt;
  platform::RemoveEnvironmentVariable(kAotAssemblyVariable);
  return AssembleAotCache(arguments.front(), *base);
}

}  // namespace korvan
