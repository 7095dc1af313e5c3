#include "platform/memory.h"

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>

#include "platform/posix/cgroup_memory.h"

namespace korvan::platform {

namespace {

// The user half of the x86_64 address space (47 bits) less its top guard page,
// the most a process can map when no limit is set.
constexpr std::uint64_t kUserAddressSpaceBytes = (std::uint64_t{1} << 47) - 4096;

std::uint64_t PageSize() {
  const long size = sysconf(_SC_PAGESIZE);
  return size > 0 ? static_cast<std::uint64_t>(size) : 4096;
}

std::uint64_t AddressSpaceLimit() {
  rlimit limit{};
  if (getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY &&
      limit.rlim_cur < kUserAddressSpaceBytes) {
    return limit.rlim_cur;
  }
  return kUserAddressSpaceBytes;
}

// The process's mapped size: the first figure of /proc/self/statm, in pages.
std::uint64_t MappedBytes() {
  std::FILE* statm = std::fopen("/proc/self/statm", "r");
  if (statm == nullptr) return 0;
  unsigned long long pages = 0;
  const int read = std::fscanf(statm, "%llu", &pages);
  std::fclose(statm);
  return read == 1 ? pages * PageSize() : 0;
}

}  // namespace

MemoryFigures ReadMemoryFigures() {
  MemoryFigures figures;
  const long pages = sysconf(_SC_PHYS_PAGES);
  if (pages > 0) figures.total_physical_bytes = static_cast<std::uint64_t>(pages) * PageSize();
  // In a container the memory the process may use is its group's limit, as
  // the VM itself counts it.
  const std::optional<std::uint64_t> group_limit = CgroupMemoryLimit();
  if (group_limit && *group_limit < figures.total_physical_bytes) {
    figures.total_physical_bytes = *group_limit;
  }
  const std::uint64_t limit = AddressSpaceLimit();
  const std::uint64_t mapped = MappedBytes();
  figures.available_virtual_bytes = mapped < limit ? limit - mapped : 0;
  return figures;
}

}  // namespace korvan::platform
