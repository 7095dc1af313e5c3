#include "platform/runtime_layout.h"

namespace korvan::platform {

namespace {

// The folder below lib/ where a JDK 8 of this machine keeps its JVM libraries.
#if defined(__x86_64__)
constexpr const wchar_t kJdk8MachineFolder[] = L"amd64";
#elif defined(__aarch64__)
constexpr const wchar_t kJdk8MachineFolder[] = L"aarch64";
#elif defined(__i386__)
constexpr const wchar_t kJdk8MachineFolder[] = L"i386";
#elif defined(__arm__)
constexpr const wchar_t kJdk8MachineFolder[] = L"arm";
#else
#error "no JDK 8 library folder is known for this machine yet"
#endif

}  // namespace

const RuntimeLayout& GetRuntimeLayout() {
  static const RuntimeLayout layout = LinuxRuntimeLayout(kJdk8MachineFolder);
  return layout;
}

}  // namespace korvan::platform
