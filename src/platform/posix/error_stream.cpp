#include "platform/error_stream.h"

namespace korvan::platform {

std::FILE* ErrorLineStream() { return stderr; }

}  // namespace korvan::platform
