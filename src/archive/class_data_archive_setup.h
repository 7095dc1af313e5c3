#pragma once
// The automatic class-data archive of one launch: one archive (an AOT cache
// from JDK 24 on) per application, runtime and class path in the per-user
// cache folder, used when an earlier run left a complete one, written at exit
// (recorded, and assembled after exit) when there is none.
// Nothing here can fail a start or print to the application's output; what
// it decides goes to the trace.

#include <optional>
#include <string>

#include "jvm/vm_options.h"
#include "runtime/java_version.h"

namespace korvan {

struct ArchiveRequest {
  std::wstring jvm_library_path;
  std::optional<JavaVersion> registered_version;  // the registration's, when it has one
  std::wstring main_class;
};

// Puts the archive options at the front of `plan.options` when they apply.
// A launch that writes holds the archive's lock until the process ends, and
// on its way out (an exit handler, and `plan.exit_hook` for System.exit)
// renames the finished archive into place and seals it, or hands the
// recorded AOT configuration to a detached assembly.
void PrepareClassDataArchive(VmPlan& plan, const ArchiveRequest& request);

// Called just before the application's main: a run that got this far and
// still left no archive (or AOT configuration) marks it as one that cannot be
// written, so later runs do not try again; a VM that never started does not.
void NoteApplicationStarted();

}  // namespace korvan
