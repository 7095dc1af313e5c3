#include "runtime/registered_runtimes.h"

#include <algorithm>

#include "messages/trace.h"
#include "platform/shared/utf_text.h"

namespace korvan {

namespace {

using platform::RuntimeFamily;
using platform::RuntimeKind;
using platform::RuntimeProvider;
using platform::RuntimeSource;

bool KindWanted(RuntimeKind kind, const LaunchSettings& settings) {
  return kind == RuntimeKind::Jdk ? settings.jdk_wanted : settings.jre_wanted;
}

bool ProviderAcceptable(RuntimeProvider provider, const LaunchSettings& settings) {
  return provider == RuntimeProvider::Sun ? settings.sun_acceptable : settings.jrockit_acceptable;
}

bool ProviderFavoured(RuntimeProvider provider, const LaunchSettings& settings) {
  return provider == RuntimeProvider::Sun ? settings.sun_favoured : settings.jrockit_favoured;
}

// The JavaSoft runtime key is searched for a client VM even under
// "favor_server", so such a runtime ranks as a server VM only when it has
// nothing else.
JvmKind KindForFamily(const RuntimeFamily& family, JvmKind kind) {
  const bool javasoft_runtime = family.source == RuntimeSource::Classic &&
                                family.kind == RuntimeKind::Jre &&
                                family.provider == RuntimeProvider::Sun;
  return javasoft_runtime && kind == JvmKind::FavorServer ? JvmKind::Any : kind;
}

std::wstring HomeOf(const RuntimeFamily& family, const std::wstring& java_home,
                    const RuntimeFiles& files) {
  const std::wstring home = WithTrailingSeparator(java_home, files.layout.separator);
  if (family.kind != RuntimeKind::Jdk) return home;
  const std::wstring runtime = home + files.layout.jdk_runtime_folder;
  // The classic JDK keys name JDKs that always have a "jre" folder; JDK 9 and
  // later have none, whatever key names them.
  const bool only_when_present =
      files.layout.jdk_runtime_folder_only_when_present || family.source != RuntimeSource::Classic;
  if (only_when_present && !files.exists(runtime)) return home;
  return runtime;
}

// Why a runtime will come before the ranking, for the trace.
const wchar_t* StandingNote(platform::RuntimeStanding standing) {
  switch (standing) {
    case platform::RuntimeStanding::JavaHome: return L" (JAVA_HOME, first)";
    case platform::RuntimeStanding::SystemDefault: return L" (the system's java command, first after JAVA_HOME)";
    case platform::RuntimeStanding::Registered: break;
  }
  return L"";
}

bool SameFolder(const std::wstring& a, const std::wstring& b, const RuntimeFiles& files) {
  return files.layout.paths_ignore_case ? platform::EqualsIgnoringAsciiCase(a, b) : a == b;
}

bool AlreadyCollected(const std::wstring& home, const std::vector<RuntimeCandidate>& candidates,
                      const RuntimeFiles& files) {
  for (const RuntimeCandidate& candidate : candidates) {
    if (SameFolder(candidate.home, home, files)) return true;
  }
  return false;
}

// Newer registrations often name the runtime rather than its version ("zulu-17"
// parses, "Temurin" would not); their runtime's "release" file then says it.
JavaVersion VersionOf(const RuntimeFamily& family, const platform::RegisteredRuntime& runtime,
                      const std::optional<std::wstring>& java_home, const RuntimeFiles& files) {
  const JavaVersion named = ParseVersion(runtime.version_text, kVersionFillLow);
  if (named.group_count > 0 || family.source == RuntimeSource::Classic || !java_home ||
      java_home->empty() || !files.release_version) {
    return named;
  }
  return ParseVersion(files.release_version(WithTrailingSeparator(*java_home, files.layout.separator)),
                      kVersionFillLow);
}

void CollectFamily(const RuntimeFamily& family, const LaunchSettings& settings,
                   platform::RuntimeRegistry& registry, const RuntimeFiles& files,
                   std::vector<RuntimeCandidate>& candidates) {
  const bool favoured = IsFamilyFavoured(family, settings);
  for (const platform::RegisteredRuntime& runtime : registry.ListRuntimes(family)) {
    const std::wstring label = L"runtime: registered " + runtime.name;
    // The classic keys are read as they always were: the home only of a
    // registration within the limits.
    std::optional<std::wstring> java_home;
    const bool name_is_version =
        ParseVersion(runtime.version_text, kVersionFillLow).group_count > 0;
    if (family.source != RuntimeSource::Classic && !name_is_version) {
      java_home = registry.ReadJavaHome(family, runtime);
    }
    const JavaVersion version = VersionOf(family, runtime, java_home, files);
    Trace(label + L": version " + FormatVersion(version));
    if (!WithinLimits(version, settings.minimum_version, settings.maximum_version)) {
      Trace(label + L" skipped: outside the version limits");
      continue;
    }
    if (!java_home) java_home = registry.ReadJavaHome(family, runtime);
    if (!java_home || java_home->empty()) {
      Trace(label + L" skipped: no JavaHome");
      continue;
    }
    const std::wstring home = HomeOf(family, *java_home, files);
    const std::optional<JvmLibrary> library =
        SelectJvmLibrary(home, KindForFamily(family, settings.jvm_kind), files);
    if (!library) {
      Trace(label + L" skipped: no JVM library in " + home);
      continue;
    }
    if (AlreadyCollected(home, candidates, files)) {
      Trace(label + L" skipped: " + home + L" is registered already");
      continue;
    }
    // A library of another machine would fail to load; a runtime that fits
    // may still be found.
    if (files.foreign_machine) {
      if (const std::optional<std::wstring> machine = files.foreign_machine(library->path)) {
        Trace(label + L" skipped: " + library->path + L" is built for " + *machine +
              L", which this launcher cannot load");
        continue;
      }
    }
    Trace(label + L": candidate " + library->path + (library->server ? L" (server)" : L"") +
          (favoured ? L" (favoured)" : L"") + StandingNote(runtime.standing));
    candidates.push_back(
        RuntimeCandidate{runtime.name, version, home, library->server, favoured, runtime.standing});
  }
}

bool RanksHigher(const RuntimeCandidate& later, const RuntimeCandidate& earlier,
                 const LaunchSettings& settings) {
  if (later.standing != earlier.standing) return later.standing < earlier.standing;
  if (settings.both_kinds_acceptable && later.favoured != earlier.favoured) return later.favoured;
  if (settings.jvm_kind == JvmKind::FavorServer && later.server != earlier.server) {
    return later.server;
  }
  return CompareVersions(later.version, earlier.version) > 0;
}

}  // namespace

const std::vector<RuntimeFamily>& RuntimeFamilies() {
  constexpr RuntimeKind kJdk = RuntimeKind::Jdk;
  constexpr RuntimeKind kJre = RuntimeKind::Jre;
  constexpr RuntimeProvider kSun = RuntimeProvider::Sun;
  static const std::vector<RuntimeFamily> families{
      {kJdk, kSun, RuntimeSource::Classic},
      {kJre, kSun, RuntimeSource::Classic},
      {kJre, RuntimeProvider::JRockit, RuntimeSource::Classic},
      {kJdk, RuntimeProvider::JRockit, RuntimeSource::Classic},
      {kJdk, kSun, RuntimeSource::JavaSoft},
      {kJre, kSun, RuntimeSource::JavaSoft},
      {kJdk, kSun, RuntimeSource::Adoptium},
      {kJre, kSun, RuntimeSource::Adoptium},
      {kJdk, kSun, RuntimeSource::AdoptOpenJdk},
      {kJre, kSun, RuntimeSource::AdoptOpenJdk},
      {kJdk, kSun, RuntimeSource::EclipseFoundation},
      {kJre, kSun, RuntimeSource::EclipseFoundation},
      {kJdk, kSun, RuntimeSource::Microsoft},
      {kJdk, kSun, RuntimeSource::Semeru},
      {kJdk, kSun, RuntimeSource::Zulu},
      {kJre, kSun, RuntimeSource::Zulu},
      {kJdk, kSun, RuntimeSource::Liberica},
      {kJre, kSun, RuntimeSource::Liberica},
      {kJdk, kSun, RuntimeSource::JavaHome},
      {kJre, kSun, RuntimeSource::JavaHome},
  };
  return families;
}

bool IsFamilySearched(const RuntimeFamily& family, const LaunchSettings& settings) {
  return (settings.both_kinds_acceptable || KindWanted(family.kind, settings)) &&
         (ProviderAcceptable(family.provider, settings) ||
          ProviderFavoured(family.provider, settings));
}

bool IsFamilyFavoured(const RuntimeFamily& family, const LaunchSettings& settings) {
  return KindWanted(family.kind, settings) && ProviderFavoured(family.provider, settings);
}

std::vector<RuntimeCandidate> CollectCandidates(const LaunchSettings& settings,
                                                platform::RuntimeRegistry& registry,
                                                const RuntimeFiles& files) {
  std::vector<RuntimeCandidate> candidates;
  // JAVA_HOME is the last resort: where a registered runtime qualifies, the
  // choice stays the registry's.
  for (const bool java_home_pass : {false, true}) {
    if (java_home_pass && !candidates.empty()) break;
    for (const RuntimeFamily& family : RuntimeFamilies()) {
      if ((family.source == RuntimeSource::JavaHome) != java_home_pass) continue;
      if (!registry.Keeps(family)) continue;
      if (!IsFamilySearched(family, settings)) {
        Trace(L"runtime: not searched: " + registry.Location(family));
        continue;
      }
      Trace(L"runtime: searching " + registry.Location(family));
      CollectFamily(family, settings, registry, files, candidates);
    }
  }
  return candidates;
}

void RankCandidates(std::vector<RuntimeCandidate>& candidates, const LaunchSettings& settings) {
  // The ranking is a lexicographic key, so a stable sort keeps equal
  // candidates in registry order exactly as repeated neighbour exchanges would.
  std::stable_sort(candidates.begin(), candidates.end(),
                   [&](const RuntimeCandidate& a, const RuntimeCandidate& b) {
                     return RanksHigher(a, b, settings);
                   });
}

std::size_t ChooseCandidate(const std::vector<RuntimeCandidate>& ranked,
                            const std::vector<std::wstring>& preferred_versions) {
  for (const std::wstring& preferred : preferred_versions) {
    for (std::size_t i = 0; i < ranked.size(); ++i) {
      if (MatchesPreferred(preferred, ranked[i].version)) {
        Trace(L"runtime: preferred version " + preferred + L" matches " + ranked[i].name);
        return i;
      }
    }
  }
  return 0;
}

std::optional<RuntimeCandidate> SearchRegisteredRuntimes(const LaunchSettings& settings,
                                                         platform::RuntimeRegistry& registry,
                                                         const RuntimeFiles& files) {
  std::vector<RuntimeCandidate> candidates = CollectCandidates(settings, registry, files);
  if (candidates.empty()) {
    Trace(L"runtime: no registered runtime qualifies");
    return std::nullopt;
  }
  RankCandidates(candidates, settings);
  std::wstring order;
  for (const RuntimeCandidate& candidate : candidates) {
    order += (order.empty() ? L"" : L", ") + candidate.name;
  }
  Trace(L"runtime: ranked: " + order);
  const RuntimeCandidate& chosen = candidates[ChooseCandidate(candidates, settings.preferred_versions)];
  Trace(L"runtime: chosen " + chosen.name + L": version " + FormatVersion(chosen.version));
  return chosen;
}

}  // namespace korvan
