#include "deb_package.h"

#include <cwctype>
#include <system_error>

#include "desktop_entry.h"
#include "external_tool.h"
#include "platform/environment.h"
#include "platform/file_bytes.h"
#include "platform/text.h"
#include "reproducible_archive.h"

namespace korvan::package {

namespace fs = std::filesystem;

std::wstring DebianPackageName(const std::wstring& name) {
  std::wstring result;
  for (const wchar_t c : name) {
    const bool kept = (c < 128 && std::iswalnum(c)) || c == L'+' || c == L'.';
    if (kept) {
      result += static_cast<wchar_t>(std::towlower(c));
    } else if (!result.empty() && result.back() != L'-') {
      result += L'-';
    }
  }
  while (!result.empty() && result.back() == L'-') result.pop_back();
  return result;
}

std::wstring WhyNoDebianVersion(const std::wstring& version) {
  if (version.empty() || !std::iswdigit(version.front()) ||
      version.find_first_not_of(L"0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ.+~-") !=
          std::wstring::npos) {
    return L"[Package] Version \"" + version +
           L"\" is no Debian version: it starts with a digit and holds only letters, digits and . + ~ -";
  }
  return L"";
}

namespace {

std::wstring ControlText(const PackageDescription& d) {
  return L"Package: " + DebianPackageName(d.name) + L"\nVersion: " + d.version +
         L"\nArchitecture: " + FactsOf(d.target).debian_architecture +
         L"\nMaintainer: " + (d.vendor.empty() ? d.name : d.vendor) +
         L"\nSection: misc\nPriority: optional\nDescription: " + d.Summary() + L"\n";
}

fs::path TreeOf(const fs::path& root, const std::wstring& name) { return root / (name + L".deb-tree"); }

}  // namespace

bool LayOutDebTree(const PackageDescription& d, const fs::path& root, const std::wstring& name,
                   std::wstring& error) {
  // dpkg-deb takes its times from here: the same bytes for the same inputs.
  if (!platform::ReadEnvironmentVariable(L"SOURCE_DATE_EPOCH")) {
    platform::WriteEnvironmentVariable(L"SOURCE_DATE_EPOCH", std::to_wstring(kArchiveTime));
  }
  const fs::path tree = TreeOf(root, name);
  const std::wstring package = DebianPackageName(d.name);
  std::error_code why;
  fs::create_directories(tree / "DEBIAN", why);
  if (!why) fs::create_directories(tree / "opt", why);
  if (!why) fs::create_directories(tree / "usr/bin", why);
  if (!why) {
    fs::copy(root / name, tree / "opt" / package, fs::copy_options::recursive | fs::copy_options::create_hard_links,
             why);
  }
  if (!why) fs::create_symlink(fs::path("/opt") / package / d.name, tree / "usr/bin" / package, why);
  if (why) {
    error = L"cannot lay out the .deb in " + tree.wstring() + L": " + platform::WideFromNarrow(why.message());
    return false;
  }
  if (!platform::WriteFileBytes((tree / "DEBIAN/control").wstring(), platform::NarrowFromWide(ControlText(d)))) {
    error = L"cannot write " + (tree / "DEBIAN/control").wstring();
    return false;
  }
  if (!LayOutDesktopFiles(d, tree, error)) return false;
  // Gives the new folders and the control file the archives' time; the
  // linked files have it already.
  return NormaliseTree(tree, error);
}

bool WriteDeb(const fs::path& root, const std::wstring& name, const fs::path& deb, std::wstring& error) {
  const fs::path tree = TreeOf(root, name);
  // gzip's own level, as for the .tar.gz: dpkg-deb's default of 9 takes three
  // times as long for 1% less.
  const bool built = RunTool(
      {L"dpkg-deb", L"--root-owner-group", L"-Zgzip", L"-z6", L"--build", tree.wstring(), deb.wstring()}, L"dpkg",
      error);
  std::error_code ignored;
  fs::remove_all(tree, ignored);
  return built;
}

}  // namespace korvan::package
