#include "msi_package.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "external_tool.h"
#include "platform/file_bytes.h"
#include "platform/shared/utf_text.h"

namespace korvan::package {
namespace {

namespace fs = std::filesystem;

std::wstring Xml(const std::wstring& text) {
  std::wstring escaped;
  for (wchar_t c : text) {
    switch (c) {
      case L'&': escaped += L"&amp;"; break;
      case L'<': escaped += L"&lt;"; break;
      case L'>': escaped += L"&gt;"; break;
      case L'"': escaped += L"&quot;"; break;
      default: escaped += c;
    }
  }
  return escaped;
}

std::uint64_t Fnv1a(const std::wstring& text, std::uint64_t hash) {
  for (wchar_t c : text) {
    hash ^= static_cast<std::uint64_t>(c);
    hash *= 0x100000001B3ull;
  }
  return hash;
}

// A component's GUID must stay the same for the same file from one version to
// the next: it is derived from the upgrade code and the file's path. The
// product code is derived so too, from the version: a rebuilt package of one
// version is the same product, which its own MSI file uninstalls.
std::wstring ComponentGuid(const std::wstring& upgrade_code, const std::wstring& relative) {
  const std::wstring key = upgrade_code + L"|" + relative;
  const std::uint64_t high = Fnv1a(key, 0xCBF29CE484222325ull);
  const std::uint64_t low = Fnv1a(key, high ^ 0x9E3779B97F4A7C15ull);
  wchar_t text[40];
  std::swprintf(text, 40, L"%08X-%04X-4%03X-%04X-%012llX", static_cast<unsigned>(high >> 32),
                static_cast<unsigned>((high >> 16) & 0xFFFF), static_cast<unsigned>(high & 0xFFF),
                static_cast<unsigned>(0x8000 | ((low >> 48) & 0x3FFF)),
                static_cast<unsigned long long>(low & 0xFFFFFFFFFFFFull));
  return text;
}

struct Writer {
  const PackageDescription& d;
  const fs::path& root;
  const fs::path& source_folder;  // wixl takes file sources relative to the source's folder
  std::wstring text;
  int count = 0;    // components, one for each file
  int folders = 0;

  // The folder's files as components, then its subfolders, sorted by name.
  void Folder(const fs::path& folder, const std::wstring& indent) {
    std::vector<fs::path> entries;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) entries.push_back(entry.path());
    std::sort(entries.begin(), entries.end());
    for (const fs::path& entry : entries) {
      if (fs::is_directory(entry)) continue;
      const std::wstring relative = entry.lexically_relative(root).generic_wstring();
      const std::wstring id = std::to_wstring(++count);
      text += indent + L"<Component Id=\"c" + id + L"\" Guid=\"" + ComponentGuid(d.upgrade_code, relative) +
              L"\" Win64=\"yes\"><File Id=\"f" + id + L"\" Name=\"" + Xml(entry.filename().wstring()) +
              L"\" Source=\"" + Xml(entry.lexically_relative(source_folder).generic_wstring()) + L"\" KeyPath=\"yes\"/></Component>\n";
    }
    for (const fs::path& entry : entries) {
      if (!fs::is_directory(entry)) continue;
      text += indent + L"<Directory Id=\"d" + std::to_wstring(++folders) + L"\" Name=\"" +
              Xml(entry.filename().wstring()) + L"\">\n";
      Folder(entry, indent + L"  ");
      text += indent + L"</Directory>\n";
    }
  }
};

}  // namespace

