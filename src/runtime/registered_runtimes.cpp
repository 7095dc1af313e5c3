#include "runtime/registered_runtimes.h"

#include <algorithm>

#include "messages/trace.h"

namespace korvan {

namespace {

using platform::RuntimeFamily;
using platform::RuntimeKind;
using platform::RuntimeProvider;

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
  const bool javasoft_runtime =
      family.kind == RuntimeKind::Jre && family.provider == RuntimeProvider::Sun;
  return javasoft_runtime && kind == JvmKind::FavorServer ? JvmKind::Any : kind;
}

std::wstring HomeOf(const RuntimeFamily& family, const std::wstring& java_home,
                    const RuntimeFiles& files) {
  const std::wstring home = WithTrailingSeparator(java_home, files.layout.separator);
  if (family.kind != RuntimeKind::Jdk) return home;
  const std::wstring runtime = home + files.layout.jdk_runtime_folder;
  if (files.layout.jdk_runtime_folder_only_when_present && !files.exists(runtime)) return home;
  return runtime;
}

void CollectFamily(const RuntimeFamily& family, const LaunchSettings& settings,
                   platform::RuntimeRegistry& registry, const RuntimeFiles& files,
                   std::vector<RuntimeCandidate>& candidates) {
  const bool favoured = IsFamilyFavoured(family, settings);
  for (const platform::RegisteredRuntime& runtime : registry.ListRuntimes(family)) {
    const JavaVersion version = ParseVersion(runtime.version_text, kVersionFillLow);
    const std::wstring label = L"runtime: registered " + runtime.name;
    Trace(label + L": version " + FormatVersion(version));
    if (!WithinLimits(version, settings.minimum_version, settings.maximum_version)) {
      Trace(label + L" skipped: outside the version limits");
      continue;
    }
    const std::optional<std::wstring> java_home = registry.ReadJavaHome(family, runtime);
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
    Trace(label + L": candidate " + library->path + (library->server ? L" (server)" : L"") +
          (favoured ? L" (favoured)" : L""));
    candidates.push_back(RuntimeCandidate{runtime.name, version, home, library->server, favoured});
  }
}

bool RanksHigher(const RuntimeCandidate& later, const RuntimeCandidate& earlier,
                 const LaunchSettings& settings) {
  if (settings.both_kinds_acceptable && later.favoured != earlier.favoured) return later.favoured;
  if (settings.jvm_kind == JvmKind::FavorServer && later.server != earlier.server) {
    return later.server;
  }
  return CompareVersions(later.version, earlier.version) > 0;
}

}  // namespace

const std::vector<RuntimeFamily>& RuntimeFamilies() {
  static const std::vector<RuntimeFamily> families{
      {RuntimeKind::Jdk, RuntimeProvider::Sun},
      {RuntimeKind::Jre, RuntimeProvider::Sun},
      {RuntimeKind::Jre, RuntimeProvider::JRockit},
      {RuntimeKind::Jdk, RuntimeProvider::JRockit},
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
  for (const RuntimeFamily& family : RuntimeFamilies()) {
    if (!IsFamilySearched(family, settings)) {
      Trace(L"runtime: not searched: " + registry.Location(family));
      continue;
    }
    Trace(L"runtime: searching " + registry.Location(family));
    CollectFamily(family, settings, registry, files, candidates);
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
