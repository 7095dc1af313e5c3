#include "archive/class_data_archive.h"

#include <cstdio>
#include <string_view>

namespace korvan {

namespace {

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

}  // namespace

ArchiveKind ArchiveKindFor(const JavaVersion& version) {
  // "1.8" and older name themselves with a leading 1.
  if (version.group_count == 0 || version.components[0] < 13) return ArchiveKind::None;
  return version.components[0] >= 24 ? ArchiveKind::AotCache : ArchiveKind::Dynamic;
}

bool NamesArchiveOption(const std::string& option) {
  if (StartsWith(option, "-Xshare")) return true;
  if (!StartsWith(option, "-XX:")) return false;
  std::string_view name = std::string_view(option).substr(4);
  if (!name.empty() && (name[0] == '+' || name[0] == '-')) name.remove_prefix(1);
  return Contains(name, "Shared") || Contains(name, "Archive") || StartsWith(name, "AOT") ||
         Contains(name, "ClassList") || StartsWith(name, "CacheDataStore");
}

bool AffectsArchive(const std::string& option) {
  for (const char* size : {"-Xmx", "-Xms", "-Xss", "-Xmn", "-Xlog", "-verbose"}) {
    if (StartsWith(option, size)) return false;
  }
  if (StartsWith(option, "-D")) return StartsWith(option, "-Djava.");
  return true;
}

std::vector<std::string> SilencingOptions(const JavaVersion& version) {
  std::vector<std::string> options{"-Xlog:cds*=off"};
  if (version.components[0] >= 24) options.emplace_back("-Xlog:aot*=off");
  return options;
}

std::wstring HashName(const std::string& bytes) {
  std::uint64_t hash = 14695981039346656037ULL;
  for (const unsigned char byte : bytes) {
    hash ^= byte;
    hash *= 1099511628211ULL;
  }
  wchar_t digits[17];
  std::swprintf(digits, 17, L"%016llx", static_cast<unsigned long long>(hash));
  return digits;
}

std::string SealText(std::uint64_t size, std::int64_t modified) {
  return std::to_string(size) + " " + std::to_string(modified) + "\n";
}

bool SealMatches(const std::string& seal, std::uint64_t size, std::int64_t modified) {
  return size > 0 && seal == SealText(size, modified);
}

namespace {

// What the runtime must hold for its kind of archive.
bool RuntimeHasWhatItsKindNeeds(const ArchiveSituation& situation, ArchiveKind kind) {
  return kind == ArchiveKind::AotCache ? situation.java_command_present
                                       : situation.base_archive_present;
}

}  // namespace

bool RuntimeTakesArchive(const ArchiveSituation& situation) {
  if (situation.user_names_archive || situation.class_path_holds_folder || !situation.version) return false;
  const ArchiveKind kind = ArchiveKindFor(*situation.version);
  return kind != ArchiveKind::None && RuntimeHasWhatItsKindNeeds(situation, kind);
}

ArchiveDecision DecideArchive(const ArchiveSituation& situation) {
  if (situation.user_names_archive) {
    return {ArchiveAction::None, L"off: the VM parameters or JAVA_TOOL_OPTIONS handle class sharing themselves"};
  }
  if (!situation.version) return {ArchiveAction::None, L"off: the runtime's version is unknown"};
  const ArchiveKind kind = ArchiveKindFor(*situation.version);
  if (kind == ArchiveKind::None) {
    return {ArchiveAction::None, L"off: the runtime is older than Java 13"};
  }
  // The VM refuses to archive classes from a folder: writing would end the
  // run with exit code 1, and an AOT cache cannot be assembled.
  if (situation.class_path_holds_folder) {
    return {ArchiveAction::None, L"off: the class path holds a folder; only classes from jar files are archived"};
  }
  const bool aot = kind == ArchiveKind::AotCache;
  if (!RuntimeHasWhatItsKindNeeds(situation, kind)) {
    return {ArchiveAction::None, aot ? L"off: the runtime has no java command to assemble an AOT cache"
                                     : L"off: the runtime has no base archive (classes.jsa)"};
  }
  if (!situation.cache_folder_ready) {
    return {ArchiveAction::None, L"off: the cache folder cannot be made"};
  }
  if (!situation.paths_fit_narrow_text) {
    return {ArchiveAction::None, L"off: the cache folder's path cannot be handed to the VM"};
  }
  if (situation.state == ArchiveState::Sealed) {
    return {ArchiveAction::Use, aot ? L"using the AOT cache of an earlier run"
                                    : L"using the archive of an earlier run"};
  }
  // Writing again would fail again: the next change of the runtime or the
  // class path gets a new name, and so another try.
  if (situation.write_failed) {
    return {ArchiveAction::None, aot ? L"off: the AOT cache could not be assembled from an earlier run"
                                     : L"off: an earlier run could not write the archive"};
  }
  if (!situation.writer) {
    return {ArchiveAction::None,
            L"off for this run: another launch is writing the archive, or the cache folder "
            L"is not writable"};
  }
  if (!situation.room_to_write) {
    return {ArchiveAction::None, L"off for this run: the cache folder's disk has less than 256 MiB free"};
  }
  if (aot) {
    return {ArchiveAction::Write,
            situation.state == ArchiveState::Unsealed
                ? L"recording the AOT configuration anew: the AOT cache there is incomplete"
                : L"recording the AOT configuration; the AOT cache is assembled after exit"};
  }
  if (situation.state == ArchiveState::Unsealed) {
    return {ArchiveAction::Write, L"writing it anew at exit: the archive there is incomplete"};
  }
  return {ArchiveAction::Write, L"writing it at exit: none yet for this runtime and class path"};
}

std::vector<std::string> AotRecordOptions(const std::string& configuration) {
  return {"-XX:+UnlockDiagnosticVMOptions", "-XX:-DisplayVMOutput", "-XX:AOTMode=record",
          "-XX:AOTConfiguration=" + configuration};
}

namespace {

// Options that do their own work beside the application, which the assembly
// must not repeat after it: logs and recordings written to the user's files,
// agents, a debugger waiting for its connection.
bool RunsBesideTheApplication(const std::string& option) {
  for (const char* prefix : {"-Xlog", "-verbose", "-Xloggc", "-agentlib", "-agentpath", "-javaagent",
                             "-Xrunjdwp", "-Xdebug", "-XX:StartFlightRecording",
                             "-XX:FlightRecorderOptions"}) {
    if (StartsWith(option, prefix)) return true;
  }
  return false;
}

// The application's arguments, which have no business in the assembly.
bool CarriesApplicationArguments(const std::string& option) {
  return StartsWith(option, "-Dsun.java.command=");
}

}  // namespace

std::vector<std::string> AotAssemblyArguments(const std::vector<std::string>& launch_options,
                                              const std::string& configuration,
                                              const std::string& cache,
                                              const JavaVersion& version) {
  constexpr std::string_view kClassPath = "-Djava.class.path=";
  std::vector<std::string> arguments = SilencingOptions(version);
  arguments.insert(arguments.end(), {"-XX:AOTMode=create", "-XX:AOTConfiguration=" + configuration,
                                     "-XX:AOTCache=" + cache});
  for (const std::string& option : launch_options) {
    if (RunsBesideTheApplication(option) || CarriesApplicationArguments(option)) continue;
    if (StartsWith(option, kClassPath)) {
      arguments.insert(arguments.end(), {"-cp", option.substr(kClassPath.size())});
    } else {
      arguments.push_back(option);
    }
  }
  return arguments;
}

}  // namespace korvan
