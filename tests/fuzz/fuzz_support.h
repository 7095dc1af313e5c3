#pragma once
// Shared by the fuzz targets: the input as text, and a check that stops the
// run (libFuzzer then keeps the input) when a property does not hold.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#define KORVAN_FUZZ_CHECK(condition)                                                   \
  do {                                                                                 \
    if (!(condition)) {                                                                \
      std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                    \
    }                                                                                  \
  } while (false)

namespace korvan::fuzz {

// Two bytes to a character, so that every character below U+10000 (NUL,
// CR, U+FEFF, lone surrogates) can be reached; a last odd byte is dropped.
inline std::wstring WideFromBytes(const std::uint8_t* data, std::size_t size) {
  std::wstring text;
  text.reserve(size / 2);
  for (std::size_t i = 0; i + 1 < size; i += 2) {
    text += static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
  }
  return text;
}

// One byte to a character, for rules whose interesting characters are ASCII:
// shorter inputs reach them more often.
inline std::wstring WideFromAscii(const std::uint8_t* data, std::size_t size) {
  return std::wstring(data, data + size);
}

// Splits the input at its first byte 0xFF: two texts for properties that
// need two (a name and a value, a text and a key).
inline std::pair<std::string, std::string> SplitInput(const std::uint8_t* data, std::size_t size) {
  const std::string all(reinterpret_cast<const char*>(data), size);
  const std::size_t cut = all.find('\xFF');
  if (cut == std::string::npos) return {all, std::string()};
  return {all.substr(0, cut), all.substr(cut + 1)};
}

}  // namespace korvan::fuzz
