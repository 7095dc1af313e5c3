// The rules of the automatic class-data archive: which options rule it out
// or change its content, the runtime's version from its release file, the
// seal, and what one launch decides.
#include "archive/class_data_archive.h"

#include <gtest/gtest.h>

#include <string>

#include "options/argument_file.h"
#include "platform/shared/release_file.h"

namespace korvan {
namespace {

struct OptionCase {
  const char* option;
  bool names_archive;
  bool affects_archive;
};

class ArchiveOptionTest : public testing::TestWithParam<OptionCase> {};

TEST_P(ArchiveOptionTest, ClassifiesOption) {
  const OptionCase& c = GetParam();
  EXPECT_EQ(NamesArchiveOption(c.option), c.names_archive) << c.option;
  EXPECT_EQ(AffectsArchive(c.option), c.affects_archive) << c.option;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ArchiveOptionTest,
    testing::Values(OptionCase{"-Xshare:off", true, true},
                    OptionCase{"-Xshare:dump", true, true},
                    OptionCase{"-XX:SharedArchiveFile=/a.jsa", true, true},
                    OptionCase{"-XX:ArchiveClassesAtExit=/a.jsa", true, true},
                    OptionCase{"-XX:+AutoCreateSharedArchive", true, true},
                    OptionCase{"-XX:-AutoCreateSharedArchive", true, true},
                    OptionCase{"-XX:SharedClassListFile=list", true, true},
                    OptionCase{"-XX:DumpLoadedClassList=list", true, true},
                    OptionCase{"-XX:AOTCache=app.aot", true, true},
                    OptionCase{"-XX:AOTMode=record", true, true},
                    OptionCase{"-XX:+UseG1GC", false, true},
                    OptionCase{"-XX:MaxRAMPercentage=50", false, true},
                    OptionCase{"--add-opens=java.base/java.lang=ALL-UNNAMED", false, true},
                    OptionCase{"-Djava.system.class.loader=a.Loader", false, true},
                    OptionCase{"-Djava.class.path=a.jar", false, true},
                    OptionCase{"-Dsun.java.command=app.Main one two", false, false},
                    OptionCase{"-Dapp.mode=fast", false, false},
                    OptionCase{"-Xmx512m", false, false},
                    OptionCase{"-Xms64m", false, false},
                    OptionCase{"-Xss2m", false, false},
                    OptionCase{"-Xlog:gc", false, false},
                    OptionCase{"-verbose:class", false, false},
                    OptionCase{"-Xshar", false, true}));

struct ReleaseCase {
  const char* text;
  const wchar_t* version;
};

class ReleaseFileTest : public testing::TestWithParam<ReleaseCase> {};

TEST_P(ReleaseFileTest, ReadsJavaVersion) {
  EXPECT_EQ(platform::ReleaseFileVersion(GetParam().text), GetParam().version);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReleaseFileTest,
    testing::Values(
        ReleaseCase{"IMPLEMENTOR=\"Debian\"\nJAVA_RUNTIME_VERSION=\"17.0.15+6\"\n"
                    "JAVA_VERSION=\"17.0.15\"\n",
                    L"17.0.15"},
        ReleaseCase{"JAVA_VERSION=\"25\"\r\nOS_NAME=\"Windows\"\r\n", L"25"},
        ReleaseCase{"JAVA_VERSION=1.8.0_402", L"1.8.0_402"},
        ReleaseCase{"JAVA_RUNTIME_VERSION=\"17.0.15+6\"\n", L""},
        ReleaseCase{" JAVA_VERSION=\"17\"\n", L""},
        ReleaseCase{"", L""}));

TEST(ArchiveSealTest, MatchesOnlyTheSameSizeAndTime) {
  const std::string seal = SealText(114688, 1733650000123456789);
  EXPECT_TRUE(SealMatches(seal, 114688, 1733650000123456789));
  EXPECT_FALSE(SealMatches(seal, 5000, 1733650000123456789));   // cut short
  EXPECT_FALSE(SealMatches(seal, 114688, 1733650000123456790));  // replaced
  EXPECT_FALSE(SealMatches(seal.substr(0, 4), 114688, 1733650000123456789));
  EXPECT_FALSE(SealMatches(SealText(0, 5), 0, 5));  // an empty archive is never complete
}

TEST(ArchiveNameTest, DiffersWithEveryByteAndKeepsItsForm) {
  const std::wstring name = HashName("jvm=/usr/lib/jvm/17/lib/server/libjvm.so|1|2\n");
  EXPECT_EQ(name.size(), 16u);
  EXPECT_EQ(name.find_first_not_of(L"0123456789abcdef"), std::wstring::npos);
  EXPECT_EQ(HashName(""), L"cbf29ce484222325");  // the FNV-1a offset basis: a stable name
  EXPECT_NE(HashName("main=a/B\n"), HashName("main=a/C\n"));
}

TEST(ArchiveSilencingTest, AotTagsOnlyWhereTheVmKnowsThem) {
  EXPECT_EQ(SilencingOptions(ParseVersion(L"17.0.15", kVersionFillLow)),
            std::vector<std::string>{"-Xlog:cds*=off"});
  EXPECT_EQ(SilencingOptions(ParseVersion(L"25", kVersionFillLow)),
            (std::vector<std::string>{"-Xlog:cds*=off", "-Xlog:aot*=off"}));
}

struct DecisionCase {
  const char* name;
  ArchiveSituation situation;
  ArchiveAction action;
  const wchar_t* reason_start;
};

ArchiveSituation Ready(ArchiveState state, bool writer, const wchar_t* version = L"17.0.15") {
  ArchiveSituation situation;
  situation.version = ParseVersion(version, kVersionFillLow);
  situation.base_archive_present = true;
  situation.java_command_present = true;
  situation.cache_folder_ready = true;
  situation.writer = writer;
  situation.state = state;
  return situation;
}

ArchiveSituation With(ArchiveSituation situation, void (*change)(ArchiveSituation&)) {
  change(situation);
  return situation;
}

class ArchiveDecisionTest : public testing::TestWithParam<DecisionCase> {};

TEST_P(ArchiveDecisionTest, Decides) {
  const DecisionCase& c = GetParam();
  const ArchiveDecision decision = DecideArchive(c.situation);
  EXPECT_EQ(decision.action, c.action);
  EXPECT_EQ(decision.reason.rfind(c.reason_start, 0), 0u) << std::string(
      decision.reason.begin(), decision.reason.end());
}

const ArchiveSituation kFirstRun = Ready(ArchiveState::Missing, true);

INSTANTIATE_TEST_SUITE_P(
    Cases, ArchiveDecisionTest,
    testing::Values(
        DecisionCase{"FirstRunWrites", kFirstRun, ArchiveAction::Write, L"writing it at exit"},
        DecisionCase{"LaterRunUses", Ready(ArchiveState::Sealed, true), ArchiveAction::Use,
                     L"using"},
        DecisionCase{"ReaderBesideAWriterUses", Ready(ArchiveState::Sealed, false),
                     ArchiveAction::Use, L"using"},
        DecisionCase{"CutShortIsWrittenAnew", Ready(ArchiveState::Unsealed, true),
                     ArchiveAction::Write, L"writing it anew"},
        DecisionCase{"CutShortIsNeverReadBesideAWriter", Ready(ArchiveState::Unsealed, false),
                     ArchiveAction::None, L"off for this run"},
        DecisionCase{"SecondWriterStandsBack", Ready(ArchiveState::Missing, false),
                     ArchiveAction::None, L"off for this run"},
        DecisionCase{"Java24Records", Ready(ArchiveState::Missing, true, L"24"),
                     ArchiveAction::Write, L"recording the AOT configuration;"},
        DecisionCase{"Java23WritesDynamic", Ready(ArchiveState::Missing, true, L"23.0.2"),
                     ArchiveAction::Write, L"writing it at exit"},
        DecisionCase{"Java13Writes", Ready(ArchiveState::Missing, true, L"13"),
                     ArchiveAction::Write, L"writing"},
        DecisionCase{"Java25UsesItsCache", Ready(ArchiveState::Sealed, false, L"25"),
                     ArchiveAction::Use, L"using the AOT cache"},
        DecisionCase{"Java25CutShortIsRecordedAnew", Ready(ArchiveState::Unsealed, true, L"25"),
                     ArchiveAction::Write, L"recording the AOT configuration anew"},
        DecisionCase{"Java25StandsBackBesideARecorder", Ready(ArchiveState::Missing, false, L"25"),
                     ArchiveAction::None, L"off for this run"},
        DecisionCase{"Java25AfterAFailedAssembly",
                     With(Ready(ArchiveState::Missing, true, L"25"),
                          [](ArchiveSituation& s) { s.write_failed = true; }),
                     ArchiveAction::None, L"off: the AOT cache could not be assembled"},
        DecisionCase{"Java25WithoutJavaCommand",
                     With(Ready(ArchiveState::Missing, true, L"25"),
                          [](ArchiveSituation& s) { s.java_command_present = false; }),
                     ArchiveAction::None, L"off: the runtime has no java command"},
        DecisionCase{"DiskNearlyFull",
                     With(kFirstRun, [](ArchiveSituation& s) { s.room_to_write = false; }),
                     ArchiveAction::None, L"off for this run: the cache folder's disk"},
        // The AOT cache is made from the runtime's modules, not from classes.jsa.
        DecisionCase{"Java25WithoutBaseArchive",
                     With(Ready(ArchiveState::Missing, true, L"25"),
                          [](ArchiveSituation& s) { s.base_archive_present = false; }),
                     ArchiveAction::Write, L"recording"},
        DecisionCase{"Java12IsTooOld", Ready(ArchiveState::Sealed, true, L"12.0.2"),
                     ArchiveAction::None, L"off: the runtime is older"},
        DecisionCase{"Java8IsTooOld", Ready(ArchiveState::Sealed, true, L"1.8.0_402"),
                     ArchiveAction::None, L"off: the runtime is older"},
        DecisionCase{"UnknownVersion",
                     With(kFirstRun, [](ArchiveSituation& s) { s.version.reset(); }),
                     ArchiveAction::None, L"off: the runtime's version"},
        DecisionCase{"UserParameters",
                     With(kFirstRun, [](ArchiveSituation& s) { s.user_names_archive = true; }),
                     ArchiveAction::None, L"off: the VM parameters"},
        DecisionCase{"NoBaseArchive",
                     With(kFirstRun, [](ArchiveSituation& s) { s.base_archive_present = false; }),
                     ArchiveAction::None, L"off: the runtime has no base archive"},
        DecisionCase{"NoCacheFolder",
                     With(kFirstRun, [](ArchiveSituation& s) { s.cache_folder_ready = false; }),
                     ArchiveAction::None, L"off: the cache folder cannot be made"},
        DecisionCase{"PathNotNarrow",
                     With(kFirstRun, [](ArchiveSituation& s) { s.paths_fit_narrow_text = false; }),
                     ArchiveAction::None, L"off: the cache folder's path"}),
    [](const testing::TestParamInfo<DecisionCase>& info) { return info.param.name; });

TEST(ArchiveDecisionTest, CacheIsOpenedOnlyWhenTheRuntimeTakesAnArchive) {
  EXPECT_TRUE(RuntimeTakesArchive(kFirstRun));
  EXPECT_FALSE(RuntimeTakesArchive(
      With(kFirstRun, [](ArchiveSituation& s) { s.user_names_archive = true; })));
  EXPECT_FALSE(RuntimeTakesArchive(Ready(ArchiveState::Missing, true, L"11")));
  EXPECT_FALSE(RuntimeTakesArchive(
      With(kFirstRun, [](ArchiveSituation& s) { s.base_archive_present = false; })));
  EXPECT_FALSE(RuntimeTakesArchive(With(Ready(ArchiveState::Missing, true, L"25"), [](ArchiveSituation& s) {
    s.java_command_present = false;
  })));
}

TEST(AotAssemblyTest, StartsJavaAsTheLaunchStartedItsVm) {
  const JavaVersion java25 = ParseVersion(L"25", kVersionFillLow);
  EXPECT_EQ(AotAssemblyArguments({"-Djava.class.path=a.jar:b.jar", "-Xlog:gc:file=gc.log", "-Xmx64m",
                                  "-agentlib:jdwp=transport=dt_socket,server=y,suspend=y",
                                  "-XX:StartFlightRecording=filename=app.jfr", "-Dsun.java.command=app.Main x"},
                                 "c.aotconf", "c.aot.part", java25),
            (std::vector<std::string>{"-Xlog:cds*=off", "-Xlog:aot*=off", "-XX:AOTMode=create",
                                      "-XX:AOTConfiguration=c.aotconf", "-XX:AOTCache=c.aot.part", "-cp",
                                      "a.jar:b.jar", "-Xmx64m"}));
  // java reads backslashes in quotes as escapes, and a line end as the end.
  EXPECT_EQ(JavaArgumentFileText({"-cp", "C:\\Program Files\\a \"b\".jar", "x\n-Xmx2m\r\t"}),
            "\"-cp\"\n\"C:\\\\Program Files\\\\a \\\"b\\\".jar\"\n\"x\\n-Xmx2m\\r\\t\"\n");
}

}  // namespace
}  // namespace korvan
