#pragma once
// The machine's memory figures that percentage memory options are measured
// against.

#include <cstdint>

namespace korvan::platform {

struct MemoryFigures {
  std::uint64_t total_physical_bytes = 0;     // the physical memory the process may use
  std::uint64_t available_virtual_bytes = 0;  // address space this process has left
};

// Windows: GlobalMemoryStatus (dwTotalPhys, dwAvailVirtual). POSIX: physical
// pages times the page size, or the control group's memory limit when that is
// lower (as in a container); the address space limit (RLIMIT_AS when set, else
// the user address space) less what the process has mapped.
MemoryFigures ReadMemoryFigures();

}  // namespace korvan::platform
