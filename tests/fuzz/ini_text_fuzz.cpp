// The profile rules of the INI reader and writer: a value written into any
// text reads back as written, other keys keep their values, and every text
// survives its own encoding.
#include <cwctype>

#include "fuzz_support.h"
#include "platform/shared/ini_text.h"
#include "platform/shared/utf_text.h"

namespace {

// A name the profile functions can hold: no blank at either end, no "=",
// brackets, line end or NUL, not empty.
std::wstring NameFrom(const std::wstring& raw) {
  std::wstring name;
  for (wchar_t c : raw) {
    if (c > 0x20 && c != L'=' && c != L'[' && c != L']' && c != 0x1A && c != 0x7F && c < 0xD800) name += c;
  }
  return name.empty() ? std::wstring(L"k") : name;
}

// A value as written: no line end or NUL, no blank at its start, no outer
// quotes (the reader strips one pair).
std::wstring ValueFrom(const std::wstring& raw) {
  std::wstring value;
  for (wchar_t c : raw) {
    if (c != L'\r' && c != L'\n' && c != 0 && c < 0xD800) value += c;
  }
  while (!value.empty() && ((value.front() >= 0x09 && value.front() <= 0x0D) || value.front() == 0x20 ||
                            value.front() == 0x1A)) {
    value.erase(0, 1);
  }
  if (value.size() >= 2 && (value.front() == L'"' || value.front() == L'\'')) value.insert(0, L"x");
  return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvan;
  using namespace korvan::platform;
  const auto [text_bytes, query_bytes] = fuzz::SplitInput(data, size);
  const std::wstring text = WideFromUtf8(text_bytes);
  const std::wstring query = WideFromUtf8(query_bytes);
  const std::size_t third = query.size() / 3;
  const std::wstring section = NameFrom(query.substr(0, third));
  const std::wstring key = NameFrom(query.substr(third, third));
  const std::wstring value = ValueFrom(query.substr(2 * third));

  const std::vector<IniSection> before = ParseIniText(text);
  // The reader's trailing-blank trim applies to values as written too.
  std::wstring expected = value;
  while (!expected.empty() && ((expected.back() >= 0x09 && expected.back() <= 0x0D) ||
                               expected.back() == 0x20 || expected.back() == 0x1A)) {
    expected.pop_back();
  }
  if (expected.size() >= 2 && (expected.front() == L'"' || expected.front() == L'\'') &&
      expected.back() == expected.front()) {
    expected = expected.substr(1, expected.size() - 2);
  }

  const std::wstring written = SetIniValue(text, section, key, value);
  const std::vector<IniSection> after = ParseIniText(written);
  const std::optional<std::wstring> read = FindIniValue(after, section, key);
  KORVAN_FUZZ_CHECK(read.has_value());
  KORVAN_FUZZ_CHECK(*read == expected);

  // Another key of the same section keeps what it had.
  const std::wstring other = key + L"2";
  KORVAN_FUZZ_CHECK(FindIniValue(before, section, other) == FindIniValue(after, section, other));

  // The view and the copy agree.
  const std::optional<std::wstring_view> view = FindIniValueView(after, section, key);
  KORVAN_FUZZ_CHECK(view.has_value() && std::wstring(*view) == *read);

  // Unicode encodings give back the text they were given.
  bool well_formed = true;
  for (wchar_t c : text) well_formed = well_formed && !(c >= 0xD800 && c <= 0xDFFF);
  if (well_formed && (text.empty() || text.front() != L'\uFEFF')) {
    for (IniEncoding encoding : {IniEncoding::Utf8, IniEncoding::Utf16Le, IniEncoding::Utf16Be}) {
      const IniFileText decoded = DecodeIniFile(EncodeIniFile(text, encoding));
      KORVAN_FUZZ_CHECK(decoded.encoding == encoding);
      KORVAN_FUZZ_CHECK(decoded.text == text);
    }
  }
  return 0;
}
