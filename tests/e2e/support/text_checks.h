#pragma once
// Small text helpers that the end-to-end tests share.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace korvan::e2e {

// The whole file as bytes; "" when it cannot be read.
inline std::string ReadText(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

inline bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

}  // namespace korvan::e2e
