#pragma once
// The subsystem field of a Windows executable's PE header.

#include <filesystem>

#include "support/text_checks.h"

namespace korvan::e2e {

// 2 windowed (GUI), 3 console; -1 when the file is no PE image.
inline int PeSubsystem(const std::filesystem::path& executable) {
  const std::string bytes = ReadText(executable);
  const auto byte = [&](std::size_t at) { return at < bytes.size() ? static_cast<unsigned char>(bytes[at]) : 0u; };
  const std::size_t pe = byte(0x3C) | byte(0x3D) << 8;  // "PE\0\0", a 20-byte header, Subsystem at 68
  if (bytes.compare(0, 2, "MZ") != 0 || bytes.compare(pe, 4, std::string("PE\0\0", 4)) != 0) return -1;
  return static_cast<int>(byte(pe + 92) | byte(pe + 93) << 8);
}

}  // namespace korvan::e2e
