#include "platform/shared/portable_cipher.h"

#include <utility>

namespace korvan::platform {
namespace {

constexpr std::uint32_t kShifts[64] = {
    7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22,
    5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20,
    4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23,
    6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21};

// floor(abs(sin(i + 1)) * 2^32)
constexpr std::uint32_t kSines[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391};

std::uint32_t RotateLeft(std::uint32_t value, std::uint32_t count) {
  return (value << count) | (value >> (32 - count));
}

void ProcessBlock(const std::uint8_t* block, std::uint32_t state[4]) {
  std::uint32_t words[16];
  for (int i = 0; i < 16; ++i) {
    words[i] = static_cast<std::uint32_t>(block[4 * i]) |
               static_cast<std::uint32_t>(block[4 * i + 1]) << 8 |
               static_cast<std::uint32_t>(block[4 * i + 2]) << 16 |
               static_cast<std::uint32_t>(block[4 * i + 3]) << 24;
  }
  std::uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
  for (std::uint32_t i = 0; i < 64; ++i) {
    std::uint32_t f = 0;
    std::uint32_t g = 0;
    if (i < 16) {
      f = (b & c) | (~b & d);
      g = i;
    } else if (i < 32) {
      f = (d & b) | (~d & c);
      g = (5 * i + 1) % 16;
    } else if (i < 48) {
      f = b ^ c ^ d;
      g = (3 * i + 5) % 16;
    } else {
      f = c ^ (b | ~d);
      g = (7 * i) % 16;
    }
    const std::uint32_t rotated = RotateLeft(a + f + kSines[i] + words[g], kShifts[i]);
    a = d;
    d = c;
    c = b;
    b = b + rotated;
  }
  state[0] += a;
  state[1] += b;
  state[2] += c;
  state[3] += d;
}

}  // namespace

Md5Digest ComputeMd5(std::string_view data) {
  std::uint32_t state[4] = {0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476};
  const std::size_t whole_blocks = data.size() / 64;
  for (std::size_t i = 0; i < whole_blocks; ++i) {
    ProcessBlock(reinterpret_cast<const std::uint8_t*>(data.data()) + 64 * i, state);
  }
  // The rest, a 1 bit, zeros, and the bit length in 64 bits, little-endian.
  std::string tail(data.substr(64 * whole_blocks));
  tail += static_cast<char>(0x80);
  while (tail.size() % 64 != 56) tail += '\0';
  const std::uint64_t bit_length = static_cast<std::uint64_t>(data.size()) * 8;
  for (int i = 0; i < 8; ++i) tail += static_cast<char>((bit_length >> (8 * i)) & 0xFF);
  for (std::size_t i = 0; i < tail.size(); i += 64) {
    ProcessBlock(reinterpret_cast<const std::uint8_t*>(tail.data()) + i, state);
  }
  Md5Digest digest{};
  for (int i = 0; i < 16; ++i) {
    digest[i] = static_cast<std::uint8_t>((state[i / 4] >> (8 * (i % 4))) & 0xFF);
  }
  return digest;
}

void ApplyRc4(std::string_view key, std::string& data) {
  if (key.empty()) return;
  std::uint8_t box[256];
  for (int i = 0; i < 256; ++i) box[i] = static_cast<std::uint8_t>(i);
  std::uint8_t j = 0;
  for (int i = 0; i < 256; ++i) {
    j = static_cast<std::uint8_t>(j + box[i] + static_cast<std::uint8_t>(key[i % key.size()]));
    std::swap(box[i], box[j]);
  }
  std::uint8_t i = 0;
  j = 0;
  for (char& byte : data) {
    i = static_cast<std::uint8_t>(i + 1);
    j = static_cast<std::uint8_t>(j + box[i]);
    std::swap(box[i], box[j]);
    byte = static_cast<char>(static_cast<std::uint8_t>(byte) ^ box[static_cast<std::uint8_t>(box[i] + box[j])]);
  }
}

std::string BaseProviderRc4Key(const Md5Digest& digest) {
  std::string key(16, '\0');
  for (int i = 0; i < 5; ++i) key[i] = static_cast<char>(digest[i]);
  return key;
}

void ApplyPortableSettingsCipher(std::string_view key_text, std::string& data) {
  ApplyRc4(BaseProviderRc4Key(ComputeMd5(key_text)), data);
}

}  // namespace korvan::platform
