#include "jvm/vm_library.h"

#include <cstdio>

#include "launcher/launcher.h"
#include "messages/messages.h"
#include "messages/trace.h"
#include "platform/library.h"
#include "platform/text.h"

namespace korvan {

namespace {

// Where the system explains a failed load in words of its own (dlerror), the
// explanation follows the error line on standard error, so that the error
// line keeps its one form.
void WriteLoadFailureDetail(const std::wstring& detail) {
  if (detail.empty()) return;
  const std::string line = "korvan: " + platform::NarrowFromWide(detail) + "\n";
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
}

}  // namespace

bool LoadVmLibrary(Launcher& launcher) {
  Trace(L"loading " + launcher.jvm_library_path);
  platform::LibraryLoadError error;
  // Never unloaded: the VM lives until the process ends.
  platform::LibraryHandle library = platform::OpenLibrary(launcher.jvm_library_path, error);
  if (library == nullptr) {
    ReportError(MessageId::VmLibraryLoadFailed,
                {launcher.jvm_library_path, static_cast<std::int32_t>(error.code)});
    WriteLoadFailureDetail(error.detail);
    return false;
  }

  std::uint32_t error_code = 0;
  void* create = platform::FindLibrarySymbol(library, "JNI_CreateJavaVM", error_code);
  void* get_defaults =
      create != nullptr
          ? platform::FindLibrarySymbol(library, "JNI_GetDefaultJavaVMInitArgs", error_code)
          : nullptr;
  if (create == nullptr || get_defaults == nullptr) {
    ReportSystemError(MessageId::CreateJavaVmMissing, error_code);
    return false;
  }
  launcher.create_java_vm = reinterpret_cast<CreateJavaVmFunction>(create);
  launcher.get_default_java_vm_init_args =
      reinterpret_cast<GetDefaultJavaVmInitArgsFunction>(get_defaults);
  return true;
}

}  // namespace korvan
