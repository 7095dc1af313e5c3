// korvan-stamp: gives a launcher executable an embedded settings text, whose
// values apply unless its settings file replaces them (see docs/settings.md).
//
//   korvan-stamp [--upgrade-code CODE] [--output FILE] LAUNCHER TEXT-FILE
//   korvan-stamp --show [--upgrade-code CODE] LAUNCHER
//   korvan-stamp --remove [--output FILE] LAUNCHER
//
// The text is enciphered with the "Upgrade Code" that the launcher's settings
// file names in section "Product Information"; give the same code here.
// A Windows launcher gets the text as its RT_RCDATA resource 8000 (this needs
// the Windows build of the tool, korvan-stamp.exe, which also runs under
// Wine); any other launcher gets it as a trailer appended to the file.
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "platform/embedded_settings.h"
#include "platform/executable_resources.h"
#include "platform/file_bytes.h"
#include "platform/process.h"
#include "platform/shared/settings_trailer.h"
#include "platform/shared/utf_text.h"
#include "platform/text.h"
#include "settings/settings_text.h"
#include "settings/settings_text_file.h"

namespace korvan {
namespace {

constexpr char kUsage[] =
    "usage: korvan-stamp [--upgrade-code CODE] [--output FILE] LAUNCHER TEXT-FILE\n"
    "       korvan-stamp --show [--upgrade-code CODE] LAUNCHER\n"
    "       korvan-stamp --remove [--output FILE] LAUNCHER\n"
    "  --raw   take TEXT-FILE's bytes, or show the embedded bytes, as they are:\n"
    "          no text conversion and no cipher\n";

enum class Action { Stamp, Show, Remove };

struct Options {
  Action action = Action::Stamp;
  bool raw = false;
  std::wstring upgrade_code;
  std::wstring output;
  std::vector<std::wstring> files;
};

int Fail(const std::wstring& message) {
  const std::string text = "korvan-stamp: " + platform::NarrowFromWide(message) + "\n";
  std::fputs(text.c_str(), stderr);
  return 1;
}

std::optional<Options> ParseOptions(const std::vector<std::wstring>& arguments) {
  Options options;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::wstring& argument = arguments[i];
    if (argument == L"--show") {
      options.action = Action::Show;
    } else if (argument == L"--remove") {
      options.action = Action::Remove;
    } else if (argument == L"--raw") {
      options.raw = true;
    } else if ((argument == L"--upgrade-code" || argument == L"--output") &&
               i + 1 < arguments.size()) {
      (argument == L"--output" ? options.output : options.upgrade_code) = arguments[++i];
    } else if (argument.rfind(L"--", 0) == 0) {
      return std::nullopt;
    } else {
      options.files.push_back(argument);
    }
  }
  const std::size_t wanted = options.action == Action::Stamp ? 2 : 1;
  if (options.files.size() != wanted) return std::nullopt;
  if (options.action == Action::Show && !options.output.empty()) return std::nullopt;
  return options;
}

bool IsWindowsExecutable(const std::string& bytes) { return bytes.compare(0, 2, "MZ") == 0; }

// The executable without a trailer it may carry.
std::string WithoutTrailer(const std::string& bytes) {
  if (bytes.size() < platform::kSettingsTrailerFooterSize) return bytes;
  const auto payload = platform::SettingsTrailerPayloadSize(
      std::string_view(bytes).substr(bytes.size() - platform::kSettingsTrailerFooterSize),
      bytes.size());
  if (!payload) return bytes;
  return bytes.substr(0, bytes.size() - platform::kSettingsTrailerFooterSize - *payload);
}

// Puts `payload` (enciphered bytes), or with null none, into `launcher`.
int WriteEmbedded(const std::wstring& launcher, const std::string* payload) {
  std::string bytes;
  if (!platform::ReadFileBytes(launcher, bytes)) return Fail(L"cannot read " + launcher);
  if (IsWindowsExecutable(bytes)) {
    if (!platform::CanEditExecutableResources()) {
      return Fail(launcher + L" is a Windows executable: stamp it with korvan-stamp.exe "
                             L"(the Windows build of this tool, which also runs under Wine)");
    }
    if (!platform::WriteSettingsResource(launcher, payload)) {
      return Fail(L"cannot write the settings resource of " + launcher);
    }
    std::string left;
    if (payload == nullptr && platform::ReadSettingsResource(launcher, left)) {
      // Wine's UpdateResourceW reports success but keeps the resource.
      return Fail(L"the settings resource of " + launcher +
                  L" is still there: this system does not delete resources; "
                  L"stamp an empty text file instead");
    }
    return 0;
  }
  std::string stamped = WithoutTrailer(bytes);
  if (payload != nullptr) {
    const std::optional<std::string> trailer = platform::MakeSettingsTrailer(*payload);
    if (!trailer) return Fail(L"the settings text is too long");
    stamped += *trailer;
  }
  if (!platform::WriteFileBytes(launcher, stamped)) return Fail(L"cannot write " + launcher);
  return 0;
}

std::optional<std::string> ReadEmbedded(const std::wstring& launcher) {
  std::string bytes;
  if (!platform::ReadFileBytes(launcher, bytes)) return std::nullopt;
  if (IsWindowsExecutable(bytes)) {
    std::string resource;
    if (!platform::ReadSettingsResource(launcher, resource)) return std::nullopt;
    return resource;
  }
  const std::string stripped = WithoutTrailer(bytes);
  if (stripped.size() == bytes.size()) return std::nullopt;
  return bytes.substr(stripped.size(), bytes.size() - stripped.size() -
                                           platform::kSettingsTrailerFooterSize);
}

std::string KeyText(const Options& options) { return platform::NarrowFromWide(options.upgrade_code); }

int Stamp(const Options& options, const std::wstring& launcher) {
  std::string payload;
  if (!platform::ReadFileBytes(options.files[1], payload)) return Fail(L"cannot read " + options.files[1]);
  if (!options.raw) {
    payload = EmbeddedBytesFromTextFile(payload);
    const std::size_t sections =
        ParseSettingsText(platform::WideFromUtf16Bytes(payload, platform::ByteOrder::LittleEndian))
            .size();
    if (!platform::DecipherSettingsBytes(KeyText(options), payload)) {
      return Fail(L"the system's cipher failed");
    }
    std::printf("korvan-stamp: %zu sections embedded\n", sections);
  }
  return WriteEmbedded(launcher, &payload);
}

int Show(const Options& options) {
  std::string bytes;
  if (platform::ReadFileBytes(options.files[0], bytes) && IsWindowsExecutable(bytes) &&
      !platform::CanEditExecutableResources()) {
    return Fail(options.files[0] + L" is a Windows executable: read it with korvan-stamp.exe "
                                   L"(the Windows build of this tool, which also runs under Wine)");
  }
  std::optional<std::string> payload = ReadEmbedded(options.files[0]);
  if (!payload) return Fail(options.files[0] + L" carries no settings text");
  if (!options.raw) {
    if (!platform::DecipherSettingsBytes(KeyText(options), *payload)) {
      return Fail(L"the system's cipher failed");
    }
    *payload = TextFileFromEmbeddedBytes(*payload);
  }
  std::fwrite(payload->data(), 1, payload->size(), stdout);
  return 0;
}

int Run(const std::vector<std::wstring>& arguments) {
  const std::optional<Options> options = ParseOptions(arguments);
  if (!options) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  if (options->action == Action::Show) return Show(*options);

  std::wstring launcher = options->files[0];
  if (!options->output.empty()) {
    if (!platform::CopyFileReplacing(launcher, options->output)) {
      return Fail(L"cannot copy " + launcher + L" to " + options->output);
    }
    launcher = options->output;
  }
  if (options->action == Action::Remove) return WriteEmbedded(launcher, nullptr);
  return Stamp(*options, launcher);
}

}  // namespace
}  // namespace korvan

int main(int argc, char** argv) {
  korvan::platform::UseSystemDefaultLocale();
  return korvan::Run(korvan::platform::ApplicationArguments(argc, argv));
}
