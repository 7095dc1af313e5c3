// The runtime's folders, the VM's native library path and the new executable
// search path, with the environment handed in as a table.
#include "options/environment_paths.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>

#include "platform/shared/percent_references.h"

namespace korvan {
namespace {

const platform::SearchPathRules kWindows{L"Path", L';'};
const platform::SearchPathRules kLinux{L"PATH", L':'};

ExpandReferences ExpanderOf(std::map<std::wstring, std::wstring> variables) {
  return [variables](const std::wstring& text) {
    return platform::ExpandPercentReferences(
        text, [&](const std::wstring& name) -> std::optional<std::wstring> {
          const auto found = variables.find(name);
          if (found == variables.end()) return std::nullopt;
          return found->second;
        });
  };
}

struct FoldersCase {
  const wchar_t* library;
  bool windows;
  RuntimeFolders expected;
};

class RuntimeFoldersForTest : public testing::TestWithParam<FoldersCase> {};

TEST_P(RuntimeFoldersForTest, DerivesHomeBinAndLib) {
  const FoldersCase& c = GetParam();
  const RuntimeFolders folders = RuntimeFoldersFor(
      c.library, c.windows ? platform::WindowsRuntimeLayout() : platform::LinuxRuntimeLayout(L"amd64"));
  EXPECT_EQ(folders.home, c.expected.home);
  EXPECT_EQ(folders.bin, c.expected.bin);
  EXPECT_EQ(folders.lib, c.expected.lib);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RuntimeFoldersForTest,
    testing::Values(
        FoldersCase{L"C:\\jre\\bin\\server\\jvm.dll", true,
                    {L"C:\\jre", L"C:\\jre\\bin", L"C:\\jre\\lib"}},
        FoldersCase{L"D:\\bin\\jre\\bin\\jrockit\\jvm.dll", true,
                    {L"D:\\bin\\jre", L"D:\\bin\\jre\\bin", L"D:\\bin\\jre\\lib"}},
        FoldersCase{L"C:\\x\\y\\jvm.dll", true, {L"C:", L"C:\\x", L"C:\\lib"}},
        FoldersCase{L"jvm.dll", true, {L"jvm.dll", L"jvm.dll", L"jvm.dlllib"}},
        FoldersCase{L"/usr/lib/jvm/java-17/lib/server/libjvm.so", false,
                    {L"/usr/lib/jvm/java-17", L"/usr/lib/jvm/java-17/bin",
                     L"/usr/lib/jvm/java-17/lib"}},
        FoldersCase{L"/usr/lib/jvm/java-8/jre/lib/amd64/server/libjvm.so", false,
                    {L"/usr/lib/jvm/java-8/jre", L"/usr/lib/jvm/java-8/jre/bin",
                     L"/usr/lib/jvm/java-8/jre/lib"}},
        FoldersCase{L"/opt/lib/x/libjvm.so", false,  // not a runtime layout: cut three times
                    {L"/opt", L"/opt/lib", L"/opt/lib"}}));

struct LibraryPathCase {
  const wchar_t* library_path;
  std::map<std::wstring, std::wstring> environment;
  const wchar_t* expected;
};

class NativeLibraryPathTest : public testing::TestWithParam<LibraryPathCase> {};

TEST_P(NativeLibraryPathTest, JoinsPiecesWithOneSeparator) {
  const LibraryPathCase& c = GetParam();
  EXPECT_EQ(NativeLibraryPath(c.library_path, L"C:\\App\\", L"C:\\jre\\lib", kWindows,
                              ExpanderOf(c.environment)),
            c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NativeLibraryPathTest,
    testing::Values(
        LibraryPathCase{L"lib;", {{L"Path", L"C:\\Windows;"}},
                        L"lib;C:\\App\\;C:\\Windows;C:\\jre\\lib;."},
        LibraryPathCase{L"lib;", {{L"Path", L"C:\\Windows"}},  // no final separator
                        L"lib;C:\\App\\;C:\\Windows;C:\\jre\\lib;."},
        LibraryPathCase{L"lib", {{L"Path", L"C:\\Windows;"}},  // no final separator
                        L"lib;C:\\App\\;C:\\Windows;C:\\jre\\lib;."},
        LibraryPathCase{L"%APPDATA%\\x", {{L"APPDATA", L"C:\\Users\\u"}, {L"Path", L"C:\\W"}},
                        L"C:\\Users\\u\\x;C:\\App\\;C:\\W;C:\\jre\\lib;."},
        LibraryPathCase{L"%LIBS%", {{L"LIBS", L"a;b;"}, {L"Path", L"C:\\W"}},
                        L"a;b;C:\\App\\;C:\\W;C:\\jre\\lib;."},
        LibraryPathCase{L"lib;", {{L"Path", L""}}, L"lib;C:\\App\\;C:\\jre\\lib;."},
        LibraryPathCase{L"lib;", {}, L"lib;C:\\App\\;%Path%;C:\\jre\\lib;."}));

TEST(NativeLibraryPathTest, UsesTheSystemsListSeparatorAndVariable) {
  EXPECT_EQ(NativeLibraryPath(L"native", L"/opt/app/", L"/jre/lib", kLinux,
                              ExpanderOf({{L"PATH", L"/usr/bin:/bin"}, {L"Path", L"wrong"}})),
            L"native:/opt/app/:/usr/bin:/bin:/jre/lib:.");
}

struct LoaderPathCase {
  const char* name;
  const wchar_t* library_path;
  const wchar_t* launcher_folder;
  const wchar_t* current;
  std::map<std::wstring, std::wstring> environment;
  const wchar_t* expected;
};

class LoaderLibraryPathTest : public testing::TestWithParam<LoaderPathCase> {};

// Never ".", never PATH, never an empty entry (which the VM would read as the
// current folder): the VM adds its own default folders after the variable.
TEST_P(LoaderLibraryPathTest, PutsLibraryPathAndLauncherFolderBeforeTheInheritedValue) {
  const LoaderPathCase& c = GetParam();
  EXPECT_EQ(LoaderLibraryPath(c.library_path, c.launcher_folder, c.current, L':', L'/',
                              ExpanderOf(c.environment)),
            c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LoaderLibraryPathTest,
    testing::Values(
        LoaderPathCase{"NothingInherited", L"native", L"/opt/app/", L"", {{L"PATH", L"/bin"}},
                       L"native:/opt/app"},
        LoaderPathCase{"InheritedValueLast", L"native", L"/opt/app/", L"/usr/local/lib", {},
                       L"native:/opt/app:/usr/local/lib"},
        LoaderPathCase{"OwnSeparatorKept", L"a:b:", L"/opt/app/", L"", {}, L"a:b:/opt/app"},
        LoaderPathCase{"ReferencesExpanded", L"%KORVAN_APP_HOME%/lib", L"/opt/app/", L"",
                       {{L"KORVAN_APP_HOME", L"/opt/app"}}, L"/opt/app/lib:/opt/app"},
        LoaderPathCase{"LauncherInTheRoot", L"lib", L"/", L"", {}, L"lib:/"}),
    [](const testing::TestParamInfo<LoaderPathCase>& info) { return info.param.name; });

struct SearchPathCase {
  const wchar_t* system_path;
  std::map<std::wstring, std::wstring> environment;
  const wchar_t* expected;
};

class ExtendedSearchPathTest : public testing::TestWithParam<SearchPathCase> {};

TEST_P(ExtendedSearchPathTest, PutsSystemPathFirstAndRuntimeLast) {
  const SearchPathCase& c = GetParam();
  EXPECT_EQ(
      ExtendedSearchPath(c.system_path, L"C:\\jre\\bin", kWindows, ExpanderOf(c.environment)),
      c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExtendedSearchPathTest,
    testing::Values(
        SearchPathCase{L"", {{L"Path", L"C:\\Windows"}}, L"C:\\Windows;C:\\jre\\bin"},
        SearchPathCase{L"C:\\tools", {{L"Path", L"C:\\Windows"}},
                       L"C:\\tools;C:\\Windows;C:\\jre\\bin"},
        SearchPathCase{L"C:\\tools;", {{L"Path", L"C:\\Windows"}},
                       L"C:\\tools;C:\\Windows;C:\\jre\\bin"},
        SearchPathCase{L"%APPDATA%\\x", {{L"APPDATA", L"C:\\U"}, {L"Path", L"C:\\W"}},
                       L"C:\\U\\x;C:\\W;C:\\jre\\bin"},
        SearchPathCase{L"C:\\a;C:\\b", {{L"Path", L"C:\\W;"}},
                       L"C:\\a;C:\\b;C:\\W;C:\\jre\\bin"},
        SearchPathCase{L"", {}, L"C:\\jre\\bin"},
        SearchPathCase{L"", {{L"Path", L""}}, L"C:\\jre\\bin"},
        SearchPathCase{L";%NOPE%\\x;C:\\t;", {{L"Path", L";C:\\W;;C:\\100%%;"}},
                       L"C:\\t;C:\\W;C:\\100%%;C:\\jre\\bin"}));

TEST(ExtendedSearchPathTest, UsesTheSystemsListSeparatorAndVariable) {
  EXPECT_EQ(ExtendedSearchPath(L"/opt/tools", L"/jre/bin", kLinux,
                               ExpanderOf({{L"PATH", L"/usr/bin"}})),
            L"/opt/tools:/usr/bin:/jre/bin");
}

}  // namespace
}  // namespace korvan
