#include "options/main_jar.h"

#include "messages/trace.h"
#include "options/jar_manifest.h"
#include "platform/file_bytes.h"

namespace korvan {

namespace {

std::wstring Trimmed(const std::wstring& text) {
  const std::size_t first = text.find_first_not_of(L" \t");
  if (first == std::wstring::npos) return std::wstring();
  return text.substr(first, text.find_last_not_of(L" \t") - first + 1);
}

std::wstring InternalName(std::wstring name) {
  for (wchar_t& c : name) {
    if (c == L'.') c = L'/';
  }
  return name;
}

}  // namespace

Expected<MainJar> MainJarFrom(const std::wstring& path, const ZipFileAccess& file) {
  const ZipEntry entry = ReadZipEntry(file, "META-INF/MANIFEST.MF");
  if (entry.status == ZipEntryStatus::Corrupt) return MessageFailure(MessageId::MainJarCorrupt, {path});
  MainJar jar;
  jar.launch.jar_path = path;
  if (entry.status == ZipEntryStatus::Absent) {
    Trace(L"main jar " + path + L": no manifest");
    return jar;
  }
  const ManifestAttributes manifest = ManifestAttributes::Parse(entry.bytes);
  const auto value = [&manifest](const wchar_t* name) {
    return manifest.Get(name).value_or(std::wstring());
  };
  jar.main_class = InternalName(Trimmed(value(L"Main-Class")));
  jar.splash_image = value(L"SplashScreen-Image");
  jar.launch.add_exports = value(L"Add-Exports");
  jar.launch.add_opens = value(L"Add-Opens");
  jar.launch.enable_native_access = manifest.Get(L"Enable-Native-Access");
  jar.launch.launcher_agent_class = value(L"Launcher-Agent-Class");
  Trace(L"main jar " + path + L": Main-Class " + value(L"Main-Class"));
  return jar;
}

Expected<MainJar> ReadMainJar(const std::wstring& path) {
  const std::optional<ZipFileAccess> file = OpenJarFile(path);
  if (!file) return MessageFailure(MessageId::MainJarUnreadable, {path});
  return MainJarFrom(path, *file);
}

std::optional<ZipFileAccess> OpenJarFile(const std::wstring& path) {
  const std::optional<std::uint64_t> size = platform::FileByteCount(path);
  if (!size) return std::nullopt;
  ZipFileAccess file;
  file.size = *size;
  file.read = [path](std::uint64_t offset, std::size_t count, std::string& bytes) {
    return platform::ReadFileRange(path, offset, count, bytes);
  };
  return file;
}

}  // namespace korvan
