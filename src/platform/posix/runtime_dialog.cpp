#include "platform/runtime_dialog.h"

namespace korvan::platform {

// No window system is assumed: the caller reports the message as an error line.
RuntimeDialogResult AskForRuntime(const std::wstring&, const JvmLibraryOfFolder&) {
  return RuntimeDialogResult{};
}

}  // namespace korvan::platform
