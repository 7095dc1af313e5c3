#include "runtime/runtime_search.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>
#include <set>

#include "platform/text.h"
#include "runtime/registered_runtimes.h"

namespace korvan {
namespace {

using platform::RegisteredRuntime;
using platform::RuntimeFamily;

// Family indexes in search order.
constexpr int kSunJdk = 0;
constexpr int kSunJre = 1;
constexpr int kJrockitJre = 2;
constexpr int kJrockitJdk = 3;
constexpr int kJavaSoftJdk = 4;
constexpr int kJavaSoftJre = 5;
constexpr int kAdoptiumJdk = 6;
constexpr int kAdoptiumJre = 7;
constexpr int kMicrosoftJdk = 12;
constexpr int kZuluJdk = 14;
constexpr int kJavaHomeJdk = 18;

int FamilyIndex(const RuntimeFamily& family) {
  const std::vector<RuntimeFamily>& families = RuntimeFamilies();
  for (std::size_t i = 0; i < families.size(); ++i) {
    if (families[i].kind == family.kind && families[i].provider == family.provider &&
        families[i].source == family.source) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

struct Registration {
  int family;
  std::wstring name;
  std::optional<std::wstring> java_home;
  std::optional<std::wstring> version_text = std::nullopt;  // nullopt: the name
  platform::RuntimeStanding standing = platform::RuntimeStanding::Registered;
};

// Registrations held in memory; remembers which families were opened and
// which homes were read.
class MemoryRegistry : public platform::RuntimeRegistry {
 public:
  explicit MemoryRegistry(std::vector<Registration> registrations)
      : registrations_(std::move(registrations)) {}

  std::wstring Location(const RuntimeFamily& family) override { return std::to_wstring(FamilyIndex(family)); }

  // The classic families always; the newer ones only where some runtime is
  // registered under them, so the classic cases see the classic search.
  bool Keeps(const RuntimeFamily& family) override {
    if (family.source == platform::RuntimeSource::Classic) return true;
    for (const Registration& r : registrations_) {
      if (r.family > kJrockitJdk) return true;
    }
    return false;
  }

  std::vector<RegisteredRuntime> ListRuntimes(const RuntimeFamily& family) override {
    opened.push_back(FamilyIndex(family));
    std::vector<RegisteredRuntime> runtimes;
    for (const Registration& r : registrations_) {
      if (r.family == FamilyIndex(family)) {
        runtimes.push_back(RegisteredRuntime{r.name, r.version_text.value_or(r.name), r.standing});
      }
    }
    return runtimes;
  }

  std::optional<std::wstring> ReadJavaHome(const RuntimeFamily& family,
                                           const RegisteredRuntime& runtime) override {
    homes_read.push_back(runtime.name);
    for (const Registration& r : registrations_) {
      if (r.family == FamilyIndex(family) && r.name == runtime.name) return r.java_home;
    }
    return std::nullopt;
  }

  std::vector<int> opened;
  std::vector<std::wstring> homes_read;

 private:
  std::vector<Registration> registrations_;
};

// A set of files; a folder exists when a file lies below it.
ExistenceTest FileSet(std::vector<std::wstring> paths, wchar_t separator) {
  return [paths = std::move(paths), separator](const std::wstring& path) {
    std::wstring folder = path;
    if (!folder.empty() && folder.back() == separator) folder.pop_back();
    for (const std::wstring& file : paths) {
      if (file == folder || file.rfind(folder + separator, 0) == 0) return true;
    }
    return false;
  };
}

// The flags that "JVM Source" and "VM Provider" set, as the settings reader does.
void SetJvmSource(LaunchSettings& s, const std::wstring& value) {
  if (value == L"favor_JRE") s.jdk_wanted = false, s.jre_wanted = true, s.both_kinds_acceptable = true;
  if (value == L"favor_JDK") s.jdk_wanted = true, s.jre_wanted = false, s.both_kinds_acceptable = true;
  if (value == L"only_JRE") s.jdk_wanted = false, s.jre_wanted = true, s.both_kinds_acceptable = false;
  if (value == L"only_JDK") s.jdk_wanted = true, s.jre_wanted = false, s.both_kinds_acceptable = false;
}

void SetVmProvider(LaunchSettings& s, const std::wstring& value) {
  struct Row { const wchar_t* name; bool jrockit_ok, jrockit_fav, sun_ok, sun_fav; };
  const Row rows[] = {{L"jrockit", true, true, false, false},
                      {L"favor_sun", true, false, true, true},
                      {L"favor_jrockit", true, true, true, false},
                      {L"any", true, false, true, false}};
  for (const Row& row : rows) {
    if (value != row.name) continue;
    s.jrockit_acceptable = row.jrockit_ok;
    s.jrockit_favoured = row.jrockit_fav;
    s.sun_acceptable = row.sun_ok;
    s.sun_favoured = row.sun_fav;
  }
}

LaunchSettings DefaultSettings() {
  LaunchSettings settings;
  settings.jdk_wanted = true;  // "JVM Source" absent
  settings.jre_wanted = true;
  return settings;
}

struct SearchCase {
  const char* name;
  std::function<void(LaunchSettings&)> configure;
  std::vector<std::wstring> files;
  std::vector<Registration> registrations;
  std::wstring expected_library;               // empty: the search fails
  const wchar_t* expected_version = nullptr;   // found version; nullptr: none
  std::optional<std::vector<int>> expected_families_opened = std::nullopt;
  const wchar_t* launcher_folder = L"C:\\app\\";  // empty: cannot be known
  bool linux_layout = false;
  std::map<std::wstring, std::wstring> release_versions = {};  // folder -> JAVA_VERSION
  std::set<std::wstring> foreign_libraries = {};               // built for another machine
};

RuntimeFiles TestFiles(const platform::RuntimeLayout& layout, const std::vector<std::wstring>& files,
                       const std::map<std::wstring, std::wstring>& releases = {},
                       const std::set<std::wstring>& foreign = {}) {
  return RuntimeFiles{
      layout, FileSet(files, layout.separator),
      [releases](const std::wstring& folder) {
        const auto found = releases.find(folder);
        return found == releases.end() ? std::wstring() : found->second;
      },
      [foreign](const std::wstring& library) -> std::optional<std::wstring> {
        if (foreign.count(library) == 0) return std::nullopt;
        return std::wstring(L"x86");
      }};
}

void NoChange(LaunchSettings&) {}

// Typical Windows runtimes: registered homes and their JVM libraries.
const wchar_t* kJdk6Client = L"C:\\jdk6\\jre\\bin\\client\\jvm.dll";
const wchar_t* kJdk6Server = L"C:\\jdk6\\jre\\bin\\server\\jvm.dll";
const wchar_t* kJre7Client = L"C:\\jre7\\bin\\client\\jvm.dll";
const wchar_t* kJre7Server = L"C:\\jre7\\bin\\server\\jvm.dll";
const Registration kJdk6{kSunJdk, L"1.6.0_20", L"C:\\jdk6"};
const Registration kJre7{kSunJre, L"1.7.0", L"C:\\jre7\\"};

class RuntimeSearchTest : public testing::TestWithParam<SearchCase> {};

TEST_P(RuntimeSearchTest, FindsTheExpectedLibrary) {
  const SearchCase& c = GetParam();
  LaunchSettings settings = DefaultSettings();
  c.configure(settings);
  const platform::RuntimeLayout& layout =
      c.linux_layout ? platform::LinuxRuntimeLayout(L"amd64") : platform::WindowsRuntimeLayout();
  MemoryRegistry registry(c.registrations);
  RuntimeSearchSystem system{TestFiles(layout, c.files, c.release_versions, c.foreign_libraries),
                             c.launcher_folder, registry};

  const RuntimeSearchResult result = FindJvmLibrary(settings, system);

  EXPECT_EQ(platform::NarrowFromWide(result.jvm_library_path),
            platform::NarrowFromWide(c.expected_library));
  if (c.expected_version == nullptr) {
    EXPECT_FALSE(result.found_version.has_value());
  } else {
    ASSERT_TRUE(result.found_version.has_value());
    EXPECT_EQ(CompareVersions(*result.found_version, ParseVersion(c.expected_version, 0)), 0)
        << platform::NarrowFromWide(FormatVersion(*result.found_version));
  }
  if (c.expected_families_opened) {
    EXPECT_EQ(registry.opened, *c.expected_families_opened);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Registry, RuntimeSearchTest,
    testing::Values(
        SearchCase{"DefaultsSearchTheJavaSoftKeysAndPickTheNewest", NoChange,
                   {kJdk6Client, kJre7Client}, {kJdk6, kJre7, {kJrockitJre, L"1.8.0", L"C:\\jr8"}},
                   kJre7Client, L"1.7.0", std::vector<int>{kSunJdk, kSunJre}},
        SearchCase{"PreferredVersionBeatsRanking",
                   [](LaunchSettings& s) { s.preferred_versions = {L"1.6", L"1.7"}; },
                   {kJdk6Client, kJre7Client}, {kJre7, kJdk6}, kJdk6Client, L"1.6.0_20"},
        SearchCase{"PreferredVersionsAreTriedInOrder",
                   [](LaunchSettings& s) { s.preferred_versions = {L"1.5", L"", L"1.6.0.20"}; },
                   {kJdk6Client, kJre7Client}, {kJdk6, kJre7}, kJdk6Client, L"1.6.0_20"},
        SearchCase{"UnmatchedPreferenceTakesTheFirstRanked",
                   [](LaunchSettings& s) { s.preferred_versions = {L"1.5"}; },
                   {kJdk6Client, kJre7Client}, {kJdk6, kJre7}, kJre7Client, L"1.7.0"},
        SearchCase{"FavouredJdkRanksAboveNewerJre",
                   [](LaunchSettings& s) { SetJvmSource(s, L"favor_JDK"); },
                   {kJdk6Client, kJre7Client}, {kJdk6, kJre7}, kJdk6Client, L"1.6.0_20"},
        SearchCase{"AnyProviderFavoursNothing",
                   [](LaunchSettings& s) { SetJvmSource(s, L"favor_JDK"); SetVmProvider(s, L"any"); },
                   {kJdk6Client, kJre7Client}, {kJdk6, kJre7}, kJre7Client, L"1.7.0",
                   std::vector<int>{kSunJdk, kSunJre, kJrockitJre, kJrockitJdk}},
        SearchCase{"OnlyJreNeverOpensTheJdkKeys",
                   [](LaunchSettings& s) { SetJvmSource(s, L"only_JRE"); },
                   {kJdk6Client, kJre7Client, L"C:\\jdk8\\jre\\bin\\client\\jvm.dll"},
                   {kJdk6, kJre7, {kSunJdk, L"1.8.0", L"C:\\jdk8"}}, kJre7Client, L"1.7.0",
                   std::vector<int>{kSunJre}},
        SearchCase{"OnlyJdkWithAnyProviderOpensBothJdkKeys",
                   [](LaunchSettings& s) { SetJvmSource(s, L"only_JDK"); SetVmProvider(s, L"any"); },
                   {kJdk6Client, kJre7Client}, {kJdk6, kJre7}, kJdk6Client, L"1.6.0_20",
                   std::vector<int>{kSunJdk, kJrockitJdk}},
        SearchCase{"UnknownJvmSourceWantsNothing",
                   [](LaunchSettings& s) { s.jdk_wanted = s.jre_wanted = s.both_kinds_acceptable = false; },
                   {kJdk6Client, kJre7Client}, {kJdk6, kJre7}, L"", nullptr, std::vector<int>{}},
        SearchCase{"JrockitSearchesOnlyTheJrockitKeys",
                   [](LaunchSettings& s) { SetVmProvider(s, L"jrockit"); },
                   {kJre7Client, L"C:\\jr6\\bin\\jrockit\\jvm.dll"},
                   {kJre7, {kJrockitJre, L"1.6.0", L"C:\\jr6"}}, L"C:\\jr6\\bin\\jrockit\\jvm.dll",
                   L"1.6", std::vector<int>{kJrockitJre, kJrockitJdk}},
        SearchCase{"JrockitJdkHomeGetsJreToo",
                   [](LaunchSettings& s) { SetVmProvider(s, L"jrockit"); },
                   {L"C:\\jrdk\\jre\\bin\\jrockit\\jvm.dll"},
                   {{kJrockitJdk, L"1.6.0", L"C:\\jrdk\\"}}, L"C:\\jrdk\\jre\\bin\\jrockit\\jvm.dll",
                   L"1.6"},
        SearchCase{"JdkHomeIsItsJreFolder", NoChange,
                   {L"C:\\jdk6\\bin\\client\\jvm.dll", kJdk6Server}, {kJdk6}, kJdk6Server, L"1.6.0_20"},
        SearchCase{"JdkWithoutJreFolderHasNoLibrary", NoChange,
                   {L"C:\\jdk9\\bin\\server\\jvm.dll"}, {{kSunJdk, L"9.0.1", L"C:\\jdk9"}}, L""},
        SearchCase{"FavorServerRanksServerJdkAboveClientAndServerJre",
                   [](LaunchSettings& s) { s.jvm_kind = JvmKind::FavorServer; },
                   {kJdk6Server, kJre7Client, kJre7Server}, {kJre7, kJdk6}, kJdk6Server, L"1.6.0_20"},
        SearchCase{"FavorServerStillLoadsTheServerLibraryOfAChosenJre",
                   [](LaunchSettings& s) { s.jvm_kind = JvmKind::FavorServer; },
                   {kJre7Client, kJre7Server}, {kJre7}, kJre7Server, L"1.7.0"},
        SearchCase{"FavorServerKeepsTheServerMarkOfJrockitRuntimes",
                   [](LaunchSettings& s) { s.jvm_kind = JvmKind::FavorServer; SetVmProvider(s, L"any"); },
                   {kJre7Client, kJre7Server, L"C:\\jr6\\bin\\client\\jvm.dll", L"C:\\jr6\\bin\\server\\jvm.dll"},
                   {kJre7, {kJrockitJre, L"1.6.0", L"C:\\jr6"}}, L"C:\\jr6\\bin\\server\\jvm.dll", L"1.6"},
        SearchCase{"ServerKindSkipsClientOnlyRuntimes",
                   [](LaunchSettings& s) { s.jvm_kind = JvmKind::Server; },
                   {kJdk6Server, kJre7Client}, {kJdk6, kJre7}, kJdk6Server, L"1.6.0_20"},
        SearchCase{"LimitsFilterRegistrations",
                   [](LaunchSettings& s) {
                     s.minimum_version = ConvertMinimumVersion(L"1.6");
                     s.maximum_version = ConvertMaximumVersion(L"1.6");
                   },
                   {kJdk6Client, kJre7Client}, {kJdk6, kJre7}, kJdk6Client, L"1.6.0_20"},
        SearchCase{"NothingWithinLimits",
                   [](LaunchSettings& s) { s.minimum_version = ConvertMinimumVersion(L"1.8"); },
                   {kJdk6Client, kJre7Client}, {kJdk6, kJre7}, L""},
        SearchCase{"NameWithoutDigitsPassesWithoutMinimum", NoChange,
                   {L"C:\\cur\\bin\\client\\jvm.dll"}, {{kSunJre, L"current", L"C:\\cur"}},
                   L"C:\\cur\\bin\\client\\jvm.dll", L"0.0.0.0"},
        SearchCase{"NameWithoutDigitsFailsAMinimum",
                   [](LaunchSettings& s) { s.minimum_version = ConvertMinimumVersion(L"1.0"); },
                   {L"C:\\cur\\bin\\client\\jvm.dll"}, {{kSunJre, L"current", L"C:\\cur"}}, L""},
        SearchCase{"MissingJavaHomeIsSkipped", NoChange,
                   {kJre7Client}, {{kSunJre, L"1.8.0", std::nullopt}, kJre7}, kJre7Client, L"1.7.0"},
        // An empty home must not become the root of the current drive.
        SearchCase{"EmptyJavaHomeIsSkipped", NoChange,
                   {kJre7Client, L"\\bin\\client\\jvm.dll"}, {{kSunJre, L"1.8.0", L""}, kJre7},
                   kJre7Client, L"1.7.0"},
        SearchCase{"HomeWithoutLibraryIsSkipped", NoChange,
                   {kJre7Client, L"C:\\jre8\\bin\\java.dll"}, {{kSunJre, L"1.8.0", L"C:\\jre8"}, kJre7},
                   kJre7Client, L"1.7.0"},
        SearchCase{"EqualVersionsKeepFamilyOrder", NoChange,
                   {L"C:\\jdk7\\jre\\bin\\client\\jvm.dll", kJre7Client},
                   {kJre7, {kSunJdk, L"1.7.0", L"C:\\jdk7"}}, L"C:\\jdk7\\jre\\bin\\client\\jvm.dll",
                   L"1.7.0"},
        SearchCase{"EqualVersionsKeepEnumerationOrder", NoChange,
                   {L"C:\\a\\bin\\client\\jvm.dll", L"C:\\b\\bin\\client\\jvm.dll"},
                   {{kSunJre, L"1.7", L"C:\\a"}, {kSunJre, L"1.7.0", L"C:\\b"}},
                   L"C:\\a\\bin\\client\\jvm.dll", L"1.7"},
        SearchCase{"FavouredMarkCountsOnlyWhenBothKindsAreAcceptable",
                   [](LaunchSettings& s) { SetJvmSource(s, L"only_JDK"); SetVmProvider(s, L"favor_sun"); },
                   {kJdk6Client, L"C:\\jrdk\\jre\\bin\\client\\jvm.dll"},
                   {kJdk6, {kJrockitJdk, L"1.7.0", L"C:\\jrdk"}}, L"C:\\jrdk\\jre\\bin\\client\\jvm.dll",
                   L"1.7.0"},
        SearchCase{"FavouredProviderRanksFirst",
                   [](LaunchSettings& s) { SetJvmSource(s, L"favor_JDK"); SetVmProvider(s, L"favor_sun"); },
                   {kJdk6Client, L"C:\\jrdk\\jre\\bin\\client\\jvm.dll"},
                   {kJdk6, {kJrockitJdk, L"1.7.0", L"C:\\jrdk"}}, kJdk6Client, L"1.6.0_20"}),
    [](const testing::TestParamInfo<SearchCase>& info) { return std::string(info.param.name); });

const wchar_t* kJdk17Server = L"C:\\jdk17\\bin\\server\\jvm.dll";
const Registration kJdk17{kJavaSoftJdk, L"17.0.2", L"C:\\jdk17"};
const std::vector<int> kJreFamilies{kSunJre, kJavaSoftJre, kAdoptiumJre, 9, 11, 15, 17};

INSTANTIATE_TEST_SUITE_P(
    NewerRegistrations, RuntimeSearchTest,
    testing::Values(
        SearchCase{"JdkRegisteredOnlyUnderTheNewJavaSoftKeyHasNoJreFolder", NoChange,
                   {kJdk17Server}, {kJdk17}, kJdk17Server, L"17.0.2"},
        SearchCase{"NewFamilyJdkUsesItsJreFolderWhenItHasOne", NoChange,
                   {L"C:\\t8\\jre\\bin\\server\\jvm.dll", L"C:\\t8\\bin\\server\\jvm.dll"},
                   {{kAdoptiumJdk, L"8.0.392.8", L"C:\\t8"}}, L"C:\\t8\\jre\\bin\\server\\jvm.dll",
                   L"8.0.392.8"},
        SearchCase{"NewerFamiliesRankWithTheClassicOnes", NoChange,
                   {kJre7Client, L"C:\\ms11\\bin\\server\\jvm.dll"},
                   {kJre7, {kMicrosoftJdk, L"11.0.21.9", L"C:\\ms11\\"}},
                   L"C:\\ms11\\bin\\server\\jvm.dll", L"11.0.21.9"},
        SearchCase{"PreferredVersionsStillPickAClassicRuntime",
                   [](LaunchSettings& s) { s.preferred_versions = {L"1.7"}; },
                   {kJre7Client, kJdk17Server}, {kJdk17, kJre7}, kJre7Client, L"1.7.0"},
        SearchCase{"OnlyJreOpensNoJdkKeyOfAnyVendor",
                   [](LaunchSettings& s) { SetJvmSource(s, L"only_JRE"); },
                   {kJdk17Server, L"C:\\t11\\bin\\server\\jvm.dll"},
                   {kJdk17, {kAdoptiumJre, L"11.0.2", L"C:\\t11"}}, L"C:\\t11\\bin\\server\\jvm.dll",
                   L"11.0.2", kJreFamilies},
        SearchCase{"NameWithoutVersionTakesTheReleaseFile",
                   [](LaunchSettings& s) { s.minimum_version = ConvertMinimumVersion(L"11"); },
                   {L"C:\\zulu\\bin\\server\\jvm.dll"}, {{kZuluJdk, L"Zulu JDK", L"C:\\zulu"}},
                   L"C:\\zulu\\bin\\server\\jvm.dll", L"21.0.1", std::nullopt, L"C:\\app\\", false,
                   {{L"C:\\zulu\\", L"21.0.1"}}},
        SearchCase{"JavaHomeIsNotReadWhenTheRegistryQualifies", NoChange,
                   {kJre7Client, L"C:\\zip17\\bin\\server\\jvm.dll"},
                   {kJre7, {kJavaHomeJdk, L"JAVA_HOME", L"C:\\zip17", L""}}, kJre7Client, L"1.7.0",
                   std::nullopt, L"C:\\app\\", false, {{L"C:\\zip17\\", L"17.0.9"}}},
        SearchCase{"JavaHomeIsFoundWhenNothingRegisteredQualifies",
                   [](LaunchSettings& s) { s.minimum_version = ConvertMinimumVersion(L"9"); },
                   {kJre7Client, L"C:\\zip17\\bin\\server\\jvm.dll"},
                   {kJre7, {kJavaHomeJdk, L"JAVA_HOME", L"C:\\zip17", L""}},
                   L"C:\\zip17\\bin\\server\\jvm.dll", L"17.0.9", std::nullopt, L"C:\\app\\", false,
                   {{L"C:\\zip17\\", L"17.0.9"}}},
        SearchCase{"JavaHomeObeysTheLimits",
                   [](LaunchSettings& s) { s.maximum_version = ConvertMaximumVersion(L"11"); },
                   {L"C:\\zip17\\bin\\server\\jvm.dll"},
                   {{kJavaHomeJdk, L"JAVA_HOME", L"C:\\zip17", L""}}, L"", nullptr, std::nullopt,
                   L"C:\\app\\", false, {{L"C:\\zip17\\", L"17.0.9"}}},
        SearchCase{"JavaHomeWithoutReleaseFileFailsAMinimum",
                   [](LaunchSettings& s) { s.minimum_version = ConvertMinimumVersion(L"9"); },
                   {L"C:\\zip17\\bin\\server\\jvm.dll"},
                   {{kJavaHomeJdk, L"JAVA_HOME", L"C:\\zip17", L""}}, L""},
        SearchCase{"LibraryOfAnotherMachineIsSkipped", NoChange,
                   {kJre7Client, kJdk17Server}, {kJdk17, kJre7}, kJre7Client, L"1.7.0", std::nullopt,
                   L"C:\\app\\", false, {}, {kJdk17Server}}),
    [](const testing::TestParamInfo<SearchCase>& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Places, RuntimeSearchTest,
    testing::Values(
        SearchCase{"JrePathWinsOutsideTheLimits",
                   [](LaunchSettings& s) {
                     s.configured_runtime_folder = L"C:\\old";
                     s.minimum_version = ConvertMinimumVersion(L"1.7");
                   },
                   {L"C:\\old\\bin\\client\\jvm.dll", kJre7Client}, {kJre7},
                   L"C:\\old\\bin\\client\\jvm.dll", nullptr, std::vector<int>{}},
        SearchCase{"JrePathWithoutLibraryFallsThrough",
                   [](LaunchSettings& s) { s.configured_runtime_folder = L"C:\\old\\"; },
                   {L"C:\\old\\bin\\java.dll", kJre7Client}, {kJre7}, kJre7Client, L"1.7.0"},
        SearchCase{"JrePathFollowsTheJvmKind",
                   [](LaunchSettings& s) {
                     s.configured_runtime_folder = L"C:\\old";
                     s.jvm_kind = JvmKind::Server;
                   },
                   {L"C:\\old\\bin\\client\\jvm.dll", kJre7Server}, {kJre7}, kJre7Server, L"1.7.0"},
        SearchCase{"RuntimeInTheLauncherFolder", NoChange,
                   {L"C:\\app\\bin\\java.dll", L"C:\\app\\bin\\client\\jvm.dll", kJre7Client}, {kJre7},
                   L"C:\\app\\bin\\client\\jvm.dll", nullptr, std::vector<int>{}},
        SearchCase{"Jre64FolderWithServerLibrary", NoChange,
                   {L"C:\\app\\jre64\\bin\\java.dll", L"C:\\app\\jre64\\bin\\server\\jvm.dll", kJre7Client},
                   {kJre7}, L"C:\\app\\jre64\\bin\\server\\jvm.dll", nullptr, std::vector<int>{}},
        SearchCase{"Jre64FolderWithoutJavaDllIsIgnored", NoChange,
                   {L"C:\\app\\jre64\\bin\\client\\jvm.dll", kJre7Client}, {kJre7}, kJre7Client, L"1.7.0"},
        SearchCase{"LauncherFolderWithoutLibraryHidesJre64", NoChange,
                   {L"C:\\app\\bin\\java.dll", L"C:\\app\\jre64\\bin\\java.dll",
                    L"C:\\app\\jre64\\bin\\client\\jvm.dll", kJre7Client},
                   {kJre7}, kJre7Client, L"1.7.0"},
        SearchCase{"UnknownLauncherFolderGoesOnWithTheRegistry", NoChange,
                   {kJre7Client}, {kJre7}, kJre7Client, L"1.7.0", std::nullopt, L""},
        // No runtime beside the launcher: paths relative to the current folder are not tried.
        SearchCase{"NoRuntimeBesideTheLauncherIgnoresTheCurrentFolder", NoChange,
                   {L"bin\\client\\jvm.dll", L"bin\\java.dll"}, {}, L""},
        SearchCase{"NothingAnywhere", NoChange, {}, {}, L"", nullptr,
                   std::vector<int>{kSunJdk, kSunJre}}),
    [](const testing::TestParamInfo<SearchCase>& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    LinuxLayout, RuntimeSearchTest,
    testing::Values(
        SearchCase{"JdkWithoutJreFolderUsesItsHome", NoChange,
                   {L"/jvm/jdk17/lib/server/libjvm.so", L"/jvm/jdk17/bin/javac"},
                   {{kSunJdk, L"17.0.15", L"/jvm/jdk17"}}, L"/jvm/jdk17/lib/server/libjvm.so",
                   L"17.0.15", std::nullopt, L"/app/", true},
        SearchCase{"Jdk8UsesItsJreFolder", NoChange,
                   {L"/jvm/jdk8/jre/lib/amd64/server/libjvm.so", L"/jvm/jdk8/lib/amd64/server/libjvm.so"},
                   {{kSunJdk, L"1.8.0_392", L"/jvm/jdk8/"}},
                   L"/jvm/jdk8/jre/lib/amd64/server/libjvm.so", L"1.8.0_392", std::nullopt, L"/app/", true},
        SearchCase{"BundledRuntimeNeedsLibjava", NoChange,
                   {L"/app/jre64/lib/server/libjvm.so", L"/app/jre/lib/libjava.so",
                    L"/jvm/jre11/lib/server/libjvm.so"},
                   {{kSunJre, L"11", L"/jvm/jre11"}}, L"/jvm/jre11/lib/server/libjvm.so", L"11",
                   std::nullopt, L"/app/", true},
        SearchCase{"BundledRuntimeInJre64", NoChange,
                   {L"/app/jre64/lib/server/libjvm.so", L"/app/jre64/lib/libjava.so"}, {},
                   L"/app/jre64/lib/server/libjvm.so", nullptr, std::vector<int>{}, L"/app/", true}),
    [](const testing::TestParamInfo<SearchCase>& info) { return std::string(info.param.name); });

TEST(RegisteredRuntimes, JavaHomeIsReadOnlyWithinTheLimits) {
  LaunchSettings settings = DefaultSettings();
  settings.maximum_version = ConvertMaximumVersion(L"1.6");
  MemoryRegistry registry({kJre7, kJdk6, {kSunJre, L"1.5.0", L"C:\\jre5"}});
  const RuntimeFiles files{platform::WindowsRuntimeLayout(), FileSet({kJdk6Client}, L'\\')};
  const std::vector<RuntimeCandidate> candidates = CollectCandidates(settings, registry, files);
  ASSERT_EQ(candidates.size(), 1u);
  EXPECT_EQ(candidates[0].home, L"C:\\jdk6\\jre\\");
  EXPECT_EQ(registry.homes_read, (std::vector<std::wstring>{L"1.6.0_20", L"1.5.0"}));
}

// One runtime under several keys, in whatever letter case, is one candidate:
// the first registration names it.
TEST(RegisteredRuntimes, RuntimeRegisteredUnderSeveralKeysCountsOnce) {
  const LaunchSettings settings = DefaultSettings();
  MemoryRegistry registry({{kSunJdk, L"1.8.0_392", L"C:\\Temurin8"},
                           {kAdoptiumJdk, L"8.0.392.8", L"c:\\temurin8\\"},
                           kJdk17,
                           {kAdoptiumJdk, L"17.0.2.8", L"C:\\JDK17\\"},
                           {kZuluJdk, L"zulu-17", L"C:\\other17"}});
  const RuntimeFiles files = TestFiles(platform::WindowsRuntimeLayout(),
                                       {L"C:\\Temurin8\\jre\\bin\\server\\jvm.dll", kJdk17Server,
                                        L"C:\\other17\\bin\\server\\jvm.dll"});
  std::vector<std::wstring> names;
  for (const RuntimeCandidate& c : CollectCandidates(settings, registry, files)) names.push_back(c.name);
  EXPECT_EQ(names, (std::vector<std::wstring>{L"1.8.0_392", L"17.0.2", L"zulu-17"}));
}

// Linux marks JAVA_HOME's runtime and the system's default; they come before
// any ranking, and preferred versions pick from that order.
TEST(RegisteredRuntimes, JavaHomeThenSystemDefaultStandBeforeTheRanking) {
  using platform::RuntimeStanding;
  LaunchSettings settings = DefaultSettings();
  settings.jvm_kind = JvmKind::FavorServer;
  const auto candidate = [](const wchar_t* name, bool server, RuntimeStanding standing) {
    return RuntimeCandidate{name, ParseVersion(name, 0), L"", server, false, standing};
  };
  std::vector<RuntimeCandidate> candidates{
      candidate(L"25", true, RuntimeStanding::Registered),
      candidate(L"17", false, RuntimeStanding::SystemDefault),
      candidate(L"21", true, RuntimeStanding::Registered),
      candidate(L"11", false, RuntimeStanding::JavaHome)};
  RankCandidates(candidates, settings);
  std::vector<std::wstring> order;
  for (const RuntimeCandidate& c : candidates) order.push_back(c.name);
  EXPECT_EQ(order, (std::vector<std::wstring>{L"11", L"17", L"25", L"21"}));
  EXPECT_EQ(ChooseCandidate(candidates, {L"21", L"17"}), 3u);
  EXPECT_EQ(ChooseCandidate(candidates, {L"8"}), 0u);
}

TEST(RegisteredRuntimes, RankingIsFavouredThenServerThenNewestAndStable) {
  LaunchSettings settings = DefaultSettings();
  settings.jvm_kind = JvmKind::FavorServer;
  const auto candidate = [](const wchar_t* name, bool server, bool favoured) {
    return RuntimeCandidate{name, ParseVersion(name, 0), L"", server, favoured};
  };
  std::vector<RuntimeCandidate> candidates{
      candidate(L"1.5", false, false), candidate(L"1.8", false, false),
      candidate(L"1.6", true, false),  candidate(L"1.4", false, true),
      candidate(L"1.7", true, false),  candidate(L"1.8.0", false, false),
      candidate(L"1.3", true, true)};
  RankCandidates(candidates, settings);
  std::vector<std::wstring> order;
  for (const RuntimeCandidate& c : candidates) order.push_back(c.name);
  EXPECT_EQ(order, (std::vector<std::wstring>{L"1.3", L"1.4", L"1.7", L"1.6", L"1.8", L"1.8.0", L"1.5"}));

  settings.jvm_kind = JvmKind::Any;
  settings.both_kinds_acceptable = false;
  RankCandidates(candidates, settings);
  order.clear();
  for (const RuntimeCandidate& c : candidates) order.push_back(c.name);
  EXPECT_EQ(order, (std::vector<std::wstring>{L"1.8", L"1.8.0", L"1.7", L"1.6", L"1.5", L"1.4", L"1.3"}));
}

struct MissingRuntimeCase {
  JvmKind kind;
  const wchar_t* minimum;
  const wchar_t* maximum;
  const wchar_t* expected;
};

class MissingRuntimeMessageTest : public testing::TestWithParam<MissingRuntimeCase> {};

TEST_P(MissingRuntimeMessageTest, NamesTheRequirementAndWhereToGetARuntime) {
  LaunchSettings settings;
  settings.jvm_kind = GetParam().kind;
  settings.minimum_version = ConvertMinimumVersion(GetParam().minimum);
  settings.maximum_version = ConvertMaximumVersion(GetParam().maximum);
  EXPECT_EQ(platform::NarrowFromWide(MissingRuntimeMessage(settings)),
            platform::NarrowFromWide(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MissingRuntimeMessageTest,
    testing::Values(
        MissingRuntimeCase{JvmKind::Any, L"", L"",
                           L"The Java Runtime Environment (JRE) was not found. Please  download and "
                           L"install a JRE (latest version) from: https://adoptium.net/"},
        MissingRuntimeCase{JvmKind::FavorServer, L"1.6", L"1.6",
                           L"The Java Runtime Environment (JRE) was not found. Please  download and "
                           L"install a JRE (version between 1.6 and 1.6) from: https://adoptium.net/"},
        MissingRuntimeCase{JvmKind::Server, L"1.5", L"any",
                           L"The Java Runtime Environment (JRE) was not found. Please  download and "
                           L"install a JRE with a server JVM (minimum version 1.5) from: "
                           L"https://adoptium.net/"}));

}  // namespace
}  // namespace korvan
