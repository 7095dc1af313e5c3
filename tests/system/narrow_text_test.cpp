// Narrow text of the POSIX backend: the bytes of a path must survive the trip
// through a wide string whatever the locale, since the launcher derives every
// file it reads from its own path.
#include "platform/text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace korvan::platform {
namespace {

// Sets the character classification of the process for one test.
class LocaleFor {
 public:
  explicit LocaleFor(const char* name) : previous_(std::setlocale(LC_CTYPE, nullptr)) {
    applied_ = std::setlocale(LC_CTYPE, name) != nullptr;
  }
  ~LocaleFor() { std::setlocale(LC_CTYPE, previous_.c_str()); }
  bool applied() const { return applied_; }

 private:
  std::string previous_;
  bool applied_ = false;
};

struct RoundTripCase {
  const char* locale;
  std::string bytes;
};

class NarrowRoundTripTest : public testing::TestWithParam<RoundTripCase> {};

TEST_P(NarrowRoundTripTest, BytesComeBackUnchanged) {
  const LocaleFor locale(GetParam().locale);
  ASSERT_TRUE(locale.applied()) << GetParam().locale;
  EXPECT_EQ(NarrowFromWide(WideFromNarrow(GetParam().bytes)), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NarrowRoundTripTest,
    testing::Values(
        // A UTF-8 folder name under the C locale, which a launcher started
        // without LANG (a service, cron) runs in.
        RoundTripCase{"C", "/opt/J\xc3\xb6rg/App"},
        RoundTripCase{"C", "\x80\xff/x"},
        // Bytes that are no UTF-8 under a UTF-8 locale.
        RoundTripCase{"C.UTF-8", "/opt/\xff\xfe/\xc3/App"},
        RoundTripCase{"C.UTF-8", "/opt/J\xc3\xb6rg/App"}));

TEST(NarrowText, DecodesValidTextAndReplacesWhatTheLocaleCannotHold) {
  const LocaleFor locale("C.UTF-8");
  ASSERT_TRUE(locale.applied());
  EXPECT_EQ(WideFromNarrow("J\xc3\xb6rg"), L"J\u00f6rg");
  EXPECT_EQ(NarrowFromWide(L"\u20ac"), "\xe2\x82\xac");

  const LocaleFor ascii("C");
  EXPECT_EQ(NarrowFromWide(L"a\u20acb"), "a?b");
}

}  // namespace
}  // namespace korvan::platform
