#pragma once
// The files of one archive in the cache folder, all named from one base (the
// folder and the hash of the archive's key), so the launch that writes and the
// assembly that finishes an AOT cache find the same files.

#include <string>

#include "archive/class_data_archive.h"

namespace korvan {

struct ArchiveFiles {
  std::wstring archive;  // the complete archive or AOT cache, handed to the VM
  std::wstring seal;     // its size and time, written just before it is renamed into place
  std::wstring part;     // what is being written, renamed to `archive` when complete
  std::wstring lock;     // held by the one launch (or assembly) that writes
  // The AOT cache's configuration as the run records it, once complete, the
  // assembly's java arguments and the java command it may run, both written
  // by the launch that recorded the configuration.
  std::wstring configuration_part;
  std::wstring configuration;
  std::wstring arguments;
  std::wstring java;
  // The mark of an archive that could not be written or assembled: that
  // launch is not tried again.
  std::wstring failed;
};

// Seals the complete part file and renames it into place; false when there
// is no part, or it is empty, or either step failed.
bool SealArchive(const ArchiveFiles& files);

inline ArchiveFiles ArchiveFilesAt(const std::wstring& base, ArchiveKind kind) {
  const std::wstring archive = base + (kind == ArchiveKind::AotCache ? L".aot" : L".jsa");
  return {archive,           base + L".seal",         archive + L".part",
          base + L".lock",   base + L".aotconf.part", base + L".aotconf",
          base + L".aotargs", base + L".aotjava",     archive + L".failed"};
}

// The folder of archives below the user's cache root, ending in `separator`.
std::wstring ArchiveFolderIn(const std::wstring& cache_root, wchar_t separator);

// Whether `base` names an archive of `folder`: the folder, then a HashName.
bool IsArchiveBase(const std::wstring& base, const std::wstring& folder);

}  // namespace korvan
