#pragma once
// Java version records: any version text reduced to four numbers, compared,
// checked against the settings' limits and matched against preferred versions.

#include <cstdint>
#include <string>
#include <vector>

namespace korvan {

struct JavaVersion {
  std::int32_t components[4] = {0, 0, 0, 0};  // major first
  std::int32_t group_count = 0;  // numeric groups the text gave: 0 to 4, or 5 for more
};

}  // namespace korvan
