#include "msi_package.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "application_folder.h"
#include "desktop_entry.h"
#include "external_tool.h"
#include "platform/file_bytes.h"
#include "platform/shared/utf_text.h"
#include "xml_text.h"

namespace korvan::package {
namespace {

namespace fs = std::filesystem;

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

// A ProgId names a document type in the registry: no blanks, one dot.
std::wstring ProgIdOf(const PackageDescription& d, const FileAssociation& association) {
  std::wstring application;
  for (wchar_t c : d.name) {
    if ((c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9')) application += c;
  }
  return (application.empty() ? L"Application" : application) + L"." + association.extension;
}

// The document types the launcher opens, inside the launcher's component:
// the "open" verb starts it with the document's full path, and the type shows
// the launcher's icon (wixl takes no Icon on ProgId, so DefaultIcon is a value).
std::wstring FileAssociations(const PackageDescription& d, const std::wstring& indent) {
  std::wstring text;
  for (const FileAssociation& association : d.file_associations) {
    const std::wstring prog_id = Xml(ProgIdOf(d, association));
    text += indent + L"<ProgId Id=\"" + prog_id + L"\" Description=\"" + Xml(association.description) + L"\">\n" +
            indent + L"  <Extension Id=\"" + Xml(association.extension) + L"\" ContentType=\"" +
            Xml(MimeTypeOf(d, association)) + L"\">\n" +
            indent + L"    <Verb Id=\"open\" Command=\"Open\" TargetFile=\"launcher\" Argument=\"&quot;%1&quot;\"/>\n" +
            indent + L"  </Extension>\n" +
            indent + L"</ProgId>\n" +
            indent + L"<RegistryValue Root=\"HKCR\" Key=\"" + prog_id +
            L"\\DefaultIcon\" Type=\"string\" Value=\"[#launcher],0\"/>\n";
  }
  return text;
}

// A shortcut to the launcher, with the application's description as its comment.
std::wstring Shortcut(const PackageDescription& d, const std::wstring& id) {
  return L"<Shortcut Id=\"" + id + L"\" Name=\"" + Xml(d.name) + L"\" Description=\"" + Xml(d.Summary()) +
         L"\" Target=\"[INSTALLDIR]" + Xml(LauncherFileName(d)) + L"\" WorkingDirectory=\"INSTALLDIR\"/>";
}

std::wstring DesktopShortcut(const PackageDescription& d) {
  return L"      <Directory Id=\"DesktopFolder\">\n"
         L"        <Component Id=\"desktop\" Guid=\"" + ComponentGuid(d.upgrade_code, L"|desktop") + L"\" Win64=\"yes\">\n"
         L"          " + Shortcut(d, L"desktopShortcut") + L"\n"
         L"          <RegistryValue Root=\"HKLM\" Key=\"Software\\" + Xml(d.vendor) + L"\\" + Xml(d.name) +
         L"\" Name=\"DesktopShortcut\" Type=\"integer\" Value=\"1\" KeyPath=\"yes\"/>\n"
         L"        </Component>\n"
         L"      </Directory>\n";
}

// Add/Remove Programs shows the application's icon and where it is installed.
// wixl takes no SetProperty: a property-setting custom action (type 51) right
// after CostFinalize, where INSTALLDIR is final, gives the install location.
std::wstring AddRemovePrograms(const PackageDescription& d, const fs::path& source_folder) {
  std::wstring text;
  if (!d.icon.empty()) {
    text += L"    <Icon Id=\"ApplicationIcon.ico\" SourceFile=\"" +
            Xml(fs::absolute(d.icon).lexically_relative(fs::absolute(source_folder)).generic_wstring()) + L"\"/>\n"
            L"    <Property Id=\"ARPPRODUCTICON\" Value=\"ApplicationIcon.ico\"/>\n";
  }
  return text +
         L"    <CustomAction Id=\"SetInstallLocation\" Property=\"ARPINSTALLLOCATION\" Value=\"[INSTALLDIR]\"/>\n"
         L"    <InstallExecuteSequence><Custom Action=\"SetInstallLocation\" Sequence=\"1001\"/></InstallExecuteSequence>\n";
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
      const bool launcher = relative == LauncherFileName(d);
      text += indent + L"<Component Id=\"c" + id + L"\" Guid=\"" + ComponentGuid(d.upgrade_code, relative) +
              L"\" Win64=\"yes\"><File Id=\"" + (launcher ? L"launcher" : L"f" + id) + L"\" Name=\"" +
              Xml(entry.filename().wstring()) + L"\" Source=\"" +
              Xml(entry.lexically_relative(source_folder).generic_wstring()) + L"\" KeyPath=\"yes\"/>";
      if (launcher && !d.file_associations.empty()) text += L"\n" + FileAssociations(d, indent + L"  ") + indent;
      text += L"</Component>\n";
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
  std::wstring components;
  for (int i = 1; i <= writer.count; ++i) components += L"      <ComponentRef Id=\"c" + std::to_wstring(i) + L"\"/>\n";
  return L"<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
         L"<Wix xmlns=\"http://schemas.microsoft.com/wix/2006/wi\">\n"
         L"  <Product Id=\"" + ComponentGuid(d.upgrade_code, L"|product|" + d.version) + L"\" Name=\"" + Xml(d.name) + L"\" Language=\"1033\" Version=\"" + Xml(d.version) +
         L"\" Manufacturer=\"" + Xml(d.vendor) + L"\" UpgradeCode=\"" + Xml(d.upgrade_code) + L"\">\n"
         L"    <Package InstallerVersion=\"500\" Compressed=\"yes\" InstallScope=\"perMachine\"/>\n"
         L"    <Media Id=\"1\" Cabinet=\"app.cab\" EmbedCab=\"yes\"/>\n"
         L"    <MajorUpgrade DowngradeErrorMessage=\"A newer version of " + Xml(d.name) + L" is already installed.\"/>\n" +
         AddRemovePrograms(d, root) +
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
         L"          " + Shortcut(d, L"shortcut") + L"\n"
         L"          <RegistryValue Root=\"HKLM\" Key=\"Software\\" + Xml(d.vendor) + L"\\" + Xml(d.name) +
         L"\" Name=\"Shortcut\" Type=\"integer\" Value=\"1\" KeyPath=\"yes\"/>\n"
         L"        </Component>\n"
         L"      </Directory>\n" +
         (d.desktop_shortcut ? DesktopShortcut(d) : L"") +
         L"    </Directory>\n"
         L"    <Feature Id=\"Application\" Level=\"1\">\n" + components +
         L"      <ComponentRef Id=\"menu\"/>\n" +
         (d.desktop_shortcut ? L"      <ComponentRef Id=\"desktop\"/>\n" : L"") +
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
