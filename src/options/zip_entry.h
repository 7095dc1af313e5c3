#pragma once
// One entry of a zip file (a jar), found through its central directory and
// read without reading the rest of the file. Free of system calls: the file's
// bytes come through a function handed in.

#include <cstdint>
#include <functional>
#include <string>

namespace korvan {

// The file as the reader sees it: its size, and a way to read `count` bytes
// from `offset` (false when they cannot be read).
struct ZipFileAccess {
  std::uint64_t size = 0;
  std::function<bool(std::uint64_t offset, std::size_t count, std::string& bytes)> read;
};

enum class ZipEntryStatus { Found, Absent, Corrupt };

struct ZipEntry {
  ZipEntryStatus status = ZipEntryStatus::Absent;
  std::string bytes;  // the entry's content when found
};

// The first entry named `name`, compared as jar files compare the manifest's
// name (A to Z in any case), stored or deflated. Corrupt when the file is no
// zip, its directory or the entry does not read whole, or it is compressed
// another way. Zip64 directories and data before the zip (a script in front
// of it) are read as java reads them.
ZipEntry ReadZipEntry(const ZipFileAccess& file, const std::string& name);

}  // namespace korvan
