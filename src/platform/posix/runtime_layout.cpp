#include "platform/runtime_layout.h"

namespace korvan::platform {

const RuntimeLayout& GetRuntimeLayout() { return LinuxRuntimeLayout(); }

}  // namespace korvan::platform
