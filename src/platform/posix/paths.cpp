#include "platform/paths.h"

namespace korvan::platform {

SearchPathRules GetSearchPathRules() { return SearchPathRules{L"PATH", L':'}; }

PathRules GetPathRules() { return PathRules{L'/', true, true}; }

}  // namespace korvan::platform
