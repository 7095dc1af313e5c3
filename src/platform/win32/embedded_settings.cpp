#include "platform/embedded_settings.h"

#include <windows.h>
#include <wincrypt.h>

namespace korvan::platform {
namespace {

constexpr WORD kSettingsResourceId = 8000;

// Releases the CryptoAPI handles in reverse order of their making.
struct CryptoHandles {
  HCRYPTPROV provider = 0;
  HCRYPTHASH hash = 0;
  HCRYPTKEY key = 0;
  ~CryptoHandles() {
    if (key != 0) CryptDestroyKey(key);
    if (hash != 0) CryptDestroyHash(hash);
    if (provider != 0) CryptReleaseContext(provider, 0);
  }
};

}  // namespace

std::optional<std::string> ReadEmbeddedSettingsBytes() {
  HRSRC found = FindResourceExW(nullptr, MAKEINTRESOURCEW(10) /* RT_RCDATA */,
                                MAKEINTRESOURCEW(kSettingsResourceId), 0);
  if (found == nullptr) return std::nullopt;
  HGLOBAL loaded = LoadResource(nullptr, found);
  if (loaded == nullptr) return std::nullopt;
  const void* data = LockResource(loaded);
  const DWORD size = SizeofResource(nullptr, found);
  if (data == nullptr) return std::nullopt;
  return std::string(static_cast<const char*>(data), size);
}

bool DecipherSettingsBytes(const std::string& key_text, std::string& bytes) {
  CryptoHandles handles;
  // A verify context needs no key container: nothing is stored or looked up.
  if (!CryptAcquireContextW(&handles.provider, nullptr, MS_DEF_PROV_W, PROV_RSA_FULL,
                            CRYPT_VERIFYCONTEXT)) {
    return false;
  }
  if (!CryptCreateHash(handles.provider, CALG_MD5, 0, 0, &handles.hash)) return false;
  if (!CryptHashData(handles.hash, reinterpret_cast<const BYTE*>(key_text.data()),
                     static_cast<DWORD>(key_text.size()), 0)) {
    return false;
  }
  if (!CryptDeriveKey(handles.provider, CALG_RC4, handles.hash, 0, &handles.key)) return false;
  DWORD length = static_cast<DWORD>(bytes.size());
  if (!CryptDecrypt(handles.key, 0, TRUE, 0, reinterpret_cast<BYTE*>(bytes.data()), &length)) {
    return false;
  }
  bytes.resize(length);
  return true;
}

}  // namespace korvan::platform
