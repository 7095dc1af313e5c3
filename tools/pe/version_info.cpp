#include "version_info.h"

#include <algorithm>

#include "byte_order.h"

namespace korvan::pe {
namespace {

constexpr std::uint32_t kFixedSignature = 0xFEEF04BD;
constexpr std::uint32_t kFixedStructVersion = 0x00010000;
constexpr std::uint32_t kFileFlagsMask = 0x3F;
constexpr std::uint32_t kOsNtWindows32 = 0x00040004;  // VOS_NT_WINDOWS32
constexpr std::uint32_t kFileTypeApp = 1;             // VFT_APP
constexpr std::uint16_t kLanguage = 0x0409;           // US English
constexpr std::uint16_t kCodepage = 1200;             // Unicode
constexpr std::uint16_t kBinary = 0;
constexpr std::uint16_t kText = 1;

// One block: wLength, wValueLength, wType, the key, padding, the value,
// padding, then the children, each starting on a 32-bit boundary.
std::string Block(std::u16string_view key, std::uint16_t type, std::uint16_t value_length,
                  const std::string& value, const std::vector<std::string>& children) {
  std::string block(6, '\0');
  AppendUtf16(block, key);
  AppendU16(block, 0);
  PadTo(block, 4);
  block += value;
  for (const std::string& child : children) {
    PadTo(block, 4);
    block += child;
  }
  PutU16(block, 0, static_cast<std::uint16_t>(block.size()));
  PutU16(block, 2, value_length);
  PutU16(block, 4, type);
  return block;
}

std::string StringBlock(std::u16string_view key, std::u16string_view value) {
  std::string text;
  AppendUtf16(text, value);
  AppendU16(text, 0);
  // A string's value length counts 16-bit characters, its terminator included.
  return Block(key, kText, static_cast<std::uint16_t>(value.size() + 1), text, {});
}

std::string FixedFileInfo(FixedVersion file, FixedVersion product) {
  std::string fixed;
  for (std::uint32_t value : {kFixedSignature, kFixedStructVersion, file.high, file.low, product.high,
                              product.low, kFileFlagsMask, 0u, kOsNtWindows32, kFileTypeApp, 0u, 0u, 0u}) {
    AppendU32(fixed, value);
  }
  return fixed;
}

std::u16string Hex4(std::uint16_t value) {
  const char16_t digits[] = u"0123456789ABCDEF";
  std::u16string text;
  for (int shift = 12; shift >= 0; shift -= 4) text += digits[(value >> shift) & 0xF];
  return text;
}

}  // namespace

const std::vector<std::u16string>& VersionInfoKeys() {
  static const std::vector<std::u16string> keys{
      u"CompanyName", u"FileDescription", u"FileVersion",     u"InternalName",
      u"LegalCopyright", u"OriginalFilename", u"ProductName", u"ProductVersion",
      u"Comments",    u"LegalTrademarks"};
  return keys;
}

std::optional<FixedVersion> ParseFixedVersion(std::u16string_view text) {
  std::uint32_t parts[4] = {0, 0, 0, 0};
  std::size_t position = 0;
  for (int part = 0; part < 4; ++part) {
    if (part > 0) {
      if (position >= text.size() || text[position] != u'.') break;
      if (position + 1 >= text.size() || text[position + 1] < u'0' || text[position + 1] > u'9') break;
      ++position;
    }
    const std::size_t start = position;
    std::uint32_t value = 0;
    while (position < text.size() && text[position] >= u'0' && text[position] <= u'9') {
      value = value * 10 + static_cast<std::uint32_t>(text[position] - u'0');
      if (value > 0xFFFF) return std::nullopt;
      ++position;
    }
    if (position == start) return std::nullopt;
    parts[part] = value;
  }
  return FixedVersion{parts[0] << 16 | parts[1], parts[2] << 16 | parts[3]};
}

std::optional<std::string> VersionInfoBytes(const std::map<std::u16string, std::u16string>& strings,
                                            std::string& error) {
  const std::vector<std::u16string>& keys = VersionInfoKeys();
  for (const auto& [key, value] : strings) {
    if (std::find(keys.begin(), keys.end(), key) == keys.end()) {
      error = "unknown version information key: " + std::string(key.begin(), key.end());
      return std::nullopt;
    }
  }
  FixedVersion file;
  FixedVersion product;
  for (const char16_t* key : {u"FileVersion", u"ProductVersion"}) {
    const auto found = strings.find(key);
    if (found == strings.end()) continue;
    const std::optional<FixedVersion> parsed = ParseFixedVersion(found->second);
    if (!parsed) {
      error = std::string(found->first.begin(), found->first.end()) +
              " must start with a version number of up to four parts from 0 to 65535, such as 1.2.3.4";
      return std::nullopt;
    }
    (found->first == u"FileVersion" ? file : product) = *parsed;
    if (found->first == u"FileVersion" && strings.count(u"ProductVersion") == 0) product = *parsed;
  }

  std::vector<std::string> string_blocks;
  for (const std::u16string& key : keys) {
    const auto found = strings.find(key);
    if (found != strings.end()) string_blocks.push_back(StringBlock(key, found->second));
  }
  const std::string table = Block(Hex4(kLanguage) + Hex4(kCodepage), kText, 0, "", string_blocks);
  const std::string string_info = Block(u"StringFileInfo", kText, 0, "", {table});
  std::string translation;
  AppendU16(translation, kLanguage);
  AppendU16(translation, kCodepage);
  const std::string var = Block(u"Translation", kBinary, 4, translation, {});
  const std::string var_info = Block(u"VarFileInfo", kText, 0, "", {var});
  const std::string fixed = FixedFileInfo(file, product);
  std::string block = Block(u"VS_VERSION_INFO", kBinary, static_cast<std::uint16_t>(fixed.size()),
                            fixed, {string_info, var_info});
  if (block.size() > 0xFFFF) {
    error = "the version information is too long (a block holds at most 65535 bytes)";
    return std::nullopt;
  }
  return block;
}

}  // namespace korvan::pe
