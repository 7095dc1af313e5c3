#pragma once
// Where Java runtimes register themselves: the registry on Windows, the
// runtime folders of the system elsewhere. The runtime search reads it one
// family at a time, and only the families it is asked to search.

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace korvan::platform {

enum class RuntimeKind { Jdk, Jre };
enum class RuntimeProvider { Sun, JRockit };

// A kind of runtime from one provider; each system knows where its
// registrations are kept.
struct RuntimeFamily {
  RuntimeKind kind;
  RuntimeProvider provider;
};

struct RegisteredRuntime {
  std::wstring name;          // the registration as the system names it
  std::wstring version_text;  // read as a version by the search
};

class RuntimeRegistry {
 public:
  virtual ~RuntimeRegistry() = default;

  // Where the family's registrations are, for the trace.
  virtual std::wstring Location(const RuntimeFamily& family) = 0;

  // The family's registrations in the system's order; none when the family
  // cannot be read.
  virtual std::vector<RegisteredRuntime> ListRuntimes(const RuntimeFamily& family) = 0;

  // The runtime's home folder as registered ("JavaHome"); nothing when it is
  // missing, empty or unreadable.
  virtual std::optional<std::wstring> ReadJavaHome(const RuntimeFamily& family,
                                                   const RegisteredRuntime& runtime) = 0;
};

// The registrations of the system the launcher runs on.
std::unique_ptr<RuntimeRegistry> OpenRuntimeRegistry();

}  // namespace korvan::platform
