// KORVAN_APP_HOME: the launcher's folder without its final separator.
#include "launcher/application_home.h"

#include <gtest/gtest.h>

namespace korvan {
namespace {

struct HomeCase {
  const wchar_t* launcher_path;
  wchar_t separator;
  const wchar_t* expected;
};

class ApplicationHomeTest : public testing::TestWithParam<HomeCase> {};

TEST_P(ApplicationHomeTest, IsTheFolderWithoutItsFinalSeparator) {
  EXPECT_EQ(ApplicationHomeOf(GetParam().launcher_path, GetParam().separator),
            GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ApplicationHomeTest,
    testing::Values(HomeCase{L"C:\\Apps\\Tool\\Tool.exe", L'\\', L"C:\\Apps\\Tool"},
                    HomeCase{L"C:\\Tool.exe", L'\\', L"C:\\"},
                    HomeCase{L"\\\\server\\share\\Tool.exe", L'\\', L"\\\\server\\share"},
                    HomeCase{L"/opt/app/bin/app", L'/', L"/opt/app/bin"},
                    HomeCase{L"/app", L'/', L"/"},
                    HomeCase{L"/opt/my app/bin.d/app", L'/', L"/opt/my app/bin.d"},
                    HomeCase{L"app", L'/', L""}));

}  // namespace
}  // namespace korvan
