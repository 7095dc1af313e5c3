#include "platform/posix/linux_wording.h"

namespace korvan::platform {

const wchar_t* LinuxMessageText(int id) {
  switch (id) {
    case 202:  // a failed system call, around an inner text
      return L"System error: %s.\n";
    case 222:  // the JVM library does not load
      return L"Failed to load Java VM library: %s.\n";
    default:
      return nullptr;
  }
}

}  // namespace korvan::platform
