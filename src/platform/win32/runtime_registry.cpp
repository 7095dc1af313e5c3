#include "platform/runtime_registry.h"

#include <windows.h>

#include "platform/environment.h"
#include "platform/files.h"

namespace korvan::platform {

namespace {

// Registry key names are at most 255 characters.
constexpr DWORD kKeyNameCapacity = 256;
// No path is longer than this; a longer "JavaHome" is not a folder.
constexpr DWORD kJavaHomeMaxBytes = 32767 * sizeof(wchar_t);

// Where a family's registrations are kept below HKEY_LOCAL_MACHINE: one
// subkey for each runtime, named by its version (or, for some vendors, by
// the product), and below it the value that names the runtime's home.
struct FamilyKeys {
  std::wstring key;        // ends with "\"
  std::wstring below;      // the subkey's own subkey that holds the value; empty: itself
  const wchar_t* value;    // the home's value name
  bool kind_from_home;     // one key for JDKs and JREs: bin\javac.exe tells them apart
};

const wchar_t* KindFolder(const RuntimeFamily& family) {
  return family.kind == RuntimeKind::Jdk ? L"JDK\\" : L"JRE\\";
}

FamilyKeys KeysOf(const RuntimeFamily& family) {
  switch (family.source) {
    case RuntimeSource::Classic: {
      const std::wstring vendor = family.provider == RuntimeProvider::Sun ? L"Software\\JavaSoft\\"
                                                                          : L"Software\\JRockit\\";
      return {vendor + (family.kind == RuntimeKind::Jdk ? L"Java Development Kit\\"
                                                        : L"Java Runtime Environment\\"),
              L"", L"JavaHome", false};
    }
    case RuntimeSource::JavaSoft:
      return {std::wstring(L"Software\\JavaSoft\\") + KindFolder(family), L"", L"JavaHome", false};
    case RuntimeSource::Adoptium:
      return {std::wstring(L"Software\\Eclipse Adoptium\\") + KindFolder(family), L"\\hotspot\\MSI",
              L"Path", false};
    case RuntimeSource::AdoptOpenJdk:
      return {std::wstring(L"Software\\AdoptOpenJDK\\") + KindFolder(family), L"\\hotspot\\MSI",
              L"Path", false};
    case RuntimeSource::EclipseFoundation:
      return {std::wstring(L"Software\\Eclipse Foundation\\") + KindFolder(family),
              L"\\hotspot\\MSI", L"Path", false};
    case RuntimeSource::Microsoft:
      return {std::wstring(L"Software\\Microsoft\\") + KindFolder(family), L"\\hotspot\\MSI",
              L"Path", false};
    case RuntimeSource::Semeru:
      return {std::wstring(L"Software\\Semeru\\") + KindFolder(family), L"\\openj9\\MSI", L"Path",
              false};
    case RuntimeSource::Zulu:
      return {L"Software\\Azul Systems\\Zulu\\", L"", L"InstallationPath", true};
    case RuntimeSource::Liberica:
      return {L"Software\\BellSoft\\Liberica\\", L"", L"InstallationPath", true};
    case RuntimeSource::JavaHome:
      break;
  }
  return {L"", L"", L"", true};
}

// The runtime that JAVA_HOME names is one registration of this name.
constexpr const wchar_t* kJavaHomeName = L"JAVA_HOME";

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

bool IsText(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ; }

// %NAME% references replaced by ExpandEnvironmentStringsW; nothing when the
// expansion fails.
std::optional<std::wstring> Expanded(const std::wstring& text) {
  DWORD capacity = static_cast<DWORD>(text.size()) + 1;
  for (int attempt = 0; attempt < 4; ++attempt) {
    std::wstring buffer(capacity, L'\0');
    const DWORD needed = ExpandEnvironmentStringsW(text.c_str(), buffer.data(), capacity);
    if (needed == 0) return std::nullopt;
    if (needed <= capacity) {
      buffer.resize(needed - 1);  // the count includes the terminating NUL
      return buffer;
    }
    capacity = needed;  // a variable changed between the calls: try again
  }
  return std::nullopt;
}

// A REG_SZ or REG_EXPAND_SZ value read within its stored size, the latter
// expanded. The text ends at its first NUL or, when the writer left the NUL
// out, at the end of the data.
std::optional<std::wstring> ReadTextValue(HKEY key, const wchar_t* name) {
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  if (!IsText(type) || size == 0 || size > kJavaHomeMaxBytes) return std::nullopt;

  // One character more than the data can fill, so the text always ends.
  std::wstring buffer(size / sizeof(wchar_t) + 1, L'\0');
  DWORD read = size;
  if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                       &read) != ERROR_SUCCESS ||
      !IsText(type) || read > size) {
    return std::nullopt;  // changed between the two reads
  }
  buffer.resize(read / sizeof(wchar_t));
  const std::size_t end = buffer.find(L'\0');
  if (end != std::wstring::npos) buffer.resize(end);
  if (type == REG_EXPAND_SZ) {
    std::optional<std::wstring> expanded = Expanded(buffer);
    if (!expanded) return std::nullopt;
    buffer = std::move(*expanded);
  }
  if (buffer.empty()) return std::nullopt;
  return buffer;
}

