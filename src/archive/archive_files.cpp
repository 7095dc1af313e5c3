#include "archive/archive_files.h"

#include "platform/cache_files.h"

namespace korvan {

bool SealArchive(const ArchiveFiles& files) {
  const platform::FileStamp stamp = platform::ReadFileStamp(files.part);
  return stamp.exists && stamp.size > 0 &&
         platform::WriteNewCacheFile(files.seal, SealText(stamp.size, stamp.modified)) &&
         platform::RenameOver(files.part, files.archive);
}

std::wstring ArchiveFolderIn(const std::wstring& cache_root, wchar_t separator) {
  std::wstring folder = cache_root;
  if (!folder.empty() && folder.back() != separator) folder += separator;
  return folder + L"korvan" + separator + L"class-data" + separator;
}

bool IsArchiveBase(const std::wstring& base, const std::wstring& folder) {
  constexpr std::size_t kHashLength = 16;
  if (base.size() != folder.size() + kHashLength || base.compare(0, folder.size(), folder) != 0) {
    return false;
  }
  return base.find_first_not_of(L"0123456789abcdef", folder.size()) == std::wstring::npos;
}

}  // namespace korvan
