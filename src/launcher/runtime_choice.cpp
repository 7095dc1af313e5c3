#include "launcher/runtime_choice.h"

#include "messages/trace.h"
#include "platform/runtime_dialog.h"
#include "runtime/jvm_library.h"
#include "runtime/runtime_search.h"
#include "settings/runtime_memory.h"

namespace korvan {

Outcome ChooseRuntime(Launcher& launcher) {
  // A service has no user to ask: in its session no one sees a dialog.
  if (launcher.settings.service) {
    Trace(L"no runtime qualified");
    return Failure{MissingRuntimeMessage(launcher.settings), std::wstring()};
  }
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
    case platform::RuntimeDialogEnd::OutOfMemory:
      Trace(L"the dialog was not shown");
      return Failure{MissingRuntimeMessage(launcher.settings), std::wstring()};
    case platform::RuntimeDialogEnd::Cancelled:
      return SilentFailure();
    case platform::RuntimeDialogEnd::Chosen:
      break;
  }
  launcher.runtime = RuntimeSearchResult{choice.jvm_library_path, std::nullopt};
  Trace(L"runtime folder chosen by the user: " + choice.folder);
  if (!RememberRuntimeFolder(launcher.settings_source, launcher.settings, choice.folder)) {
    Trace(L"runtime folder not remembered: the settings file cannot be written");
  }
  return std::nullopt;
}

}  // namespace korvan