// A folder from the registry or the environment, with its final "\".
std::wstring AsFolder(std::wstring path) {
  if (!path.empty() && path.back() != L'\\') path += L'\\';
  return path;
}

// Where one key holds JDKs and JREs alike, a home with bin\javac.exe is a JDK.
bool HomeIsOfKind(const std::wstring& home, RuntimeKind kind) {
  return PathExists(AsFolder(home) + L"bin\\javac.exe") == (kind == RuntimeKind::Jdk);
}

class WindowsRuntimeRegistry : public RuntimeRegistry {
 public:
  bool Keeps(const RuntimeFamily&) override { return true; }

  std::wstring Location(const RuntimeFamily& family) override {
    const std::wstring kind = family.kind == RuntimeKind::Jdk ? L" (JDK)" : L" (JRE)";
    if (family.source == RuntimeSource::JavaHome) return kJavaHomeName + kind;
    const FamilyKeys keys = KeysOf(family);
    std::wstring key = keys.key;
    if (!key.empty() && key.back() == L'\\') key.pop_back();
    return L"HKEY_LOCAL_MACHINE\\" + key + (keys.kind_from_home ? kind : L"");
  }

  std::vector<RegisteredRuntime> ListRuntimes(const RuntimeFamily& family) override {
    std::vector<RegisteredRuntime> runtimes;
    if (family.source == RuntimeSource::JavaHome) {
      // Its version comes from its "release" file.
      const std::optional<std::wstring> home = JavaHomeVariable();
      if (home && HomeIsOfKind(*home, family.kind)) runtimes.push_back({kJavaHomeName, L""});
      return runtimes;
    }
    const FamilyKeys keys = KeysOf(family);
    const OpenKey key(keys.key);
    if (key.get() == nullptr) return runtimes;
    for (DWORD index = 0;; ++index) {
      wchar_t name[kKeyNameCapacity];
      DWORD length = kKeyNameCapacity;
      if (RegEnumKeyExW(key.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
          ERROR_SUCCESS) {
        break;
      }
      const std::wstring subkey(name, length);
      if (keys.kind_from_home) {
        const std::optional<std::wstring> home = ReadHome(keys, subkey);
        if (!home || !HomeIsOfKind(*home, family.kind)) continue;
      }
      runtimes.push_back(RegisteredRuntime{subkey, subkey});
    }
    return runtimes;
  }

  std::optional<std::wstring> ReadJavaHome(const RuntimeFamily& family,
                                           const RegisteredRuntime& runtime) override {
    if (family.source == RuntimeSource::JavaHome) return JavaHomeVariable();
    return ReadHome(KeysOf(family), runtime.name);
  }

 private:
  static std::optional<std::wstring> ReadHome(const FamilyKeys& keys, const std::wstring& subkey) {
    const OpenKey key(keys.key + subkey + keys.below);
    if (key.get() == nullptr) return std::nullopt;
    return ReadTextValue(key.get(), keys.value);
  }

  static std::optional<std::wstring> JavaHomeVariable() {
    std::optional<std::wstring> home = ReadEnvironmentVariable(kJavaHomeName);
    if (!home || home->empty()) return std::nullopt;
    return home;
  }
};

}  // namespace

std::unique_ptr<RuntimeRegistry> OpenRuntimeRegistry() {
  return std::make_unique<WindowsRuntimeRegistry>();
}

}  // namespace korvan::platform
