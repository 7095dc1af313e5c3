#include "archive/archive_files.h"

#include "platform/cache_files.h"
#include "platform/file_bytes.h"

namespace korvan {

bool SealArchive(const ArchiveFiles& files) {
  const platform::FileStamp stamp = platform::ReadFileStamp(files.part);
  return stamp.exists && stamp.size > 0 &&
         platform::WriteFileBytes(files.seal, SealText(stamp.size, stamp.modified)) &&
         platform::RenameOver(files.part, files.archive);
}

}  // namespace korvan
