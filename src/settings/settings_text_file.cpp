#include "settings/settings_text_file.h"

#include <string_view>

#include "platform/shared/utf_text.h"

namespace korvan {

std::string EmbeddedBytesFromTextFile(const std::string& file_bytes) {
  const std::string_view bytes(file_bytes);
  std::wstring text;
  if (bytes.substr(0, 2) == "\xFF\xFE") {
    text = platform::WideFromUtf16Bytes(bytes.substr(2), platform::ByteOrder::LittleEndian);
  } else if (bytes.substr(0, 2) == "\xFE\xFF") {
    text = platform::WideFromUtf16Bytes(bytes.substr(2), platform::ByteOrder::BigEndian);
  } else if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
    text = platform::WideFromUtf8(bytes.substr(3));
  } else {
    text = platform::WideFromUtf8(bytes);
  }
  std::wstring lines = L"\uFEFF";
  lines.reserve(text.size() + text.size() / 16);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\r' || text[i] == L'\n') {
      if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ++i;
      lines += L"\r\n";
    } else {
      lines += text[i];
    }
  }
  return platform::Utf16BytesFromWide(lines, platform::ByteOrder::LittleEndian);
}

std::string TextFileFromEmbeddedBytes(const std::string& embedded_bytes) {
  std::wstring text =
      platform::WideFromUtf16Bytes(embedded_bytes, platform::ByteOrder::LittleEndian);
  std::wstring lines;
  for (std::size_t i = (!text.empty() && text.front() == L'\uFEFF') ? 1 : 0; i < text.size(); ++i) {
    if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') continue;
    lines += text[i];
  }
  return platform::Utf8FromWide(lines);
}

}  // namespace korvan
