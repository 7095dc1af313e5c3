#include "platform/runtime_layout.h"

namespace korvan::platform {

const RuntimeLayout& GetRuntimeLayout() { return WindowsRuntimeLayout(); }

}  // namespace korvan::platform
