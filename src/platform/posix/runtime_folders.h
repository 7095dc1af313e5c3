#pragma once
// Java runtimes registered as folders: every folder directly below a runtime
// root (/usr/lib/jvm unless KORVAN_JVM_ROOT names others) is one
// registration. Links are followed and each real folder counts once. A folder
// with bin/javac is a JDK, any other a JRE; all are of the Sun provider. The
// version is JAVA_VERSION of the folder's "release" file, else its name.

#include <string>
#include <vector>

#include "platform/runtime_registry.h"

namespace korvan::platform {

class RuntimeFolderRegistry : public RuntimeRegistry {
 public:
  explicit RuntimeFolderRegistry(std::vector<std::wstring> roots);

  std::wstring Location(const RuntimeFamily& family) override;
  std::vector<RegisteredRuntime> ListRuntimes(const RuntimeFamily& family) override;
  std::optional<std::wstring> ReadJavaHome(const RuntimeFamily& family,
                                           const RegisteredRuntime& runtime) override;

 private:
  struct Folder {
    std::wstring real_path;
    RuntimeKind kind;
    std::wstring version_text;
  };
  const std::vector<Folder>& Scan();

  std::vector<std::wstring> roots_;
  std::vector<Folder> folders_;
  bool scanned_ = false;
};

// The roots named by a KORVAN_JVM_ROOT value: folders separated by ":", empty
// items dropped. An empty or absent value gives /usr/lib/jvm.
std::vector<std::wstring> RuntimeRootsFrom(const std::wstring& variable);

// JAVA_VERSION of a "release" file's text, its quotes removed; empty when the
// text has none.
std::wstring ReleaseFileVersion(const std::string& text);

}  // namespace korvan::platform
