#pragma once
// The memory limit of the control group this process runs in, as the VM
// itself reads it: cgroup v2 "memory.max", else cgroup v1
// "memory.limit_in_bytes", in the process's own group and each group above it
// up to the hierarchy's mount point (the lowest limit holds). The groups come
// from /proc/self/cgroup, the mount points from /proc/self/mountinfo.

#include <cstdint>
#include <optional>
#include <string>

namespace korvan::platform {

// `root` is prefixed to every file read ("" for the real system; a test hands
// in a folder holding proc/self/cgroup, proc/self/mountinfo and the groups'
// files). Nothing when no limit is set or none can be read.
std::optional<std::uint64_t> CgroupMemoryLimit(const std::string& root = "");

}  // namespace korvan::platform
