#include "platform/native_library_path.h"

namespace korvan::platform {

NativeLibraryPathRules GetNativeLibraryPathRules() {
  return NativeLibraryPathRules{L"LD_LIBRARY_PATH"};
}

}  // namespace korvan::platform
