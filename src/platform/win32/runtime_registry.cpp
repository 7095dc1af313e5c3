#include "platform/runtime_registry.h"

#include <windows.h>

namespace korvan::platform {

namespace {

// Registry key names are at most 255 characters.
constexpr DWORD kKeyNameCapacity = 256;
// No path is longer than this; a longer "JavaHome" is not a folder.
constexpr DWORD kJavaHomeMaxBytes = 32767 * sizeof(wchar_t);

// The family's key below HKEY_LOCAL_MACHINE, ending with "\".
std::wstring FamilyKey(const RuntimeFamily& family) {
  const std::wstring vendor =
      family.provider == RuntimeProvider::Sun ? L"Software\\JavaSoft\\" : L"Software\\JRockit\\";
  return vendor + (family.kind == RuntimeKind::Jdk ? L"Java Development Kit\\"
                                                   : L"Java Runtime Environment\\");
}

class OpenKey {
 public:
  explicit OpenKey(const std::wstring& path) {
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key_) != ERROR_SUCCESS) {
      key_ = nullptr;
    }
  }
  ~OpenKey() {
    if (key_ != nullptr) RegCloseKey(key_);
  }
  OpenKey(const OpenKey&) = delete;
  OpenKey& operator=(const OpenKey&) = delete;

  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

// A REG_SZ value read within its stored size. The text ends at its first NUL
// or, when the writer left the NUL out, at the end of the data.
std::optional<std::wstring> ReadTextValue(HKEY key, const wchar_t* name) {
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  if (type != REG_SZ || size == 0 || size > kJavaHomeMaxBytes) return std::nullopt;

  // One character more than the data can fill, so the text always ends.
  std::wstring buffer(size / sizeof(wchar_t) + 1, L'\0');
  DWORD read = size;
  if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                       &read) != ERROR_SUCCESS ||
      type != REG_SZ || read > size) {
    return std::nullopt;  // changed between the two reads
  }
  buffer.resize(read / sizeof(wchar_t));
  const std::size_t end = buffer.find(L'\0');
  if (end != std::wstring::npos) buffer.resize(end);
  if (buffer.empty()) return std::nullopt;
  return buffer;
}

class WindowsRuntimeRegistry : public RuntimeRegistry {
 public:
  std::wstring Location(const RuntimeFamily& family) override {
    std::wstring key = FamilyKey(family);
    if (!key.empty() && key.back() == L'\\') key.pop_back();
    return L"HKEY_LOCAL_MACHINE\\" + key;
  }

  std::vector<RegisteredRuntime> ListRuntimes(const RuntimeFamily& family) override {
    std::vector<RegisteredRuntime> runtimes;
    const OpenKey key(FamilyKey(family));
    if (key.get() == nullptr) return runtimes;
    for (DWORD index = 0;; ++index) {
      wchar_t name[kKeyNameCapacity];
      DWORD length = kKeyNameCapacity;
      if (RegEnumKeyExW(key.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
          ERROR_SUCCESS) {
        break;
      }
      const std::wstring subkey(name, length);
      runtimes.push_back(RegisteredRuntime{subkey, subkey});
    }
    return runtimes;
  }

  std::optional<std::wstring> ReadJavaHome(const RuntimeFamily& family,
                                           const RegisteredRuntime& runtime) override {
    const OpenKey key(FamilyKey(family) + runtime.name);
    if (key.get() == nullptr) return std::nullopt;
    return ReadTextValue(key.get(), L"JavaHome");
  }
};

}  // namespace

std::unique_ptr<RuntimeRegistry> OpenRuntimeRegistry() {
  return std::make_unique<WindowsRuntimeRegistry>();
}

}  // namespace korvan::platform
