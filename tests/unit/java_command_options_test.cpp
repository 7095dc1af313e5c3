// Options of the java command in "Virtual Machine Parameters": argument files,
// the two-token module options and the VM choice options.
#include "options/java_command_options.h"

#include <gtest/gtest.h>

#include <map>

#include "options/argument_file.h"
#include "options/java_launcher_options.h"
#include "options/vm_parameters.h"

namespace korvan {
namespace {

using Texts = std::vector<std::wstring>;

struct ArgumentFileCase {
  const char* name;
  std::wstring text;
  Texts expected;
};

class ParseArgumentFileTest : public testing::TestWithParam<ArgumentFileCase> {};

TEST_P(ParseArgumentFileTest, SplitsAsTheJavaCommandDoes) {
  EXPECT_EQ(ParseArgumentFile(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ParseArgumentFileTest,
    testing::Values(
        ArgumentFileCase{"Empty", L"", {}},
        ArgumentFileCase{"AllBlanks", L" \t\r\n\f ", {}},
        ArgumentFileCase{"LinesAndBlanks", L"--add-opens\r\njava.base/java.lang=ALL-UNNAMED\n-Xmx1g\t-Da=b",
                         {L"--add-opens", L"java.base/java.lang=ALL-UNNAMED", L"-Xmx1g", L"-Da=b"}},
        ArgumentFileCase{"Comments", L"# heap\n-Xmx1g # not an option\n  #x y\n-Da=#b",
                         {L"-Xmx1g", L"-Da=#b"}},
        ArgumentFileCase{"DoubleQuotesKeepBlanks", L"-Dp=\"a b\"  \"-Dq=c d\"",
                         {L"-Dp=a b", L"-Dq=c d"}},
        ArgumentFileCase{"SingleQuotesKeepDoubleOnes", L"'-Dp=say \"hi\"'", {L"-Dp=say \"hi\""}},
        ArgumentFileCase{"AdjacentStretchesJoin", L"c:\\Program\" \"Files", {L"c:\\Program Files"}},
        ArgumentFileCase{"BackslashOutsideQuotesIsText", L"c:\\dir\\x.jar", {L"c:\\dir\\x.jar"}},
        ArgumentFileCase{"EscapesInsideQuotes", L"\"c:\\\\Program Files\" \"a\\tb\\nc\\\"\"",
                         {L"c:\\Program Files", L"a\tb\nc\""}},
        ArgumentFileCase{"ContinuedLine", L"\"-Dlist=a,\\\n    b,\\\r\n\tc\"", {L"-Dlist=a,b,c"}},
        ArgumentFileCase{"EmptyQuotesAreAnArgument", L"a \"\" b", {L"a", L"", L"b"}},
        ArgumentFileCase{"OpenQuoteEndsAtTheLineEnd", L"\"-Da=b c\nnext", {L"-Da=b c", L"next"}}),
    [](const testing::TestParamInfo<ArgumentFileCase>& info) { return info.param.name; });

struct ExpandCase {
  const char* name;
  Texts tokens;
  Texts expected;
};

class ExpandArgumentFilesTest : public testing::TestWithParam<ExpandCase> {};

TEST_P(ExpandArgumentFilesTest, PutsTheFilesArgumentsInPlace) {
  const std::map<std::wstring, std::wstring> files{
      {L"opts", L"-Xmx1g\n--add-opens java.base/java.io=ALL-UNNAMED\n"},
      {L"nested", L"@opts -Dn=1"},
  };
  const ReadArgumentFile read = [&](const std::wstring& path) -> std::optional<std::wstring> {
    const auto found = files.find(path);
    if (found == files.end()) return std::nullopt;
    return found->second;
  };
  EXPECT_EQ(ExpandArgumentFiles(GetParam().tokens, read), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExpandArgumentFilesTest,
    testing::Values(
        ExpandCase{"FileInPlace", {L"-Da=1", L"@opts", L"-Db=2"},
                   {L"-Da=1", L"-Xmx1g", L"--add-opens", L"java.base/java.io=ALL-UNNAMED", L"-Db=2"}},
        ExpandCase{"FilesInsideFilesAreNotRead", {L"@nested"}, {L"@opts", L"-Dn=1"}},
        ExpandCase{"DoubledAtIsAnEscape", {L"@@opts"}, {L"@opts"}},
        ExpandCase{"UnreadableFileStaysForTheVmToRefuse", {L"@missing"}, {L"@missing"}},
        ExpandCase{"LoneAtStays", {L"@"}, {L"@"}},
        ExpandCase{"DisableStopsReading", {L"@opts", L"--disable-@files", L"@opts"},
                   {L"-Xmx1g", L"--add-opens", L"java.base/java.io=ALL-UNNAMED", L"@opts"}}),
    [](const testing::TestParamInfo<ExpandCase>& info) { return info.param.name; });

class TranslateJavaCommandOptionsTest : public testing::TestWithParam<ExpandCase> {};

TEST_P(TranslateJavaCommandOptionsTest, GivesTheVmItsOwnForm) {
  EXPECT_EQ(TranslateJavaCommandOptions(GetParam().tokens), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TranslateJavaCommandOptionsTest,
    testing::Values(
        ExpandCase{"AddOpens", {L"--add-opens", L"java.base/java.lang=ALL-UNNAMED"},
                   {L"--add-opens=java.base/java.lang=ALL-UNNAMED"}},
        ExpandCase{"EveryModuleOption",
                   {L"--add-exports", L"a", L"--add-reads", L"b", L"--add-modules", L"c",
                    L"--module-path", L"d", L"--upgrade-module-path", L"e", L"--patch-module",
                    L"f", L"--limit-modules", L"g", L"--enable-native-access", L"h"},
                   {L"--add-exports=a", L"--add-reads=b", L"--add-modules=c", L"--module-path=d",
                    L"--upgrade-module-path=e", L"--patch-module=f", L"--limit-modules=g",
                    L"--enable-native-access=h"}},
        ExpandCase{"ShortModulePath", {L"-p", L"mods"}, {L"--module-path=mods"}},
        ExpandCase{"OneTokenFormStays", {L"--add-opens=x=y", L"-Da"}, {L"--add-opens=x=y", L"-Da"}},
        ExpandCase{"OptionWithoutValueStays", {L"-Da", L"--add-modules"}, {L"-Da", L"--add-modules"}},
        ExpandCase{"ValueIsTakenWhateverItLooksLike", {L"--add-modules", L"-server"},
                   {L"--add-modules=-server"}},
        ExpandCase{"VmChoiceIsLeftOut", {L"-server", L"-Xmx1g", L"-client"}, {L"-Xmx1g"}},
        ExpandCase{"LookalikesStay", {L"-servers", L"--add-opensx", L"y", L"-P", L"z"},
                   {L"-servers", L"--add-opensx", L"y", L"-P", L"z"}}),
    [](const testing::TestParamInfo<ExpandCase>& info) { return info.param.name; });

struct LauncherOptionCase {
  const char* name;
  Texts tokens;
  Texts options;                // what is left for the VM
  VersionDisplay version;
  bool version_only;
  std::wstring show_settings;
  std::wstring refusal;         // the error message; empty when none
};

class TakeJavaLauncherOptionsTest : public testing::TestWithParam<LauncherOptionCase> {};

TEST_P(TakeJavaLauncherOptionsTest, NoneReachesTheVm) {
  const LauncherOptionCase& c = GetParam();
  const JavaLauncherOptionScan scan = TakeJavaLauncherOptions(c.tokens);
  EXPECT_EQ(scan.options, c.options);
  EXPECT_EQ(scan.requests.version, c.version);
  EXPECT_EQ(scan.requests.version_only, c.version_only);
  EXPECT_EQ(scan.requests.show_settings, c.show_settings);
  EXPECT_EQ(scan.refusal ? scan.refusal->text : L"", c.refusal);
}

const std::wstring kUseClassPath =
    L" is an option of the java command: use the Class Path setting instead of Virtual Machine "
    L"Parameters.";

INSTANTIATE_TEST_SUITE_P(
    Cases, TakeJavaLauncherOptionsTest,
    testing::Values(
        LauncherOptionCase{"OthersStay", {L"-Da", L"-versions"}, {L"-Da", L"-versions"},
                           VersionDisplay::None, false, L"", L""},
        LauncherOptionCase{"ShowVersionGoesOn", {L"-showversion", L"-Da"}, {L"-Da"},
                           VersionDisplay::StandardError, false, L"", L""},
        LauncherOptionCase{"LongFormsPrintOnStandardOutput", {L"--show-version"}, {},
                           VersionDisplay::StandardOutput, false, L"", L""},
        LauncherOptionCase{"VersionEndsTheRun", {L"-version", L"-showversion"}, {},
                           VersionDisplay::StandardError, true, L"", L""},
        LauncherOptionCase{"LongVersion", {L"--version"}, {}, VersionDisplay::StandardOutput, true,
                           L"", L""},
        LauncherOptionCase{"Settings", {L"-XshowSettings:vm", L"-splash:a.png"}, {},
                           VersionDisplay::None, false, L"-XshowSettings:vm", L""},
        LauncherOptionCase{"ClassPathOption", {L"-cp", L"x.jar"}, {}, VersionDisplay::None, false,
                           L"", L"-cp" + kUseClassPath},
        LauncherOptionCase{"ClassPathOneToken", {L"--class-path=x.jar"}, {}, VersionDisplay::None,
                           false, L"", L"--class-path=x.jar" + kUseClassPath},
        LauncherOptionCase{"ModuleOption", {L"-Da", L"-m", L"mod"}, {L"-Da"}, VersionDisplay::None,
                           false, L"",
                           L"-m is an option of the java command: use the Main Module setting "
                           L"instead of Virtual Machine Parameters."}),
    [](const testing::TestParamInfo<LauncherOptionCase>& info) { return info.param.name; });

TEST(ProcessVmParametersTest, ArgumentFileOptionsAreProcessedLikeTheSettingsOwn) {
  const ReadArgumentFile read = [](const std::wstring& path) -> std::optional<std::wstring> {
    if (path != L"app.args") return std::nullopt;
    return std::wstring(L"-Xss2m\n-Xmx50P --add-opens \"java.base/java.lang=ALL-UNNAMED\"");
  };
  platform::MemoryFigures machine;
  machine.total_physical_bytes = std::uint64_t{4} << 30;
  const ProcessedVmParameters processed =
      ProcessVmParameters(L"-server \"@app.args\" -Da=1", machine, 0, read);
  EXPECT_EQ(processed.options, (Texts{L"-Xss2m", L"-Xmx2097152K",
                                      L"--add-opens=java.base/java.lang=ALL-UNNAMED", L"-Da=1"}));
  EXPECT_EQ(processed.stack_size, 2u * 1024 * 1024);
}

}  // namespace
}  // namespace korvan
