// Class path wildcards, with folder listings handed in as a table.
#include "options/class_path_wildcards.h"

#include <gtest/gtest.h>

#include <map>

namespace korvan {
namespace {

const ClassPathRules kWindows{L';', L"\\/"};
const ClassPathRules kLinux{L':', L"/"};

using Listing = std::vector<platform::FolderEntry>;

std::optional<Listing> ListFromTable(const std::wstring& folder) {
  static const std::map<std::wstring, Listing> kFolders{
      {L"lib/", {{L"b.jar"}, {L"a.JAR"}, {L"notes.txt"}, {L"sub.jar", true}, {L"c.Jar"}, {L".jar"}}},
      {L"lib\\", {{L"x.jar"}}},
      {L".", {{L"app.jar"}}},
      {L"/opt/app/lib/", {{L"one.jar"}, {L"two.jar"}}},
      {L"empty/", {{L"readme"}}},
  };
  const auto found = kFolders.find(folder);
  if (found == kFolders.end()) return std::nullopt;
  return found->second;
}

struct WildcardCase {
  const char* name;
  const ClassPathRules* rules;
  std::wstring class_path;
  std::wstring expected;
  bool has_wildcard;
};

class ClassPathWildcardsTest : public testing::TestWithParam<WildcardCase> {};

TEST_P(ClassPathWildcardsTest, ExpandsFolderEntriesOnly) {
  const WildcardCase& c = GetParam();
  EXPECT_EQ(ExpandClassPathWildcards(c.class_path, *c.rules, ListFromTable), c.expected);
  EXPECT_EQ(HasWildcardEntry(c.class_path, *c.rules), c.has_wildcard);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ClassPathWildcardsTest,
    testing::Values(
        // Directory order kept; only .jar and .JAR files; folders and other names left out.
        WildcardCase{"JarsInListingOrder", &kLinux, L"lib/*", L"lib/b.jar:lib/a.JAR", true},
        WildcardCase{"OtherEntriesStay", &kLinux, L"app.jar:lib/*:classes",
                     L"app.jar:lib/b.jar:lib/a.JAR:classes", true},
        WildcardCase{"AbsoluteFolder", &kLinux, L"/opt/app/lib/*",
                     L"/opt/app/lib/one.jar:/opt/app/lib/two.jar", true},
        WildcardCase{"StarAloneIsTheCurrentFolder", &kLinux, L"*", L"app.jar", true},
        WildcardCase{"MissingFolderIsLeftOut", &kLinux, L"a.jar:nowhere/*:b.jar", L"a.jar:b.jar",
                     true},
        WildcardCase{"FolderWithoutJarsIsLeftOut", &kLinux, L"empty/*", L"", true},
        WildcardCase{"StarInsideANameIsNoWildcard", &kLinux, L"lib/x*:lib/*.jar",
                     L"lib/x*:lib/*.jar", false},
        WildcardCase{"BackslashIsNoSeparatorOnLinux", &kLinux, L"lib\\*", L"lib\\*", false},
        WildcardCase{"WindowsTakesBothSeparators", &kWindows, L"lib\\*;lib/*",
                     L"lib\\x.jar;lib/b.jar;lib/a.JAR", true},
        WildcardCase{"EmptyEntriesStay", &kWindows, L"a.jar;;b.jar", L"a.jar;;b.jar", false}),
    [](const testing::TestParamInfo<WildcardCase>& info) { return info.param.name; });

}  // namespace
}  // namespace korvan
