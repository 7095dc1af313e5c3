#include "platform/memory.h"

#include <windows.h>

namespace korvan::platform {

MemoryFigures ReadMemoryFigures() {
  MEMORYSTATUS status{};
  status.dwLength = sizeof(status);
  GlobalMemoryStatus(&status);
  MemoryFigures figures;
  figures.total_physical_bytes = status.dwTotalPhys;
  figures.available_virtual_bytes = status.dwAvailVirtual;
  return figures;
}

}  // namespace korvan::platform
