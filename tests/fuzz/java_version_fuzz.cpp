// Version texts: a version formatted and read again is the same version;
// comparison is a total order; limits agree with it.
#include "fuzz_support.h"
#include "runtime/java_version.h"

namespace {

bool Formattable(const korvan::JavaVersion& version) {
  for (std::int32_t component : version.components) {
    if (component < 0 || component >= korvan::kVersionFillHigh) return false;
  }
  return true;
}

int Sign(int value) { return (value > 0) - (value < 0); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvan;
  const std::wstring all = fuzz::WideFromAscii(data, size);
  const std::size_t third = all.size() / 3;
  const JavaVersion a = ParseVersion(all.substr(0, third), kVersionFillLow);
  const JavaVersion b = ParseVersion(all.substr(third, third), kVersionFillHigh);
  const JavaVersion c = ParseVersion(all.substr(2 * third), kVersionFillLow);

  for (const JavaVersion* version : {&a, &b, &c}) {
    KORVAN_FUZZ_CHECK(version->group_count >= 0 && version->group_count <= 5);
    KORVAN_FUZZ_CHECK(CompareVersions(*version, *version) == 0);
    if (Formattable(*version)) {
      const JavaVersion again = ParseVersion(FormatVersion(*version), kVersionFillLow);
      for (int i = 0; i < 4; ++i) KORVAN_FUZZ_CHECK(again.components[i] == version->components[i]);
    }
  }
  // Antisymmetric and transitive.
  KORVAN_FUZZ_CHECK(Sign(CompareVersions(a, b)) == -Sign(CompareVersions(b, a)));
  if (CompareVersions(a, b) <= 0 && CompareVersions(b, c) <= 0) KORVAN_FUZZ_CHECK(CompareVersions(a, c) <= 0);
  // A bounded range holds exactly what lies between its ends.
  if (!IsUnbounded(a) && !IsUnbounded(c)) {
    KORVAN_FUZZ_CHECK(WithinLimits(b, a, c) == (CompareVersions(a, b) <= 0 && CompareVersions(b, c) <= 0));
  }
  // The preferred list: items joined again by ";" give the text back (less a final ";").
  const std::vector<std::wstring> items = SplitPreferredList(all);
  std::wstring joined;
  for (std::size_t i = 0; i < items.size(); ++i) joined += (i == 0 ? L"" : L";") + items[i];
  std::wstring expected = all;
  if (!expected.empty() && expected.back() == L';') expected.pop_back();
  KORVAN_FUZZ_CHECK(joined == expected);
  (void)RequirementPhrase(a, c);
  return 0;
}
