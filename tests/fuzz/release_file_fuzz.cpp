// A runtime's "release" file: the version is read from its JAVA_VERSION
// line, whatever else the file holds, and never spans a line.
#include "fuzz_support.h"
#include "platform/posix/runtime_folders.h"
#include "platform/text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvan;
  using namespace korvan::platform;
  const auto [text, version_bytes] = fuzz::SplitInput(data, size);
  const std::wstring found = platform::ReleaseFileVersion(text);
  KORVAN_FUZZ_CHECK(found.find(L'\n') == std::wstring::npos);
  if (text.find("JAVA_VERSION=") == std::string::npos) KORVAN_FUZZ_CHECK(found.empty());

  // A version of digits, dots and letters, quoted as the JDK writes it, is
  // read back whatever lines come before and after.
  std::string version;
  for (char c : version_bytes) {
    if ((c >= '0' && c <= '9') || c == '.' || c == '_' || (c >= 'a' && c <= 'z')) version += c;
  }
  if (version.empty()) return 0;
  std::string before = text.substr(0, text.size() / 2);
  while (before.find("JAVA_VERSION=") != std::string::npos) before.erase(before.find("JAVA_VERSION="), 1);
  const std::string release = before + "\nJAVA_VERSION=\"" + version + "\"\n" + text;
  KORVAN_FUZZ_CHECK(platform::ReleaseFileVersion(release) == platform::WideFromNarrow(version));
  return 0;
}
