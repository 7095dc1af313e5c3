#include "platform/profile.h"

#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <optional>
#include <utility>

#include "platform/posix/regular_file.h"
#include "platform/shared/ini_text.h"
#include "platform/text.h"

namespace korvan::platform {
namespace {

struct FileIdentity {
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  struct timespec modified {};

  bool operator==(const FileIdentity& other) const {
    return device == other.device && inode == other.inode && size == other.size &&
           modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec;
  }
};

FileIdentity IdentityOf(const struct stat& status) {
  return FileIdentity{status.st_dev, status.st_ino, status.st_size, status.st_mtim};
}

std::optional<std::string> ReadWholeFile(const RegularFile& file) {
  return file.Read(static_cast<std::size_t>(file.status().st_size));
}

// A settings read asks for one file many times in a row: keep the last file
// parsed for as long as it stays unchanged on disk.
struct ParsedFile {
  std::wstring wide_path;  // as asked for, so a repeated read converts no text
  std::string path;
  FileIdentity identity;
  std::vector<IniSection> sections;
};

std::optional<ParsedFile> cached;

const std::vector<IniSection>* ParsedSections(const std::wstring& wide_path) {
  const std::string path =
      cached && cached->wide_path == wide_path ? cached->path : NarrowFromWide(wide_path);
  const std::optional<RegularFile> file = RegularFile::Open(path);
  if (!file) {
    cached.reset();
    return nullptr;
  }
  const FileIdentity identity = IdentityOf(file->status());
  if (cached && cached->path == path && cached->identity == identity) return &cached->sections;
  cached.reset();
  // Each stage is dropped as soon as the next one is made, the bytes and then
  // the decoded text: an enormous file is held in at most two forms at once.
  std::wstring text;
  {
    std::optional<std::string> bytes = ReadWholeFile(*file);
    if (!bytes) return nullptr;
    text = DecodeIniFile(*bytes).text;
  }
  std::vector<IniSection> sections = ParseIniText(text);
  std::wstring().swap(text);
  cached = ParsedFile{wide_path, path, identity, std::move(sections)};
  return &cached->sections;
}

}  // namespace

std::size_t ReadProfileValue(const std::wstring& file, const std::wstring& section,
                             const std::wstring& key, std::size_t capacity, std::wstring& value) {
  value.clear();
  if (capacity == 0) return 0;
  const std::vector<IniSection>* sections = ParsedSections(file);
  if (sections == nullptr) return 0;
  // Only what fits is copied: the caller asks again with more room for a
  // longer value, so copying it whole each time would cost its length again
  // at every doubling.
  const std::optional<std::wstring_view> found = FindIniValueView(*sections, section, key);
  if (!found) return 0;
  value.assign(found->substr(0, capacity - 1));
  return value.size();
}

void ForgetParsedProfiles() { cached.reset(); }

bool WriteProfileValue(const std::wstring& file, const std::wstring& section,
                       const std::wstring& key, const std::wstring& value) {
  const std::string path = NarrowFromWide(file);
  IniFileText current;
  struct stat status {};
  const bool exists = stat(path.c_str(), &status) == 0;
  if (exists) {
    // Only a regular file is replaced: never a folder, a FIFO or a device.
    const std::optional<RegularFile> file = RegularFile::Open(path);
    const std::optional<std::string> bytes = file ? ReadWholeFile(*file) : std::nullopt;
    if (!bytes) return false;
    current = DecodeIniFile(*bytes);
  }
  const std::string updated =
      EncodeIniFile(SetIniValue(current.text, section, key, value), current.encoding);

  // Write beside the file and move it over, so that a failed write never
  // leaves a half-written settings file.
  const std::string temporary = path + ".korvan-new";
  {
    std::ofstream stream(temporary, std::ios::binary | std::ios::trunc);
    if (!stream) return false;
    stream.write(updated.data(), static_cast<std::streamsize>(updated.size()));
    stream.close();
    if (!stream) {
      std::remove(temporary.c_str());
      return false;
    }
  }
  if (exists) chmod(temporary.c_str(), status.st_mode & 07777);
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    std::remove(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace korvan::platform