std::wstring MsiSource(const PackageDescription& d, const fs::path& root, const std::wstring& name) {
  const fs::path folder = root / name;
  Writer writer{d, folder, root, L""};
  writer.Folder(root / name, L"            ");
  const std::wstring exe = d.name + L".exe";
  std::wstring components;
  for (int i = 1; i <= writer.count; ++i) components += L"      <ComponentRef Id=\"c" + std::to_wstring(i) + L"\"/>\n";
  return L"<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
         L"<Wix xmlns=\"http://schemas.microsoft.com/wix/2006/wi\">\n"
         L"  <Product Id=\"" + ComponentGuid(d.upgrade_code, L"|product|" + d.version) + L"\" Name=\"" + Xml(d.name) + L"\" Language=\"1033\" Version=\"" + Xml(d.version) +
         L"\" Manufacturer=\"" + Xml(d.vendor) + L"\" UpgradeCode=\"" + Xml(d.upgrade_code) + L"\">\n"
         L"    <Package InstallerVersion=\"500\" Compressed=\"yes\" InstallScope=\"perMachine\"/>\n"
         L"    <Media Id=\"1\" Cabinet=\"app.cab\" EmbedCab=\"yes\"/>\n"
         L"    <MajorUpgrade DowngradeErrorMessage=\"A newer version of " + Xml(d.name) + L" is already installed.\"/>\n"
         L"    <Directory Id=\"TARGETDIR\" Name=\"SourceDir\">\n"
         L"      <Directory Id=\"ProgramFiles64Folder\">\n"
         L"        <Directory Id=\"VendorFolder\" Name=\"" + Xml(d.vendor) + L"\">\n"
         // The vendor's folder holds no file, so only a component of its own removes it.
         L"          <Component Id=\"vendor\" Guid=\"" + ComponentGuid(d.upgrade_code, L"|vendor") + L"\" Win64=\"yes\">\n"
         L"            <RemoveFolder Id=\"RemoveVendorFolder\" On=\"uninstall\"/>\n"
         L"            <RegistryValue Root=\"HKLM\" Key=\"Software\\" + Xml(d.vendor) + L"\\" + Xml(d.name) +
         L"\" Name=\"Folder\" Type=\"integer\" Value=\"1\" KeyPath=\"yes\"/>\n"
         L"          </Component>\n"
         L"          <Directory Id=\"INSTALLDIR\" Name=\"" + Xml(d.name) + L"\">\n" +
         writer.text +
         L"          </Directory>\n"
         L"        </Directory>\n"
         L"      </Directory>\n"
         L"      <Directory Id=\"ProgramMenuFolder\">\n"
         L"        <Component Id=\"menu\" Guid=\"" + ComponentGuid(d.upgrade_code, L"|menu") + L"\" Win64=\"yes\">\n"
         L"          <Shortcut Id=\"shortcut\" Name=\"" + Xml(d.name) + L"\" Target=\"[INSTALLDIR]" + Xml(exe) +
         L"\" WorkingDirectory=\"INSTALLDIR\"/>\n"
         L"          <RegistryValue Root=\"HKLM\" Key=\"Software\\" + Xml(d.vendor) + L"\\" + Xml(d.name) +
         L"\" Name=\"Shortcut\" Type=\"integer\" Value=\"1\" KeyPath=\"yes\"/>\n"

         L"        </Component>\n"
         L"      </Directory>\n"
         L"    </Directory>\n"
         L"    <Feature Id=\"Application\" Level=\"1\">\n" + components +
         L"      <ComponentRef Id=\"menu\"/>\n"
         L"      <ComponentRef Id=\"vendor\"/>\n"
         L"    </Feature>\n"
         L"  </Product>\n"
         L"</Wix>\n";
}

bool WriteMsi(const PackageDescription& d, const fs::path& root, const std::wstring& name, const fs::path& msi,
              std::wstring& error) {
  const fs::path source = root / (name + L".wxs");
  if (!platform::WriteFileBytes(source.wstring(), platform::Utf8FromWide(MsiSource(d, root, name)))) {
    error = L"cannot write " + source.wstring();
    return false;
  }
  const bool built = RunTool({L"wixl", L"-a", L"x64", L"-o", msi.wstring(), source.wstring()}, L"wixl", error);
  std::error_code ignored;
  fs::remove(source, ignored);
  return built;
}

}  // namespace korvan::package
