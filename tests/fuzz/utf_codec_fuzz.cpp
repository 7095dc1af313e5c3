// Text conversion: UTF-8 and UTF-16 of well-formed text round-trip in both
// directions; any bytes decode; the stamping tool takes a text file exactly
// when it reads back as it was written.
#include "fuzz_support.h"
#include "settings/settings_text.h"
#include "settings/settings_text_file.h"
#include "settings/settings_text_file_check.h"
#include "platform/shared/utf_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvan;
  using namespace korvan::platform;
  const std::string bytes(reinterpret_cast<const char*>(data), size);

  // Bytes that survive decoding and encoding again are valid UTF-8, so they
  // decode without a replacement character unless they spell one.
  const std::wstring from_utf8 = WideFromUtf8(bytes);
  if (Utf8FromWide(from_utf8) == bytes) {
    KORVAN_FUZZ_CHECK(from_utf8.find(L'\uFFFD') == std::wstring::npos ||
                      bytes.find("\xEF\xBF\xBD") != std::string::npos);
  }
  // Well-formed text round-trips through every encoding.
  const std::wstring text = fuzz::WideFromBytes(data, size);
  bool well_formed = true;
  for (wchar_t c : text) well_formed = well_formed && !(c >= 0xD800 && c <= 0xDFFF);
  if (well_formed) {
    KORVAN_FUZZ_CHECK(WideFromUtf8(Utf8FromWide(text)) == text);
    for (ByteOrder order : {ByteOrder::LittleEndian, ByteOrder::BigEndian}) {
      const std::string utf16 = Utf16BytesFromWide(text, order);
      KORVAN_FUZZ_CHECK(utf16.size() == 2 * text.size());
      KORVAN_FUZZ_CHECK(WideFromUtf16Bytes(utf16, order) == text);
    }
  }

  // The stamping tool: a file it takes embeds the same text, line ends aside.
  if (!SettingsTextFileProblem(bytes)) {
    const std::string embedded = EmbeddedBytesFromTextFile(bytes);
    const std::wstring read = WideFromUtf16Bytes(embedded, ByteOrder::LittleEndian);
    KORVAN_FUZZ_CHECK(!read.empty() && read.front() == L'\uFEFF');
    KORVAN_FUZZ_CHECK(read.size() < 2 || read[1] != L'\uFEFF');
    KORVAN_FUZZ_CHECK(read.find(L'\uFFFD') == std::wstring::npos ||
                      bytes.find("\xEF\xBF\xBD") != std::string::npos ||
                      bytes.find("\xFD\xFF") != std::string::npos || bytes.find("\xFF\xFD") != std::string::npos);
    // Every line ends in CR LF: no lone CR or LF is left.
    for (std::size_t i = 0; i < read.size(); ++i) {
      if (read[i] == L'\r') KORVAN_FUZZ_CHECK(i + 1 < read.size() && read[i + 1] == L'\n');
      if (read[i] == L'\n') KORVAN_FUZZ_CHECK(i > 0 && read[i - 1] == L'\r');
    }
    KORVAN_FUZZ_CHECK(TextFileFromEmbeddedBytes(EmbeddedBytesFromTextFile(TextFileFromEmbeddedBytes(embedded))) ==
                      TextFileFromEmbeddedBytes(embedded));
  }
  return 0;
}
