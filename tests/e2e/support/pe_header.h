#pragma once
// A field of a Windows executable's PE header, read from its bytes.

#include <cstdint>
#include <filesystem>
#include <string>

#include "support/text_checks.h"

namespace korvan::e2e {

// The subsystem a Windows executable asks for: 2 windowed (GUI), 3 console;
// -1 when the file is no PE image.
inline int PeSubsystem(const std::filesystem::path& executable) {
  const std::string bytes = ReadText(executable);
  const auto u32 = [&](std::size_t at) {
    return at + 4 <= bytes.size() ? static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at])) |
                                        static_cast<unsigned char>(bytes[at + 1]) << 8 |
                                        static_cast<unsigned char>(bytes[at + 2]) << 16 |
                                        static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 3])) << 24
                                  : 0u;
  };
  const std::size_t pe = u32(0x3C);
  // "PE\0\0", the 20-byte file header, then the optional header's Subsystem at 68.
  if (bytes.compare(0, 2, "MZ") != 0 || bytes.compare(pe, 4, std::string("PE\0\0", 4)) != 0) return -1;
  return static_cast<int>(u32(pe + 24 + 68) & 0xFFFF);
}

}  // namespace korvan::e2e
