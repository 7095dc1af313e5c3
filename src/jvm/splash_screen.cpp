#include "jvm/splash_screen.h"

#include <jni.h>

#include <cstddef>
#include <optional>
#include <utility>
#include <vector>

#include "messages/trace.h"
#include "options/environment_paths.h"
#include "options/jar_manifest.h"
#include "options/zip_entry.h"
#include "platform/library.h"
#include "platform/runtime_layout.h"
#include "platform/shared/utf_text.h"
#include "platform/text.h"

namespace korvan {

namespace {

// The library's C functions, as java's own launcher calls them. Names are in
// the system's narrow encoding, as the library reads them from the files.
struct SplashFunctions {
  int (*init)() = nullptr;
  int (*load_file)(const char* file) = nullptr;
  int (*load_memory)(void* data, int size) = nullptr;
  void (*set_file_jar_name)(const char* file, const char* jar) = nullptr;
  void (*set_scale_factor)(float factor) = nullptr;
  // The name of the image for the screen's scale (app@2x.png for app.png),
  // when the screen is scaled and, for a file of its own, that image exists.
  jboolean (*get_scaled_image_name)(const char* file, const char* jar, float* factor,
                                    char* scaled, std::size_t scaled_size) = nullptr;
  int (*get_scaled_name_size)(const char* file) = nullptr;
};

template <typename Function>
bool Resolve(platform::LibraryHandle library, const char* name, Function& function) {
  std::uint32_t error_code = 0;
  function = reinterpret_cast<Function>(platform::FindLibrarySymbol(library, name, error_code));
  return function != nullptr;
}

// Loaded once and never unloaded: the VM takes the same library, and the
// splash lives in it.
std::optional<SplashFunctions> LoadSplashFunctions(const std::wstring& jvm_library_path) {
  const platform::RuntimeLayout& layout = platform::GetRuntimeLayout();
  const RuntimeFolders runtime = RuntimeFoldersFor(jvm_library_path, layout);
  const std::wstring path = runtime.home + layout.separator + layout.splash_library;
  platform::LibraryLoadError error;
  const platform::LibraryHandle library = platform::OpenLibrary(path, runtime.bin, error);
  if (library == nullptr) {
    Trace(L"splash screen left out: cannot load " + path + L" (" + std::to_wstring(error.code) +
          L") " + error.detail);
    return std::nullopt;
  }
  SplashFunctions functions;
  if (!Resolve(library, "SplashInit", functions.init) ||
      !Resolve(library, "SplashLoadFile", functions.load_file) ||
      !Resolve(library, "SplashLoadMemory", functions.load_memory) ||
      !Resolve(library, "SplashSetFileJarName", functions.set_file_jar_name) ||
      !Resolve(library, "SplashSetScaleFactor", functions.set_scale_factor) ||
      !Resolve(library, "SplashGetScaledImageName", functions.get_scaled_image_name) ||
      !Resolve(library, "SplashGetScaledImgNameMaxPstfixLen", functions.get_scaled_name_size)) {
    Trace(L"splash screen left out: " + path + L" lacks the splash functions");
    return std::nullopt;
  }
  return functions;
}

std::optional<std::string> ReadJarEntry(const std::wstring& jar, const std::string& name) {
  const std::optional<ZipFileAccess> file = OpenJarFile(jar);
  if (!file) return std::nullopt;
  ZipEntry entry = ReadZipEntry(*file, name);
  if (entry.status != ZipEntryStatus::Found) return std::nullopt;
  return std::move(entry.bytes);
}

std::wstring FirstEntry(const std::wstring& class_path, wchar_t list_separator) {
  return class_path.substr(0, class_path.find(list_separator));
}

// Reads the image out of the jar (the one for the screen's scale first) and
// hands it over whole, as java does.
bool LoadFromJar(const SplashFunctions& splash, const SplashImage& image, bool scaled,
                 const std::string& scaled_name, float factor) {
  std::optional<std::string> data;
  if (scaled) data = ReadJarEntry(image.jar, platform::Utf8FromWide(platform::WideFromNarrow(scaled_name)));
  if (!data) {
    factor = 1;
    data = ReadJarEntry(image.jar, platform::Utf8FromWide(image.file));
  }
  if (!data) {
    Trace(L"splash screen left out: no entry " + image.file + L" in " + image.jar);
    return false;
  }
  splash.init();
  splash.set_scale_factor(factor);
  return splash.load_memory(data->data(), static_cast<int>(data->size())) != 0;
}

// The image for the screen's scale and that scale, as the library names it;
// empty when the plain image is the one to show.
std::string ScaledImageName(const SplashFunctions& splash, const std::string& file,
                            const char* jar, float& factor) {
  const int size = splash.get_scaled_name_size(file.c_str());
  if (size <= 0) return std::string();
  std::vector<char> name(static_cast<std::size_t>(size) + 1, '\0');
  if (splash.get_scaled_image_name(file.c_str(), jar, &factor, name.data(), name.size() - 1) == 0) {
    return std::string();
  }
  return name.data();
}

}  // namespace

SplashImage ChooseSplashImage(const std::wstring& splash_option, const MainJar& main_jar,
                              const std::wstring& class_path, wchar_t list_separator) {
  if (!splash_option.empty()) return {splash_option, std::wstring()};
  if (!main_jar.launch.jar_path.empty()) return {main_jar.splash_image, main_jar.launch.jar_path};
  // A first entry that is no readable jar names no image.
  const std::wstring jar = FirstEntry(class_path, list_separator);
  const std::optional<std::string> manifest =
      jar.empty() ? std::nullopt : ReadJarEntry(jar, "META-INF/MANIFEST.MF");
  if (!manifest) return {};
  const std::optional<std::wstring> file =
      ManifestAttributes::Parse(*manifest).Get(L"SplashScreen-Image");
  return file ? SplashImage{*file, jar} : SplashImage{};
}

void ShowSplashScreen(const SplashImage& image, const std::wstring& jvm_library_path) {
  if (image.file.empty()) return;
  Trace(L"splash screen: " + image.file + (image.jar.empty() ? L"" : L" in " + image.jar));
  const std::optional<SplashFunctions> splash = LoadSplashFunctions(jvm_library_path);
  if (!splash) return;

  const std::string file = platform::NarrowFromWide(image.file);
  const std::string jar = platform::NarrowFromWide(image.jar);
  const char* jar_name = image.jar.empty() ? nullptr : jar.c_str();
  float factor = 1;
  const std::string scaled_name = ScaledImageName(*splash, file, jar_name, factor);
  const bool scaled = !scaled_name.empty();

  bool shown = false;
  if (jar_name != nullptr) {
    shown = LoadFromJar(*splash, image, scaled, scaled_name, factor);
  } else {
    splash->init();
    if (scaled) splash->set_scale_factor(factor);
    shown = splash->load_file(scaled ? scaled_name.c_str() : file.c_str()) != 0;
  }
  if (!shown) Trace(L"splash screen left out: cannot show " + image.file);
  // java.awt.SplashScreen reports the image by these names.
  splash->set_file_jar_name(file.c_str(), jar_name);
}

}  // namespace korvan
