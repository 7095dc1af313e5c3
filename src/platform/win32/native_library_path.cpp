#include "platform/native_library_path.h"

namespace korvan::platform {

NativeLibraryPathRules GetNativeLibraryPathRules() { return NativeLibraryPathRules{nullptr}; }

}  // namespace korvan::platform
