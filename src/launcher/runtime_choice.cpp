#include "launcher/runtime_choice.h"

#include "messages/trace.h"
#include "platform/process.h"
#include "platform/profile.h"
#include "platform/runtime_dialog.h"
#include "runtime/jvm_library.h"
#include "runtime/runtime_search.h"
#include "settings/settings_paths.h"

namespace korvan {

namespace {

// A service runs for no particular user, so its choice belongs in the
// settings file itself; anyone else's goes into their own settings file.
void RememberRuntimeFolder(const Launcher& launcher, const std::wstring& folder) {
  const SettingsSource& source = launcher.settings_source;
  if (source.file_path.empty()) return;
  const bool per_user = platform::IsWindowsNtFamily() && !launcher.settings.service;
  const std::wstring file =
      per_user ? GetUserSettingsFilePath(source.launcher_path, launcher.settings, true)
               : source.file_path;
  if (platform::WriteProfileValue(file, L"Java Runtime Environment", L"JRE Path", folder)) {
    Trace(L"runtime folder remembered in " + file);
  } else {
    Trace(L"runtime folder not remembered: cannot write " + file);
  }
}

}  // namespace

Outcome ChooseRuntime(Launcher& launcher) {
  Trace(L"no runtime qualified: asking the user");
  const JvmKind kind = launcher.settings.jvm_kind;
  const RuntimeFiles files = SystemRuntimeFiles();
  const platform::JvmLibraryOfFolder library_of_folder = [kind, &files](const std::wstring& folder) {
    const std::optional<JvmLibrary> library = SelectJvmLibrary(folder, kind, files);
    return library ? library->path : std::wstring();
  };

  const platform::RuntimeDialogResult choice =
      platform::AskForRuntime(MissingRuntimeText(launcher.settings), library_of_folder);
  switch (choice.end) {
    case platform::RuntimeDialogEnd::NotShown:
      return Failure{MissingRuntimeMessage(launcher.settings), std::wstring()};
    case platform::RuntimeDialogEnd::Cancelled:
    case platform::RuntimeDialogEnd::OutOfMemory:
      return SilentFailure();
    case platform::RuntimeDialogEnd::Chosen:
      break;
  }
  launcher.runtime = RuntimeSearchResult{choice.jvm_library_path, std::nullopt};
  Trace(L"runtime folder chosen by the user: " + choice.folder);
  RememberRuntimeFolder(launcher, choice.folder);
  return std::nullopt;
}

}  // namespace korvan
