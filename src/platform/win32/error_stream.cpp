#include "platform/error_stream.h"

namespace korvan::platform {

std::FILE* ErrorLineStream() { return stdout; }

}  // namespace korvan::platform
