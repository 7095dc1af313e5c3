#include "stamp_launcher.h"

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

#include "byte_order.h"
#include "icon_file.h"
#include "launcher_resources.h"
#include "pe_image.h"
#include "pe_writer.h"
#include "platform/embedded_settings.h"
#include "platform/file_bytes.h"
#include "platform/shared/settings_trailer.h"
#include "platform/shared/utf_text.h"
#include "platform/text.h"
#include "resource_tree.h"
#include "settings/deciphered_text.h"
#include "settings/settings_text_file.h"
#include "settings/settings_text_file_check.h"
#include "version_info.h"
#include "version_info_text.h"

namespace korvan::stamp {
namespace {

std::wstring Wide(const std::string& text) { return platform::WideFromUtf8(text); }

bool Fail(std::wstring& error, const std::wstring& message) {
  error = message;
  return false;
}

}  // namespace

bool IsWindowsExecutable(const std::string& bytes) { return bytes.compare(0, 2, "MZ") == 0; }

std::string WithoutTrailer(const std::string& bytes) {
  if (bytes.size() < platform::kSettingsTrailerFooterSize) return bytes;
  const auto payload = platform::SettingsTrailerPayloadSize(
      std::string_view(bytes).substr(bytes.size() - platform::kSettingsTrailerFooterSize),
      bytes.size());
  if (!payload) return bytes;
  return bytes.substr(0, bytes.size() - platform::kSettingsTrailerFooterSize - *payload);
}

namespace {

std::string KeyText(const StampOptions& options) { return platform::NarrowFromWide(options.upgrade_code); }

// Writes `bytes` to `target` through a temporary file beside it that takes
// `source`'s permissions, then renames it over `target`.
bool ReplaceFile(const std::wstring& source, const std::wstring& target, const std::string& bytes) {
  const std::wstring temporary = target + L".korvan-stamp-new";
  std::error_code ignored;
  if (!platform::CopyFileReplacing(source, temporary) || !platform::WriteFileBytes(temporary, bytes)) {
    std::filesystem::remove(std::filesystem::path(temporary), ignored);
    return false;
  }
  std::error_code error;
  std::filesystem::rename(std::filesystem::path(temporary), std::filesystem::path(target), error);
  if (error) std::filesystem::remove(std::filesystem::path(temporary), ignored);
  return !error;
}

// The enciphered settings text to embed, from the options' text file.
std::optional<std::string> SettingsPayload(const StampOptions& options, std::wstring& error) {
  std::string payload;
  if (!platform::ReadFileBytes(*options.text_file, payload)) {
    error = L"cannot read " + *options.text_file;
    return std::nullopt;
  }
  if (options.raw) return payload;
  if (const std::optional<std::string> problem = SettingsTextFileProblem(payload)) {
    error = *options.text_file + L" " + Wide(*problem) + L": save it as UTF-8 or as UTF-16 with its byte-order mark";
    return std::nullopt;
  }
  payload = EmbeddedBytesFromTextFile(payload);
  // The launcher takes a text without sections for one deciphered with the wrong code.
  const auto sections = ReadableSettingsText(platform::WideFromUtf16Bytes(payload, platform::ByteOrder::LittleEndian));
  if (!sections) {
    error = *options.text_file + L" holds no [section] line: the launcher would read nothing of it";
    return std::nullopt;
  }
  if (!platform::DecipherSettingsBytes(KeyText(options), payload)) {
    error = L"the system's cipher failed";
    return std::nullopt;
  }
  std::printf("korvan-stamp: %zu sections embedded\n", sections->size());
  return payload;
}

// Applies the options' icon and version information to `tree`.
bool EditWindowsResources(const StampOptions& options, pe::ResourceTree& tree, std::wstring& error) {
  if (!options.icon.empty()) {
    std::string file;
    if (!platform::ReadFileBytes(options.icon, file)) {
      error = L"cannot read " + options.icon;
      return false;
    }
    std::string why;
    const auto images = pe::ParseIconFile(file, why);
    if (!images) {
      error = options.icon + L": " + Wide(why);
      return false;
    }
    if (!pe::SetApplicationIcon(tree, *images)) {
      error = L"the launcher has no free icon ids left";
      return false;
    }
    std::printf("korvan-stamp: icon with %zu images embedded\n", images->size());
  } else if (options.remove_icon) {
    pe::SetApplicationIcon(tree, {});
  }

  if (options.remove_version_info) pe::SetVersionInfo(tree, nullptr);
  if (options.version_pairs.empty() && options.version_files.empty()) return true;
  VersionStrings strings;
  std::string why;
  for (const std::wstring& path : options.version_files) {
    std::string file;
    if (!platform::ReadFileBytes(path, file)) {
      error = L"cannot read " + path;
      return false;
    }
    if (!AddVersionLines(file, strings, why)) {
      error = path + L": " + Wide(why);
      return false;
    }
  }
  for (const std::wstring& pair : options.version_pairs) {
    if (!AddVersionPair(Utf16Text(pair), strings, why)) {
      error = Wide(why);
      return false;
    }
  }
  const std::optional<std::string> block = pe::VersionInfoBytes(strings, why);
  if (!block) {
    error = Wide(why);
    return false;
  }
  pe::SetVersionInfo(tree, &*block);
  std::printf("korvan-stamp: version information with %zu strings embedded\n", strings.size());
  return true;
}

// The launcher reads its form from this field when it starts.
void SetSubsystem(std::string& bytes, const pe::PeImage& image, bool windowed) {
  constexpr std::uint16_t kWindowsGui = 2, kWindowsConsole = 3;
  pe::PutU16(bytes, image.SubsystemOffset(), windowed ? kWindowsGui : kWindowsConsole);
  if (image.checksum != 0) pe::PutU32(bytes, image.CheckSumOffset(), pe::PeChecksum(bytes, image.CheckSumOffset()));
}

bool StampWindowsLauncher(const StampOptions& options, const std::string& bytes,
                          const std::optional<std::string>& payload, const std::wstring& target,
                          std::wstring& error) {
  std::string why;
  const std::optional<pe::PeImage> image = pe::ParsePeImage(bytes, why);
  std::optional<pe::ResourceTree> tree;
  if (image) tree = pe::ReadResourceTree(bytes, *image, why);
  if (!tree) return Fail(error, options.launcher + L" is refused, and left as it was: " + Wide(why));
  if (payload) pe::SetSettingsText(*tree, &*payload);
  if (options.remove_settings) pe::SetSettingsText(*tree, nullptr);
  if (!EditWindowsResources(options, *tree, error)) return false;
  std::optional<std::string> stamped = pe::WriteWithResources(bytes, *image, *tree, why);
  if (!stamped) return Fail(error, options.launcher + L" is refused, and left as it was: " + Wide(why));
  if (options.windowed) SetSubsystem(*stamped, *image, *options.windowed);
  if (!ReplaceFile(options.launcher, target, *stamped)) return Fail(error, L"cannot write " + target);
  return true;
}

bool StampOtherLauncher(const StampOptions& options, const std::string& bytes,
                        const std::optional<std::string>& payload, const std::wstring& target,
                        std::wstring& error) {
  if (options.EditsWindowsResources()) {
    return Fail(error, options.launcher + L" is not a Windows executable: icons and version information "
                                   L"are for Windows launchers");
  }
  std::string stamped = WithoutTrailer(bytes);
  if (payload) {
    const std::optional<std::string> trailer = platform::MakeSettingsTrailer(*payload);
    if (!trailer) return Fail(error, L"the settings text is too long");
    stamped += *trailer;
  }
  if (!ReplaceFile(options.launcher, target, stamped)) return Fail(error, L"cannot write " + target);
  return true;
}

}  // namespace

bool StampLauncher(const StampOptions& options, std::wstring& error) {
  std::string bytes;
  if (!platform::ReadFileBytes(options.launcher, bytes)) return Fail(error, L"cannot read " + options.launcher);
  std::optional<std::string> payload;
  if (options.text_file) {
    payload = SettingsPayload(options, error);
    if (!payload) return false;
  }
  const std::wstring& target = options.output.empty() ? options.launcher : options.output;
  return IsWindowsExecutable(bytes) ? StampWindowsLauncher(options, bytes, payload, target, error)
                                    : StampOtherLauncher(options, bytes, payload, target, error);
}

}  // namespace korvan::stamp
