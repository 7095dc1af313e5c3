// PrepareEnvironment against this process's real environment.
#include "jvm/environment_setup.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/environment.h"
#include "platform/process.h"

namespace korvan {
namespace {

std::string Variable(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? "<unset>" : value;
}

class PrepareEnvironmentTest : public testing::Test {
 protected:
  void SetUp() override {
    setenv("PATH", "/usr/bin:/bin", 1);
    setenv("KORVAN_TEST_LIBS", "/opt/libs", 1);
    setenv("LD_LIBRARY_PATH", "/usr/local/lib", 1);
  }
  std::wstring Prepare() {
    return PrepareEnvironment(settings_, L"/opt/jre/lib/server/libjvm.so", L"/opt/app/");
  }
  void TearDown() override {
    setenv("PATH", saved_path_.c_str(), 1);
    unsetenv("KORVAN_TEST_LIBS");
    if (saved_library_path_ == "<unset>") {
      unsetenv("LD_LIBRARY_PATH");
    } else {
      setenv("LD_LIBRARY_PATH", saved_library_path_.c_str(), 1);
    }
  }

  LaunchSettings settings_;
  std::string saved_path_ = Variable("PATH");
  std::string saved_library_path_ = Variable("LD_LIBRARY_PATH");
};

TEST_F(PrepareEnvironmentTest, PublishesTheRuntimeAndExtendsThePath) {
  settings_.system_path = L"%KORVAN_TEST_LIBS%/bin";
  EXPECT_EQ(Prepare(), L"");
  EXPECT_EQ(Variable("KORVAN_JVM_PATH"), "/opt/jre/lib/server/libjvm.so");
  EXPECT_EQ(Variable("KORVAN_JVM_HOME"), "/opt/jre");
  EXPECT_EQ(Variable("PATH"), "/opt/libs/bin:/usr/bin:/bin:/opt/jre/bin");
}

// On Linux the library path goes before LD_LIBRARY_PATH, from which the VM
// builds its own; no option, so neither "." nor PATH reach it.
TEST_F(PrepareEnvironmentTest, PutsTheLibraryPathBeforeTheInheritedLoaderPath) {
  settings_.library_path = L"%KORVAN_TEST_LIBS%";
  EXPECT_EQ(Prepare(), L"");
  EXPECT_EQ(Variable("LD_LIBRARY_PATH"), "/opt/libs:/opt/app:/usr/local/lib");
  EXPECT_EQ(Variable("PATH"), "/usr/bin:/bin:/opt/jre/bin");
}

TEST_F(PrepareEnvironmentTest, LeavesTheLoaderPathAloneWithoutALibraryPath) {
  EXPECT_EQ(Prepare(), L"");
  EXPECT_EQ(Variable("LD_LIBRARY_PATH"), "/usr/local/lib");
}

}  // namespace
}  // namespace korvan
