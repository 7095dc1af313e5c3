#pragma once
// Asking the user for a Java runtime when the search found none. Windows shows
// the missing-runtime dialog (a link to the download page and a folder
// browser); other systems have no window to show and report the message as an
// error line instead.

#include <functional>
#include <string>

namespace korvan::platform {

// The JVM library that a runtime folder (ending with the separator) offers
// for the run, or "" when it holds none that the run accepts.
using JvmLibraryOfFolder = std::function<std::wstring(const std::wstring& folder)>;

enum class RuntimeDialogEnd {
  Chosen,       // OK with a folder that holds an acceptable JVM library
  Cancelled,    // Cancel, Escape or the close box
  OutOfMemory,  // the dialog could not be prepared
  NotShown,     // no one could answer it: no such dialog here, a desktop no
                // user sees, or the dialog could not be made
};

struct RuntimeDialogResult {
  RuntimeDialogEnd end = RuntimeDialogEnd::NotShown;
  std::wstring folder;            // the chosen folder, ending with the separator
  std::wstring jvm_library_path;  // its JVM library
};

// Shows the dialog modally, owned by the active window, with `message` above
// the download link, where a user can see it; `library_of_folder` decides
// whether a browsed folder may be taken.
RuntimeDialogResult AskForRuntime(const std::wstring& message,
                                  const JvmLibraryOfFolder& library_of_folder);

}  // namespace korvan::platform
