// PrepareEnvironment against this process's real environment.
#include "jvm/environment_setup.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "launcher/launcher.h"
#include "platform/environment.h"
#include "platform/process.h"

namespace korvan {
namespace {

std::string Variable(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? "<unset>" : value;
}

std::string ThisProgramsFolder() {
  std::wstring path;
  EXPECT_TRUE(platform::ModuleFileName(path));
  const std::string narrow(path.begin(), path.end());
  return narrow.substr(0, narrow.rfind('/') + 1);
}

class PrepareEnvironmentTest : public testing::Test {
 protected:
  void SetUp() override {
    setenv("PATH", "/usr/bin:/bin", 1);
    setenv("KORVAN_TEST_LIBS", "/opt/libs", 1);
    launcher_.jvm_library_path = L"/opt/jre/lib/server/libjvm.so";
  }
  void TearDown() override {
    setenv("PATH", saved_path_.c_str(), 1);
    unsetenv("KORVAN_TEST_LIBS");
  }

  Launcher launcher_;
  std::string saved_path_ = Variable("PATH");
};

TEST_F(PrepareEnvironmentTest, PublishesTheRuntimeAndExtendsThePath) {
  launcher_.settings.system_path = L"%KORVAN_TEST_LIBS%/bin";
  PrepareEnvironment(launcher_);
  EXPECT_EQ(Variable("KORVAN_JVM_PATH"), "/opt/jre/lib/server/libjvm.so");
  EXPECT_EQ(Variable("KORVAN_JVM_HOME"), "/opt/jre");
  EXPECT_EQ(Variable("PATH"), "/opt/libs/bin:/usr/bin:/bin:/opt/jre/bin");
  EXPECT_TRUE(launcher_.vm_options.empty());
}

TEST_F(PrepareEnvironmentTest, PutsTheLibraryPathOptionFirstWithTheInheritedPath) {
  launcher_.vm_options.push_back("-Dalready=there");
  launcher_.settings.library_path = L"%KORVAN_TEST_LIBS%";
  PrepareEnvironment(launcher_);
  ASSERT_EQ(launcher_.vm_options.size(), 2u);
  EXPECT_EQ(launcher_.vm_options[0], "-Djava.library.path=/opt/libs:" + ThisProgramsFolder() +
                                         ":.:/usr/bin:/bin:/opt/jre/lib");
  EXPECT_EQ(Variable("PATH"), "/usr/bin:/bin:/opt/jre/bin");
}

}  // namespace
}  // namespace korvan
