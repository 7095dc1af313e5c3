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
  }
  std::wstring Prepare() {
    return PrepareEnvironment(settings_, L"/opt/jre/lib/server/libjvm.so", L"/opt/app/");
  }
  void TearDown() override {
    setenv("PATH", saved_path_.c_str(), 1);
    unsetenv("KORVAN_TEST_LIBS");
  }

  LaunchSettings settings_;
  std::string saved_path_ = Variable("PATH");
};

TEST_F(PrepareEnvironmentTest, PublishesTheRuntimeAndExtendsThePath) {
  settings_.system_path = L"%KORVAN_TEST_LIBS%/bin";
  EXPECT_EQ(Prepare(), L"");
  EXPECT_EQ(Variable("KORVAN_JVM_PATH"), "/opt/jre/lib/server/libjvm.so");
  EXPECT_EQ(Variable("KORVAN_JVM_HOME"), "/opt/jre");
  EXPECT_EQ(Variable("PATH"), "/opt/libs/bin:/usr/bin:/bin:/opt/jre/bin");
}

TEST_F(PrepareEnvironmentTest, BuildsTheLibraryPathOptionWithTheInheritedPath) {
  settings_.library_path = L"%KORVAN_TEST_LIBS%";
  EXPECT_EQ(Prepare(), L"-Djava.library.path=/opt/libs:/opt/app/:.:/usr/bin:/bin:/opt/jre/lib");
  EXPECT_EQ(Variable("PATH"), "/usr/bin:/bin:/opt/jre/bin");
}

}  // namespace
}  // namespace korvan
