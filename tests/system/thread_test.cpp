#include "platform/thread.h"

#include <gtest/gtest.h>
#include <pthread.h>

namespace korvan::platform {
namespace {

struct StackProbe {
  std::size_t stack_size = 0;
  bool ran = false;
};

int MeasureStack(void* context) {
  auto* probe = static_cast<StackProbe*>(context);
  probe->ran = true;
  pthread_attr_t attributes;
  if (pthread_getattr_np(pthread_self(), &attributes) == 0) {
    pthread_attr_getstacksize(&attributes, &probe->stack_size);
    pthread_attr_destroy(&attributes);
  }
  return 42;
}

class RunOnNewThreadTest : public testing::TestWithParam<std::uint64_t> {};

TEST_P(RunOnNewThreadTest, GivesTheThreadAtLeastTheStackAskedFor) {
  StackProbe probe;
  EXPECT_EQ(RunOnNewThread(MeasureStack, &probe, GetParam()), std::optional<int>(42));
  EXPECT_TRUE(probe.ran);
  // The C library may hand out a larger stack it has cached, never a smaller one.
  EXPECT_GE(probe.stack_size, GetParam());
}

INSTANTIATE_TEST_SUITE_P(Sizes, RunOnNewThreadTest,
                         testing::Values(0u, 1u, 100000u, 1u << 20, 3u << 20, 256u << 20));

TEST(RunOnNewThread, ReportsAThreadItCannotCreateWithoutRunningTheWork) {
  StackProbe probe;
  EXPECT_EQ(RunOnNewThread(MeasureStack, &probe, std::uint64_t{1} << 62), std::nullopt);
  EXPECT_FALSE(probe.ran);
}

}  // namespace
}  // namespace korvan::platform
