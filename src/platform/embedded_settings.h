#pragma once
// The enciphered settings text that the launcher executable may carry.

#include <optional>
#include <string>

namespace korvan::platform {

// Windows: the RT_RCDATA resource 8000 of the launcher. Elsewhere: the
// trailer appended to the launcher executable (platform/shared/settings_trailer.h).
// Nothing when the launcher carries none.
std::optional<std::string> ReadEmbeddedSettingsBytes();

// Deciphers `bytes` in place with RC4 keyed by the MD5 hash of `key_text`, as
// the "Microsoft Base Cryptographic Provider v1.0" derives the key. Windows
// asks CryptoAPI (one final CryptDecrypt); elsewhere the portable cipher does
// the same. False when a CryptoAPI call fails.
bool DecipherSettingsBytes(const std::string& key_text, std::string& bytes);

}  // namespace korvan::platform
