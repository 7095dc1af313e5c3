#pragma once
// The rules of the automatic class-data archive: which runtimes can write and
// read one, and of which kind, which VM options rule it out or change what it
// holds, how its name is made, and what one launch does with it.
//
// An archive is written under a ".part" name, and only a complete one is
// renamed into place and sealed with its size and time, so a reader never maps
// a file that is still being written or was cut short. JDK 17 dies of SIGBUS
// on a truncated archive, so the seal is checked before an archive is ever
// handed over.
//
// JDK 13 to 23 write a dynamic archive at the application's exit. From JDK 24
// on the launcher keeps an AOT cache instead: a run records the AOT
// configuration, and after it ended a detached `java -XX:AOTMode=create`
// assembles the cache, which is sealed only when that succeeded.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "runtime/java_version.h"

namespace korvan {

enum class ArchiveKind {
  None,      // before JDK 13
  Dynamic,   // -XX:ArchiveClassesAtExit, read with -XX:SharedArchiveFile
  AotCache,  // JDK 24 on: -XX:AOTMode=record, then create; read with -XX:AOTCache
};

ArchiveKind ArchiveKindFor(const JavaVersion& version);

// The user's own archive handling: -Xshare:..., and any -XX: option about
// shared archives, class lists or ahead-of-time caches.
bool NamesArchiveOption(const std::string& option);

// Options that the archive's content depends on. Memory and stack sizes,
// logging and the launcher's descriptive properties (-Dsun.java.command holds
// the arguments) do not; java.* properties and everything else may.
bool AffectsArchive(const std::string& option);

// What keeps the VM's archive messages ("Unable to use shared archive...") off
// the application's output; the "aot" log tags exist from JDK 24 on, and an
// older VM refuses to start when it meets them.
std::vector<std::string> SilencingOptions(const JavaVersion& version);

// A stable 64-bit hash (FNV-1a) of `bytes`, as 16 lower-case hex digits.
std::wstring HashName(const std::string& bytes);

// The seal written beside a complete archive, and its check.
std::string SealText(std::uint64_t size, std::int64_t modified);
bool SealMatches(const std::string& seal, std::uint64_t size, std::int64_t modified);

enum class ArchiveState {
  Missing,   // no archive yet
  Sealed,    // complete, as its seal says
  Unsealed,  // a file without a matching seal: cut short, replaced or corrupted
};

// What is known of one launch when it decides.
struct ArchiveSituation {
  bool user_names_archive = false;
  std::optional<JavaVersion> version;     // nothing when the runtime's version is unknown
  bool base_archive_present = false;      // the runtime's own classes.jsa (dynamic archive)
  bool java_command_present = false;      // bin/java, which assembles an AOT cache
  bool class_path_holds_folder = false;   // classes or resources in a folder, not a jar
  bool write_failed = false;              // an earlier run could not write or assemble this archive
  bool cache_folder_ready = false;        // the cache folder exists or was made
  bool paths_fit_narrow_text = true;      // the archive's path survives the VM option's encoding
  bool writer = false;                    // this launch holds the archive's lock
  bool room_to_write = true;              // the cache's disk has room for what a writer writes
  ArchiveState state = ArchiveState::Missing;
};

// Write: the dynamic archive at exit, or the AOT configuration, from which
// the cache is assembled after exit.
enum class ArchiveAction { None, Use, Write };

// What a writer needs free on the cache's disk. A VM that cannot write its
// archive or AOT configuration at exit ends the process with exit code 1, so
// a nearly full disk gets no writer; the AOT configuration and the cache
// assembled from it take a few tens of MiB each for a large application.
inline constexpr std::uint64_t kRoomToWrite = 256ULL << 20;

struct ArchiveDecision {
  ArchiveAction action = ArchiveAction::None;
  std::wstring reason;  // for the trace
};

// No option of the user's says otherwise, and the runtime can write and read
// an archive: only then is the cache looked at.
bool RuntimeTakesArchive(const ArchiveSituation& situation);

ArchiveDecision DecideArchive(const ArchiveSituation& situation);

// The options of a run that records the AOT configuration into
// `configuration`, after the silencing options. The VM says on its own output
// that it recorded one, unless its output is turned off.
std::vector<std::string> AotRecordOptions(const std::string& configuration);

// The arguments of `java` that assemble the AOT cache `cache` from
// `configuration` for a launch with `launch_options` (the options before the
// launcher's archive options): the class path as -cp, logging, agents and
// recordings left out, everything else as it was, since the cache is used
// only by a VM started the same way.
std::vector<std::string> AotAssemblyArguments(const std::vector<std::string>& launch_options,
                                              const std::string& configuration,
                                              const std::string& cache,
                                              const JavaVersion& version);

}  // namespace korvan
