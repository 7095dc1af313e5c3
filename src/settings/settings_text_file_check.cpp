#include "settings/settings_text_file_check.h"

#include <cstdint>
#include <string_view>

#include "platform/shared/utf_text.h"

namespace korvan {
namespace {

std::string At(std::size_t offset) { return " at byte " + std::to_string(offset); }

// Bad UTF-8 turns into U+FFFD when decoded, so the text re-encodes to other
// bytes; the first byte that differs is where the bad sequence starts.
std::optional<std::string> Utf8Problem(std::string_view bytes, std::size_t mark) {
  const std::string again = platform::Utf8FromWide(platform::WideFromUtf8(bytes));
  if (again == bytes) return std::nullopt;
  std::size_t i = 0;
  while (i < bytes.size() && i < again.size() && bytes[i] == again[i]) ++i;
  return "is not valid UTF-8" + At(mark + i);
}

std::optional<std::string> Utf16Problem(std::string_view bytes, platform::ByteOrder order, std::size_t mark) {
  if (bytes.size() % 2 != 0) return std::string("is UTF-16 of odd length (cut short?)");
  bool expect_low = false;
  for (std::size_t i = 0; i < bytes.size(); i += 2) {
    const auto first = static_cast<std::uint8_t>(bytes[i]);
    const auto second = static_cast<std::uint8_t>(bytes[i + 1]);
    const std::uint16_t unit = order == platform::ByteOrder::LittleEndian ? (second << 8 | first) : (first << 8 | second);
    const bool high = unit >= 0xD800 && unit <= 0xDBFF;
    const bool low = unit >= 0xDC00 && unit <= 0xDFFF;
    if (expect_low != low) return "is not valid UTF-16 (unpaired surrogate" + At(mark + i) + ")";
    expect_low = high;
  }
  if (expect_low) return std::string("is not valid UTF-16 (unpaired surrogate at its end)");
  return std::nullopt;
}

}  // namespace

std::optional<std::string> SettingsTextFileProblem(const std::string& file_bytes) {
  const std::string_view bytes(file_bytes);
  std::wstring text;
  if (bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF") {
    const platform::ByteOrder order = bytes[0] == '\xFF' ? platform::ByteOrder::LittleEndian : platform::ByteOrder::BigEndian;
    if (auto problem = Utf16Problem(bytes.substr(2), order, 2)) return problem;
    text = platform::WideFromUtf16Bytes(bytes.substr(2), order);
  } else {
    const std::size_t mark = bytes.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
    if (auto problem = Utf8Problem(bytes.substr(mark), mark)) return problem;
    text = platform::WideFromUtf8(bytes.substr(mark));
  }
  // The reader drops one mark: a second one would stay in front of the first
  // section header, which then reads as no header.
  if (!text.empty() && text.front() == L'\uFEFF') return std::string("starts with two byte-order marks");
  if (text.find(L'\0') != std::wstring::npos) {
    return std::string("holds a NUL character (UTF-16 without its byte-order mark?)");
  }
  return std::nullopt;
}

}  // namespace korvan
