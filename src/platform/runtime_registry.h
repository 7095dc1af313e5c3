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

// Who keeps the registrations of a family. `Classic` are the keys of Java 8
// and older; the others are where newer runtimes register, and `JavaHome` is
// the folder that the JAVA_HOME variable names.
enum class RuntimeSource {
  Classic,
  JavaSoft,
  Adoptium,
  AdoptOpenJdk,
  EclipseFoundation,
  Microsoft,
  Semeru,
  Zulu,
  Liberica,
  JavaHome,
};

// A kind of runtime from one provider; each system knows where its
// registrations are kept.
struct RuntimeFamily {
  RuntimeKind kind;
  RuntimeProvider provider;
  RuntimeSource source = RuntimeSource::Classic;
};

// Which runtimes come before the ranking: the one the user named with
// JAVA_HOME, then the one the system's "java" command runs.
enum class RuntimeStanding { JavaHome = 0, SystemDefault = 1, Registered = 2 };

struct RegisteredRuntime {
  std::wstring name;          // the registration as the system names it
  std::wstring version_text;  // read as a version by the search; empty: from the runtime's files
  RuntimeStanding standing = RuntimeStanding::Registered;
};

class RuntimeRegistry {
 public:
  virtual ~RuntimeRegistry() = default;

  // Whether this system keeps registrations of the family at all; the search
  // passes the others over without a word.
  virtual bool Keeps(const RuntimeFamily& family) = 0;

  // Where the family's registrations are, for the trace.
  virtual std::wstring Location(const RuntimeFamily& family) = 0;

  // The family's registrations in the system's order; none when the family
  // cannot be read.
  virtual std::vector<RegisteredRuntime> ListRuntimes(const RuntimeFamily& family) = 0;

  // The runtime's home folder as registered ("JavaHome", "Path" or
  // "InstallationPath"); nothing when it is missing, empty or unreadable.
  virtual std::optional<std::wstring> ReadJavaHome(const RuntimeFamily& family,
                                                   const RegisteredRuntime& runtime) = 0;
};

// The registrations of the system the launcher runs on.
std::unique_ptr<RuntimeRegistry> OpenRuntimeRegistry();

}  // namespace korvan::platform
