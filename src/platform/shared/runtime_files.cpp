#include "platform/runtime_files.h"

#include "platform/shared/binary_machine.h"
#include "platform/shared/release_file.h"
#include "platform/text.h"

namespace korvan::platform {

namespace {

std::string Trimmed(const std::string& text) {
  const char* blanks = " \t\r";
  const std::size_t first = text.find_first_not_of(blanks);
  if (first == std::string::npos) return std::string();
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

}  // namespace

std::wstring ReleaseFileVersion(const std::string& text) {
  static const std::string kKey = "JAVA_VERSION=";
  std::size_t line_start = 0;
  while (line_start < text.size()) {
    std::size_t line_end = text.find('\n', line_start);
    if (line_end == std::string::npos) line_end = text.size();
    const std::string line = text.substr(line_start, line_end - line_start);
    line_start = line_end + 1;
    if (line.compare(0, kKey.size(), kKey) != 0) continue;
    std::string value = Trimmed(line.substr(kKey.size()));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
      value = value.substr(1, value.size() - 2);
    }
    return WideFromNarrow(value);
  }
  return std::wstring();
}

std::wstring ReadReleaseVersion(const std::wstring& runtime_folder) {
  return ReleaseFileVersion(ReadFileHead(runtime_folder + L"release", kReleaseFileLimit).value_or(""));
}

std::optional<std::wstring> ForeignLibraryMachine(const std::wstring& path) {
  const std::optional<std::string> head = ReadFileHead(path, kBinaryHeadSize);
  if (!head) return std::nullopt;
  const BinaryMachine machine = MachineOfBinary(*head);
  if (machine.format == BinaryFormat::Unknown) return std::nullopt;  // the loader will say more
  const BinaryMachine own = ProcessMachine();
  if (machine.format == own.format && machine.code == own.code) return std::nullopt;
  return MachineName(machine);
}

}  // namespace korvan::platform
