#pragma once
// An application run from its jar, as `java -jar` runs it: what the launcher
// takes from the jar's manifest before the VM exists.

#include <optional>
#include <string>

#include "messages/failure.h"
#include "options/zip_entry.h"

namespace korvan {

// The manifest attributes that java -jar applies once the VM runs and before
// the main class loads. Empty without a main jar.
struct JarLaunch {
  std::wstring jar_path;                            // as the settings name it, references expanded
  std::wstring add_exports;                         // "Add-Exports": module/package items
  std::wstring add_opens;                           // "Add-Opens": module/package items
  std::optional<std::wstring> enable_native_access; // "Enable-Native-Access", when present
  std::wstring launcher_agent_class;                // "Launcher-Agent-Class"
};

struct MainJar {
  std::wstring main_class;    // "Main-Class", trimmed, in the internal form; empty when absent
  std::wstring splash_image;  // "SplashScreen-Image", for the splash screen; empty when absent
  JarLaunch launch;
};

// The manifest's part of the jar at `path` (read through `file`). Message 241
// when the jar is no zip or its manifest cannot be read whole; a jar without
// a manifest gives an empty main class, as one whose manifest names none.
Expected<MainJar> MainJarFrom(const std::wstring& path, const ZipFileAccess& file);

// The same for the file at `path` on this system; message 240 when it cannot
// be read at all.
Expected<MainJar> ReadMainJar(const std::wstring& path);

// The jar at `path` on this system, for ReadZipEntry; nothing when it cannot
// be opened.
std::optional<ZipFileAccess> OpenJarFile(const std::wstring& path);

}  // namespace korvan
