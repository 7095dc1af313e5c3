#include "options/zip_entry.h"

#include <algorithm>
#include <optional>

#include "options/inflate.h"

namespace korvan {

namespace {

constexpr std::uint32_t kEndSignature = 0x06054b50;
constexpr std::uint32_t kZip64LocatorSignature = 0x07064b50;
constexpr std::uint32_t kZip64EndSignature = 0x06064b50;
constexpr std::uint32_t kDirectorySignature = 0x02014b50;
constexpr std::uint32_t kLocalSignature = 0x04034b50;
constexpr std::size_t kEndSize = 22;
constexpr std::size_t kLongestComment = 0xFFFF;
constexpr std::size_t kDirectoryEntrySize = 46;
constexpr std::size_t kLocalHeaderSize = 30;
// Far more than any manifest; a bound on what a corrupt size makes us read.
constexpr std::uint32_t kLargestEntry = 64u << 20;

std::uint64_t Little(const std::string& bytes, std::size_t at, int width) {
  std::uint64_t value = 0;
  for (int i = width - 1; i >= 0; --i) {
    value = value << 8 | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
  }
  return value;
}

bool SameNameIgnoringAsciiCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
           return lower(x) == lower(y);
         });
}

struct Directory {
  std::uint64_t offset = 0;  // in the file, after any data before the zip
  std::uint64_t size = 0;
  std::uint64_t prefix = 0;  // bytes in front of the zip itself
};

std::optional<Directory> Zip64Directory(const ZipFileAccess& file, std::uint64_t end_position) {
  std::string locator;
  if (end_position < 20 || !file.read(end_position - 20, 20, locator) ||
      Little(locator, 0, 4) != kZip64LocatorSignature) {
    return std::nullopt;
  }
  // The locator's offset is relative to the zip; the record lies right before it.
  const std::uint64_t record_position = end_position - 20 - 56;
  std::string record;
  if (end_position < 76 || !file.read(record_position, 56, record) ||
      Little(record, 0, 4) != kZip64EndSignature) {
    return std::nullopt;
  }
  Directory directory;
  directory.size = Little(record, 40, 8);
  const std::uint64_t offset = Little(record, 48, 8);
  if (directory.size + offset > record_position) return std::nullopt;
  directory.prefix = record_position - directory.size - offset;
  directory.offset = directory.prefix + offset;
  return directory;
}

std::optional<Directory> FindDirectory(const ZipFileAccess& file) {
  if (file.size < kEndSize) return std::nullopt;
  const std::size_t tail_size =
      static_cast<std::size_t>(std::min<std::uint64_t>(file.size, kEndSize + kLongestComment));
  const std::uint64_t tail_start = file.size - tail_size;
  std::string tail;
  if (!file.read(tail_start, tail_size, tail)) return std::nullopt;
  for (std::size_t at = tail_size - kEndSize + 1; at-- > 0;) {
    if (Little(tail, at, 4) != kEndSignature) continue;
    const std::uint64_t end_position = tail_start + at;
    const std::uint64_t size = Little(tail, at + 12, 4);
    const std::uint64_t offset = Little(tail, at + 16, 4);
    if (size == 0xFFFFFFFF || offset == 0xFFFFFFFF || Little(tail, at + 10, 2) == 0xFFFF) {
      if (std::optional<Directory> zip64 = Zip64Directory(file, end_position)) return zip64;
    }
    if (size + offset > end_position) continue;
    Directory directory;
    directory.size = size;
    directory.prefix = end_position - size - offset;
    directory.offset = directory.prefix + offset;
    return directory;
  }
  return std::nullopt;
}

ZipEntry Corrupt() { return ZipEntry{ZipEntryStatus::Corrupt, {}}; }

ZipEntry ReadEntryData(const ZipFileAccess& file, std::uint64_t local_position, int method,
                       std::uint64_t compressed_size, std::uint64_t size) {
  std::string local;
  if (compressed_size > kLargestEntry || size > kLargestEntry ||
      !file.read(local_position, kLocalHeaderSize, local) ||
      Little(local, 0, 4) != kLocalSignature) {
    return Corrupt();
  }
  const std::uint64_t data_position =
      local_position + kLocalHeaderSize + Little(local, 26, 2) + Little(local, 28, 2);
  std::string data;
  if (!file.read(data_position, static_cast<std::size_t>(compressed_size), data)) return Corrupt();
  if (method == 0) {
    if (compressed_size != size) return Corrupt();
    return ZipEntry{ZipEntryStatus::Found, std::move(data)};
  }
  if (method != 8) return Corrupt();
  std::optional<std::string> inflated = Inflate(data, static_cast<std::size_t>(size));
  if (!inflated || inflated->size() != size) return Corrupt();
  return ZipEntry{ZipEntryStatus::Found, std::move(*inflated)};
}

}  // namespace

ZipEntry ReadZipEntry(const ZipFileAccess& file, const std::string& name) {
  const std::optional<Directory> directory = FindDirectory(file);
  if (!directory || directory->size > kLargestEntry) return Corrupt();
  std::string entries;
  if (!file.read(directory->offset, static_cast<std::size_t>(directory->size), entries)) {
    return Corrupt();
  }
  std::size_t at = 0;
  while (at + kDirectoryEntrySize <= entries.size()) {
    if (Little(entries, at, 4) != kDirectorySignature) return Corrupt();
    const std::size_t name_length = static_cast<std::size_t>(Little(entries, at + 28, 2));
    const std::size_t extra_length = static_cast<std::size_t>(Little(entries, at + 30, 2));
    const std::size_t comment_length = static_cast<std::size_t>(Little(entries, at + 32, 2));
    const std::size_t next = at + kDirectoryEntrySize + name_length + extra_length + comment_length;
    if (next > entries.size()) return Corrupt();
    if (SameNameIgnoringAsciiCase(entries.substr(at + kDirectoryEntrySize, name_length), name)) {
      const std::uint64_t local_offset = Little(entries, at + 42, 4);
      if (local_offset == 0xFFFFFFFF) return Corrupt();  // a manifest beyond 4 GiB: not read here
      return ReadEntryData(file, directory->prefix + local_offset,
                           static_cast<int>(Little(entries, at + 10, 2)),
                           Little(entries, at + 20, 4), Little(entries, at + 24, 4));
    }
    at = next;
  }
  return ZipEntry{};
}

}  // namespace korvan
