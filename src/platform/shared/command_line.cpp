#include "platform/shared/command_line.h"

#include <cwctype>

namespace korvan::platform {

std::vector<std::wstring> SplitCommandLine(const std::wstring& line) {
  std::size_t begin = 0;
  std::size_t end = line.size();
  while (begin < end && std::iswspace(line[begin])) ++begin;
  while (end > begin && std::iswspace(line[end - 1])) --end;

  std::vector<std::wstring> tokens;
  std::size_t position = begin;
  while (position < end) {
    if (line[position] == L'"') {
      const std::size_t close = line.find(L'"', position + 1);
      if (close == std::wstring::npos || close >= end) {
        tokens.push_back(line.substr(position + 1, end - position - 1));
        break;
      }
      tokens.push_back(line.substr(position + 1, close - position - 1));
      position = close + 1;
    } else {
      std::size_t stop = line.find(L' ', position);
      if (stop == std::wstring::npos || stop > end) stop = end;
      tokens.push_back(line.substr(position, stop - position));
      position = stop;
    }
    while (position < end && line[position] == L' ') ++position;
  }
  return tokens;
}

}  // namespace korvan::platform
