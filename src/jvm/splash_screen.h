#pragma once
// The splash screen that java shows while its VM starts. The runtime's own
// splash-screen library shows the image before the VM exists; the VM loads
// the same library later, so java.awt.SplashScreen finds the splash there and
// the application's first window closes it.

#include <string>

#include "options/main_jar.h"

namespace korvan {

struct SplashImage {
  std::wstring file;  // a file of its own, or an entry of `jar`; empty: no splash screen
  std::wstring jar;   // the jar that holds `file`; empty for a file of its own
};

// The image java would show: the last -splash: option's file, else the
// "SplashScreen-Image" entry of the main jar or, without a main jar, of the
// first jar of `class_path` (its entries split by `list_separator`).
SplashImage ChooseSplashImage(const std::wstring& splash_option, const MainJar& main_jar,
                              const std::wstring& class_path, wchar_t list_separator);

// Shows `image` through the splash-screen library of the runtime whose JVM
// library is `jvm_library_path`. A runtime without that library, or an image
// that cannot be read, leaves the splash screen out with a trace line, as
// java leaves it out.
void ShowSplashScreen(const SplashImage& image, const std::wstring& jvm_library_path);

}  // namespace korvan
