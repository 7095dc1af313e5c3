#include "jvm/vm_library.h"

#include "messages/trace.h"
#include "options/environment_paths.h"
#include "platform/library.h"
#include "platform/runtime_layout.h"

namespace korvan {

Expected<InvocationFunctions> LoadVmLibrary(const std::wstring& path) {
  Trace(L"loading " + path);
  platform::LibraryLoadError error;
  // Its imports come from the runtime alone (and the system). Never unloaded:
  // the VM lives until the process ends.
  const std::wstring runtime_bin = RuntimeFoldersFor(path, platform::GetRuntimeLayout()).bin;
  platform::LibraryHandle library = platform::OpenLibrary(path, runtime_bin, error);
  if (library == nullptr) {
    Failure failure =
        MessageFailure(MessageId::VmLibraryLoadFailed, {path, static_cast<std::int32_t>(error.code)});
    // Where the system explains the failure in words of its own (dlerror),
    // they follow the error line, which keeps its one form.
    failure.detail = error.detail;
    return failure;
  }

  std::uint32_t error_code = 0;
  void* create = platform::FindLibrarySymbol(library, "JNI_CreateJavaVM", error_code);
  void* get_defaults =
      create != nullptr
          ? platform::FindLibrarySymbol(library, "JNI_GetDefaultJavaVMInitArgs", error_code)
          : nullptr;
  if (create == nullptr || get_defaults == nullptr) {
    return SystemFailure(MessageId::CreateJavaVmMissing, error_code);
  }
  InvocationFunctions functions;
  functions.create_java_vm = reinterpret_cast<CreateJavaVmFunction>(create);
  functions.get_default_java_vm_init_args =
      reinterpret_cast<GetDefaultJavaVmInitArgsFunction>(get_defaults);
  return functions;
}

}  // namespace korvan
