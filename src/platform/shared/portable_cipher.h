#pragma once
// The cipher of the embedded settings text, written out for systems without
// the Windows CryptoAPI: MD5 (RFC 1321) and RC4, with the key that the
// "Microsoft Base Cryptographic Provider v1.0" derives from an MD5 hash for
// CALG_RC4 with default flags: 40 bits (the first 5 bytes of the digest)
// followed by 11 zero bytes of salt, 16 key bytes in all.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace korvan::platform {

using Md5Digest = std::array<std::uint8_t, 16>;

Md5Digest ComputeMd5(std::string_view data);

// RC4 over `data` in place; the same call enciphers and deciphers.
void ApplyRc4(std::string_view key, std::string& data);

// The 16-byte RC4 key the base provider derives from an MD5 digest.
std::string BaseProviderRc4Key(const Md5Digest& digest);

// Enciphers or deciphers `data` keyed by the bytes of `key_text`.
void ApplyPortableSettingsCipher(std::string_view key_text, std::string& data);

}  // namespace korvan::platform
