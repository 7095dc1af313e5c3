#include "platform/paths.h"

namespace korvan::platform {

SearchPathRules GetSearchPathRules() { return SearchPathRules{L"Path", L';'}; }

PathRules GetPathRules() { return PathRules{L'\\', false, false}; }

}  // namespace korvan::platform
