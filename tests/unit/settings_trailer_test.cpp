#include "platform/shared/settings_trailer.h"

#include <gtest/gtest.h>

namespace korvan::platform {
namespace {

std::optional<std::uint32_t> PayloadSizeOf(const std::string& file) {
  if (file.size() < kSettingsTrailerFooterSize) return SettingsTrailerPayloadSize("", file.size());
  return SettingsTrailerPayloadSize(file.substr(file.size() - kSettingsTrailerFooterSize),
                                    file.size());
}

TEST(SettingsTrailer, CarriesItsPayloadAfterTheExecutable) {
  const std::string executable = "\x7f" "ELF...code...";
  const std::string payload("enciphered\0bytes", 16);
  const std::string file = executable + *MakeSettingsTrailer(payload);
  EXPECT_EQ(file.substr(file.size() - 12), std::string("\x10\0\0\0KORVSET1", 12));
  ASSERT_EQ(PayloadSizeOf(file), 16u);
  EXPECT_EQ(file.substr(executable.size(), 16), payload);
}

TEST(SettingsTrailer, EmptyPayloadIsATrailerToo) {
  EXPECT_EQ(PayloadSizeOf("exe" + *MakeSettingsTrailer("")), 0u);
}

struct BrokenCase {
  const char* name;
  std::string file;
};

class BrokenTrailerTest : public testing::TestWithParam<BrokenCase> {};

TEST_P(BrokenTrailerTest, MeansNoSettingsText) { EXPECT_EQ(PayloadSizeOf(GetParam().file), std::nullopt); }

INSTANTIATE_TEST_SUITE_P(
    Cases, BrokenTrailerTest,
    testing::Values(BrokenCase{"PlainExecutable", "\x7f" "ELF and nothing else at all"},
                    BrokenCase{"ShorterThanAFooter", "KORVSET1"},
                    BrokenCase{"WrongMarker", std::string("abc\3\0\0\0KORVSET2", 15)},
                    BrokenCase{"CountLargerThanFile", std::string("abc\4\0\0\0KORVSET1", 15)},
                    BrokenCase{"HugeCount", std::string("abc\xff\xff\xff\xffKORVSET1", 15)}),
    [](const testing::TestParamInfo<BrokenCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace korvan::platform
