// The settings paths: the settings file sits beside the launcher and ends in
// "ini"; the per-user folder name holds none of the characters Windows
// refuses in a file name.
#include "fuzz_support.h"
#include "settings/settings_paths.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvan;
  const std::wstring path = fuzz::WideFromAscii(data, size);
  for (const platform::PathRules rules : {platform::PathRules{L'\\', false, false}, platform::PathRules{L'/', true, true}}) {
    const std::optional<std::wstring> file = SettingsFilePathFor(path, rules);
    if (!file) continue;
    KORVAN_FUZZ_CHECK(file->size() >= 3 && file->compare(file->size() - 3, 3, L"ini") == 0);
    const std::size_t dot = file->size() - 4;
    KORVAN_FUZZ_CHECK((*file)[dot] == L'.');
    // Everything up to the "." comes from the launcher path unchanged.
    KORVAN_FUZZ_CHECK(path.compare(0, dot, *file, 0, dot) == 0);
    // The folder stays the launcher's: no separator after the cut.
    const std::size_t separator = path.rfind(rules.separator);
    if (rules.extensionless_executables && separator != std::wstring::npos) {
      KORVAN_FUZZ_CHECK(dot > separator);
    }
  }
  const std::wstring folder = ProductFolderName(path);
  KORVAN_FUZZ_CHECK(folder.find_first_of(L"\\?\"|><:/*") == std::wstring::npos);
  KORVAN_FUZZ_CHECK(folder.size() <= path.size());
  return 0;
}
