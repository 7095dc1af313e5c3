// The java command's argument file: any arguments written into one are read
// back as exactly those arguments, so no byte of an argument (a line end, a
// quote, a backslash, a "#") can end it early or add one of its own. NUL,
// which no argument holds, separates the input's arguments.
#include "fuzz_support.h"
#include "options/argument_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvan;
  std::vector<std::string> arguments(1);
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      arguments.emplace_back();
    } else {
      arguments.back() += static_cast<char>(data[i]);
    }
  }
  // java reads the file's bytes as they are: one character a byte here.
  const auto wide = [](const std::string& bytes) {
    return fuzz::WideFromAscii(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  };
  const std::vector<std::wstring> read = ParseArgumentFile(wide(JavaArgumentFileText(arguments)));
  KORVAN_FUZZ_CHECK(read.size() == arguments.size());
  for (std::size_t i = 0; i < read.size(); ++i) KORVAN_FUZZ_CHECK(read[i] == wide(arguments[i]));
  return 0;
}
