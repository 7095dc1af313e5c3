#include "desktop_entry.h"

#include <cwctype>
#include <map>
#include <system_error>

#include "deb_package.h"
#include "icon_file.h"
#include "icon_png.h"
#include "platform/file_bytes.h"
#include "platform/shared/utf_text.h"
#include "platform/text.h"
#include "xml_text.h"

namespace korvan::package {
namespace {

namespace fs = std::filesystem;

// The sizes of the hicolor theme's index: an icon of another size is not found.
constexpr int kThemeSizes[] = {16, 22, 24, 32, 36, 48, 64, 72, 96, 128, 192, 256, 512};

int Size(std::uint8_t stored) { return stored == 0 ? 256 : stored; }

bool IsThemeSize(int size) {
  for (int theme : kThemeSizes) {
    if (theme == size) return true;
  }
  return false;
}

// A value of a desktop entry: backslashes and line breaks escaped.
std::wstring EntryValue(const std::wstring& text) {
  std::wstring escaped;
  for (wchar_t c : text) {
    if (c == L'\\') {
      escaped += L"\\\\";
    } else if (c == L'\n' || c == L'\r' || c == L'\t') {
      escaped += L' ';
    } else {
      escaped += c;
    }
  }
  return escaped;
}

bool Write(const fs::path& file, const std::wstring& text, std::wstring& error) {
  std::error_code why;
  fs::create_directories(file.parent_path(), why);
  if (!why && platform::WriteFileBytes(file.wstring(), platform::Utf8FromWide(text))) return true;
  error = L"cannot write " + file.wstring();
  return false;
}

// One PNG for each theme size the icon holds: of several images of a size,
// a PNG or else the one of most colours.
bool LayOutIcons(const PackageDescription& d, const fs::path& tree, std::wstring& error) {
  std::string file;
  std::string why;
  if (!platform::ReadFileBytes(d.icon, file)) {
    error = L"cannot read the icon " + d.icon;
    return false;
  }
  const auto images = pe::ParseIconFile(file, why);
  if (!images) {
    error = L"the icon " + d.icon + L" gives no PNG icons: " + platform::WideFromNarrow(why);
    return false;
  }
  std::map<int, const pe::IconImage*> best;
  for (const pe::IconImage& image : *images) {
    const int size = Size(image.width);
    if (size != Size(image.height) || !IsThemeSize(size)) continue;
    const auto rank = [](const pe::IconImage* i) { return i->bytes.rfind("\x89PNG", 0) == 0 ? 1000 : i->bit_count; };
    if (!best[size] || rank(&image) > rank(best[size])) best[size] = &image;
  }
  for (const auto& [size, image] : best) {
    const std::optional<std::string> png = PngFromIconImage(image->bytes, why);
    if (!png) {
      error = L"the icon " + d.icon + L" gives no PNG icons: " + platform::WideFromNarrow(why);
      return false;
    }
    const std::wstring dimension = std::to_wstring(size) + L"x" + std::to_wstring(size);
    const fs::path target = tree / "usr/share/icons/hicolor" / dimension / "apps" / (DebianPackageName(d.name) + L".png");
    std::error_code made;
    fs::create_directories(target.parent_path(), made);
    if (made || !platform::WriteFileBytes(target.wstring(), *png)) {
      error = L"cannot write " + target.wstring();
      return false;
    }
  }
  if (best.empty()) {
    error = L"the icon " + d.icon + L" holds no square image of 16 to 256 pixels for Linux desktops";
    return false;
  }
  return true;
}

}  // namespace

std::wstring MimeTypeOf(const PackageDescription& d, const FileAssociation& association) {
  std::wstring extension = association.extension;
  for (wchar_t& c : extension) c = static_cast<wchar_t>(std::towlower(c));
  return L"application/x-" + DebianPackageName(d.name) + L"-" + extension;
}

std::wstring DesktopEntryText(const PackageDescription& d) {
  const std::wstring package = DebianPackageName(d.name);
  std::wstring text = L"[Desktop Entry]\nType=Application\nName=" + EntryValue(d.name) + L"\n";
  if (!d.summary.empty()) text += L"Comment=" + EntryValue(d.summary) + L"\n";
  text += L"Exec=/usr/bin/" + package + L" %f\n";
  if (!d.icon.empty()) text += L"Icon=" + package + L"\n";
  text += std::wstring(L"Terminal=") + (d.console ? L"true" : L"false") + L"\n";
  if (!d.file_associations.empty()) {
    text += L"MimeType=";
    for (const FileAssociation& association : d.file_associations) text += MimeTypeOf(d, association) + L";";
    text += L"\n";
  }
  return text;
}

std::wstring MimeInfoText(const PackageDescription& d) {
  std::wstring text = L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      L"<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n";
  for (const FileAssociation& association : d.file_associations) {
    text += L"  <mime-type type=\"" + MimeTypeOf(d, association) + L"\">\n"
            L"    <comment>" + Xml(association.description) + L"</comment>\n"
            L"    <glob pattern=\"*." + Xml(association.extension) + L"\"/>\n"
            L"  </mime-type>\n";
  }
  return text + L"</mime-info>\n";
}

bool LayOutDesktopFiles(const PackageDescription& d, const fs::path& tree, std::wstring& error) {
  const std::wstring package = DebianPackageName(d.name);
  if (!Write(tree / "usr/share/applications" / (package + L".desktop"), DesktopEntryText(d), error)) return false;
  if (!d.file_associations.empty() &&
      !Write(tree / "usr/share/mime/packages" / (package + L".xml"), MimeInfoText(d), error)) {
    return false;
  }
  return d.icon.empty() || LayOutIcons(d, tree, error);
}

}  // namespace korvan::package
