#include "settings/setting_values.h"

#include <gtest/gtest.h>

namespace korvan {
namespace {

struct JvmSourceCase {
  const wchar_t* value;
  bool jdk_wanted;
  bool jre_wanted;
  bool both_kinds_acceptable;
};

class JvmSourceTest : public testing::TestWithParam<JvmSourceCase> {};

TEST_P(JvmSourceTest, SetsTheThreeKindFlags) {
  LaunchSettings settings;
  ApplyJvmSource(GetParam().value, settings);
  EXPECT_EQ(settings.jdk_wanted, GetParam().jdk_wanted);
  EXPECT_EQ(settings.jre_wanted, GetParam().jre_wanted);
  EXPECT_EQ(settings.both_kinds_acceptable, GetParam().both_kinds_acceptable);
}

INSTANTIATE_TEST_SUITE_P(Values, JvmSourceTest,
                         testing::Values(JvmSourceCase{L"", true, true, true},
                                         JvmSourceCase{L"favor_JRE", false, true, true},
                                         JvmSourceCase{L"favor_JDK", true, false, true},
                                         JvmSourceCase{L"only_JRE", false, true, false},
                                         JvmSourceCase{L"only_JDK", true, false, false},
                                         JvmSourceCase{L"only_jdk", false, false, false},
                                         JvmSourceCase{L" only_JDK", false, false, false},
                                         JvmSourceCase{L"JDK", false, false, false}));

TEST(JvmSource, EmptyValueLeavesBothKindsAcceptableAsItWas) {
  LaunchSettings settings;
  settings.both_kinds_acceptable = false;
  ApplyJvmSource(L"", settings);
  EXPECT_FALSE(settings.both_kinds_acceptable);
  EXPECT_TRUE(settings.jdk_wanted);
  EXPECT_TRUE(settings.jre_wanted);
}

struct VmProviderCase {
  const wchar_t* value;
  bool jrockit_acceptable;
  bool jrockit_favoured;
  bool sun_acceptable;
  bool sun_favoured;
};

class VmProviderTest : public testing::TestWithParam<VmProviderCase> {};

TEST_P(VmProviderTest, SetsTheFourProviderFlags) {
  LaunchSettings settings;
  ApplyVmProvider(GetParam().value, settings);
  EXPECT_EQ(settings.jrockit_acceptable, GetParam().jrockit_acceptable);
  EXPECT_EQ(settings.jrockit_favoured, GetParam().jrockit_favoured);
  EXPECT_EQ(settings.sun_acceptable, GetParam().sun_acceptable);
  EXPECT_EQ(settings.sun_favoured, GetParam().sun_favoured);
}

INSTANTIATE_TEST_SUITE_P(Values, VmProviderTest,
                         testing::Values(VmProviderCase{L"", false, false, true, true},
                                         VmProviderCase{L"jrockit", true, true, false, false},
                                         VmProviderCase{L"JRockit", true, true, false, false},
                                         VmProviderCase{L"favor_sun", true, false, true, true},
                                         VmProviderCase{L"FAVOR_JROCKIT", true, true, true, false},
                                         VmProviderCase{L"Any", true, false, true, false},
                                         VmProviderCase{L"sun", false, false, true, true},
                                         VmProviderCase{L"jrockit ", false, false, true, true}));

TEST(VmProvider, UnknownValueChangesNothing) {
  LaunchSettings settings;
  ApplyVmProvider(L"jrockit", settings);
  ApplyVmProvider(L"ibm", settings);
  EXPECT_TRUE(settings.jrockit_acceptable);
  EXPECT_TRUE(settings.jrockit_favoured);
  EXPECT_FALSE(settings.sun_acceptable);
  EXPECT_FALSE(settings.sun_favoured);
}

struct ComparisonCase {
  const wchar_t* value;
  bool service;
  JvmKind jvm_kind;
  bool yes_any_case;
  bool yes_exact;
};

class ComparisonRulesTest : public testing::TestWithParam<ComparisonCase> {};

TEST_P(ComparisonRulesTest, ExactOrAnyCaseAsEachKeySays) {
  const ComparisonCase& c = GetParam();
  EXPECT_EQ(IsServiceApplicationType(c.value), c.service);
  EXPECT_EQ(JvmKindFrom(c.value), c.jvm_kind);
  EXPECT_EQ(IsYesInAnyCase(c.value), c.yes_any_case);
  EXPECT_EQ(IsExactLowerCaseYes(c.value), c.yes_exact);
}

INSTANTIATE_TEST_SUITE_P(
    Values, ComparisonRulesTest,
    testing::Values(ComparisonCase{L"", false, JvmKind::Any, false, false},
                    ComparisonCase{L"service", true, JvmKind::Any, false, false},
                    ComparisonCase{L"Service", false, JvmKind::Any, false, false},
                    ComparisonCase{L"service ", false, JvmKind::Any, false, false},
                    ComparisonCase{L"server", false, JvmKind::Server, false, false},
                    ComparisonCase{L"Server", false, JvmKind::Any, false, false},
                    ComparisonCase{L"favor_server", false, JvmKind::FavorServer, false, false},
                    ComparisonCase{L"FAVOR_SERVER", false, JvmKind::Any, false, false},
                    ComparisonCase{L"yes", false, JvmKind::Any, true, true},
                    ComparisonCase{L"Yes", false, JvmKind::Any, true, false},
                    ComparisonCase{L"YES", false, JvmKind::Any, true, false},
                    ComparisonCase{L" yes", false, JvmKind::Any, false, false},
                    ComparisonCase{L"y", false, JvmKind::Any, false, false},
                    ComparisonCase{L"true", false, JvmKind::Any, false, false}));

TEST(InternalClassName, TurnsEveryDotIntoASlash) {
  EXPECT_EQ(InternalClassName(L"com.example.App"), L"com/example/App");
  EXPECT_EQ(InternalClassName(L"App"), L"App");
  EXPECT_EQ(InternalClassName(L".a..b."), L"/a//b/");
}

}  // namespace
}  // namespace korvan
