#pragma once
// Java runtimes registered as folders: every folder directly below a runtime
// root (/usr/lib/jvm and SDKMAN's candidates/java unless KORVAN_JVM_ROOT names
// others) is one registration, and so is the folder that JAVA_HOME names.
// Links are followed and each real folder counts once. A folder with bin/javac
// is a JDK, any other a JRE; all are of the Sun provider. The version is
// JAVA_VERSION of the folder's "release" file, else its name. JAVA_HOME's
// runtime and the runtime of the system's "java" command stand before the
// others, as a user of this system expects.

#include <set>
#include <string>
#include <vector>

#include "platform/runtime_registry.h"
#include "platform/shared/release_file.h"

namespace korvan::platform {

struct RuntimeFolderSources {
  std::vector<std::wstring> roots;  // every folder below one is a runtime
  std::wstring java_home;           // JAVA_HOME; empty when unset
  std::wstring system_java;         // the "java" command found on PATH; empty when none
};

class RuntimeFolderRegistry : public RuntimeRegistry {
 public:
  explicit RuntimeFolderRegistry(std::vector<std::wstring> roots);
  explicit RuntimeFolderRegistry(RuntimeFolderSources sources);

  bool Keeps(const RuntimeFamily& family) override;
  std::wstring Location(const RuntimeFamily& family) override;
  std::vector<RegisteredRuntime> ListRuntimes(const RuntimeFamily& family) override;
  std::optional<std::wstring> ReadJavaHome(const RuntimeFamily& family,
                                           const RegisteredRuntime& runtime) override;

 private:
  struct Folder {
    std::wstring real_path;
    RuntimeKind kind;
    std::wstring version_text;
    RuntimeStanding standing;
  };
  const std::vector<Folder>& Scan();
  void AddFolder(const std::string& path, std::set<std::string>& seen);
  RuntimeStanding StandingOf(const std::string& real_path) const;

  RuntimeFolderSources sources_;
  std::string java_home_real_;
  std::string system_java_home_real_;
  std::vector<Folder> folders_;
  bool scanned_ = false;
};

// The roots named by a KORVAN_JVM_ROOT value: folders separated by ":", empty
// items dropped. An empty or absent value gives /usr/lib/jvm.
std::vector<std::wstring> RuntimeRootsFrom(const std::wstring& variable);

// Where SDKMAN keeps its Java runtimes: $SDKMAN_DIR/candidates/java, else
// ~/.sdkman/candidates/java; empty when neither variable is set.
std::wstring SdkmanJavaRoot(const std::wstring& sdkman_dir, const std::wstring& home);

// The first "java" on a PATH value that is an executable file; empty entries
// (the current folder) are never searched. Empty when there is none.
std::wstring FindCommandOnPath(const std::wstring& path_variable, const std::wstring& command);

}  // namespace korvan::platform
