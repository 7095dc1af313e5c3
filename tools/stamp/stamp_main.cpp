// korvan-stamp: gives a launcher executable an embedded settings text, whose
// values apply unless its settings file replaces them (see docs/settings.md),
// and a Windows launcher its application's icon and version information.
// See kUsage in stamp_options.h for the command line.
//
// The text is enciphered with the "Upgrade Code" that the launcher's settings
// file names in section "Product Information"; give the same code here.
// A Windows launcher gets the text as its RT_RCDATA resource 8000; any other
// launcher gets it as a trailer appended to the file. Windows resources are
// rewritten by Korvan's own PE resource writer (tools/pe), so both builds of
// the tool stamp Windows launchers, and give the same bytes (stamp_launcher.h).
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "pe_image.h"
#include "platform/embedded_settings.h"
#include "platform/file_bytes.h"
#include "platform/process.h"
#include "platform/shared/settings_trailer.h"
#include "platform/shared/utf_text.h"
#include "platform/text.h"
#include "resource_tree.h"
#include "launcher_resources.h"
#include "settings/deciphered_text.h"
#include "settings/settings_text_file.h"
#include "stamp_launcher.h"
#include "stamp_options.h"

namespace korvan::stamp {
namespace {

int Fail(const std::wstring& message) {
  const std::string text = "korvan-stamp: " + platform::NarrowFromWide(message) + "\n";
  std::fputs(text.c_str(), stderr);
  return 1;
}

std::wstring Wide(const std::string& text) { return platform::WideFromUtf8(text); }

std::string KeyText(const StampOptions& options) { return platform::NarrowFromWide(options.upgrade_code); }

int Stamp(const StampOptions& options) {
  std::wstring error;
  return StampLauncher(options, error) ? 0 : Fail(error);
}

int Show(const StampOptions& options) {
  std::string bytes;
  if (!platform::ReadFileBytes(options.launcher, bytes)) return Fail(L"cannot read " + options.launcher);
  std::optional<std::string> payload;
  if (IsWindowsExecutable(bytes)) {
    std::string why;
    const std::optional<pe::PeImage> image = pe::ParsePeImage(bytes, why);
    std::optional<pe::ResourceTree> tree;
    if (image) tree = pe::ReadResourceTree(bytes, *image, why);
    if (!tree) return Fail(options.launcher + L" cannot be read: " + Wide(why));
    if (const pe::ResourceData* text = pe::SettingsText(*tree)) payload = text->bytes;
  } else {
    const std::string stripped = WithoutTrailer(bytes);
    if (stripped.size() != bytes.size()) {
      payload = bytes.substr(stripped.size(),
                             bytes.size() - stripped.size() - platform::kSettingsTrailerFooterSize);
    }
  }
  if (!payload) return Fail(options.launcher + L" carries no settings text");
  if (!options.raw) {
    if (!platform::DecipherSettingsBytes(KeyText(options), *payload)) {
      return Fail(L"the system's cipher failed");
    }
    if (!ReadableSettingsText(platform::WideFromUtf16Bytes(*payload, platform::ByteOrder::LittleEndian))) {
      return Fail(kUnreadableEmbeddedText);
    }
    *payload = TextFileFromEmbeddedBytes(*payload);
    if (!payload->empty() && payload->back() != '\n') *payload += '\n';
  }
  std::fwrite(payload->data(), 1, payload->size(), stdout);
  return 0;
}

int Run(const std::vector<std::wstring>& arguments) {
  for (const std::wstring& argument : arguments) {
    if (argument == L"--help" || argument == L"-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
  }
  std::string error;
  const std::optional<StampOptions> options = ParseStampOptions(arguments, error);
  if (!options) {
    std::fputs(("korvan-stamp: " + error + "\n" + kUsage).c_str(), stderr);
    return 2;
  }
  return options->show ? Show(*options) : Stamp(*options);
}

}  // namespace
}  // namespace korvan::stamp

int main(int argc, char** argv) {
  korvan::platform::UseSystemDefaultLocale();
  return korvan::stamp::Run(korvan::platform::ApplicationArguments(argc, argv));
}
