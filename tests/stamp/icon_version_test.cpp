// Icon files, the application icon's resources, and version information
// blocks. (What Windows itself reads back from a stamped launcher is tested
// under Wine, in tests/e2e/stamp_windows_test.cpp.)
#include <gtest/gtest.h>

#include <fstream>

#include "byte_order.h"
#include "icon_file.h"
#include "launcher_resources.h"
#include "version_info.h"

namespace korvan::pe {
namespace {

std::string ReadInput(const std::string& name) {
  std::ifstream in(std::string(KORVAN_STAMP_INPUTS) + "/" + name, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), {});
}

// An icon file header and one directory entry: `size` bytes at `offset`.
std::string IconHeader(std::uint16_t kind, std::uint16_t count, std::uint32_t size, std::uint32_t offset) {
  std::string file;
  AppendU16(file, 0);
  AppendU16(file, kind);
  AppendU16(file, count);
  file += std::string("\x10\x10\0\0", 4);
  AppendU16(file, 1);
  AppendU16(file, 32);
  AppendU32(file, size);
  AppendU32(file, offset);
  return file;
}

struct BadIcon {
  const char* name;
  std::string file;
  const char* message;
};

class RefusedIcon : public testing::TestWithParam<BadIcon> {};

TEST_P(RefusedIcon, SaysWhy) {
  std::string error;
  EXPECT_FALSE(ParseIconFile(GetParam().file, error));
  EXPECT_NE(error.find(GetParam().message), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(
    Files, RefusedIcon,
    testing::Values(BadIcon{"Empty", "", "not an icon file"},
                    BadIcon{"Png", "\x89PNG\r\n\x1a\n", "not an icon file"},
                    BadIcon{"Cursor", IconHeader(2, 1, 4, 22) + "abcd", "not an icon file"},
                    BadIcon{"NoImage", IconHeader(1, 0, 0, 0).substr(0, 6), "no image"},
                    BadIcon{"DirectoryCut", IconHeader(1, 2, 4, 38), "directory ends early"},
                    BadIcon{"ImagePastTheEnd", IconHeader(1, 1, 5, 22) + "abcd", "image 1 lies outside"},
                    BadIcon{"EmptyImage", IconHeader(1, 1, 0, 22) + "abcd", "image 1 lies outside"},
                    BadIcon{"OffsetOverflows", IconHeader(1, 1, 4, 0xFFFFFFFE) + "abcd", "image 1"}),
    [](const testing::TestParamInfo<BadIcon>& info) { return info.param.name; });

TEST(IconFile, ReadsEveryImage) {
  std::string error;
  const auto images = ParseIconFile(ReadInput("three-sizes.ico"), error);
  ASSERT_TRUE(images) << error;
  ASSERT_EQ(images->size(), 3u);
  EXPECT_EQ((*images)[2].width, 48);
  EXPECT_EQ((*images)[2].bit_count, 32);
  EXPECT_EQ((*images)[2].bytes.size(), 40u + 48 * 48 * 4 + 48 * 8);  // header, pixels, mask
  const std::string group = GroupIconBytes(*images, {5, 6, 9});
  EXPECT_EQ(group.size(), 6u + 3 * 14);
  EXPECT_EQ(GroupIconIds(group), (std::vector<std::uint16_t>{5, 6, 9}));
  EXPECT_EQ(*ReadU32(group, 6 + 14 + 8), (*images)[1].bytes.size());
}

// Re-stamping the icon replaces the first group (names come before ids) and
// its images only, in the group's own name and language; the new images take
// the lowest free ids; another group and its images stay.
TEST(ApplicationIcon, ReplacesAndRemovesTheFirstGroupOnly) {
  std::string error;
  const auto three = *ParseIconFile(ReadInput("three-sizes.ico"), error);
  const auto one = *ParseIconFile(ReadInput("one-size.ico"), error);
  const ResourceId icon = ResourceId::Number(kIconType);
  const ResourceId group = ResourceId::Number(kGroupIconType);
  ResourceTree tree;
  tree[{icon, ResourceId::Number(1), 0x407}] = {"first", 0};
  tree[{icon, ResourceId::Number(2), 0x407}] = {"second", 0};
  tree[{group, ResourceId::Name(u"MAINICON"), 0x407}] = {GroupIconBytes(one, {1}), 0};
  tree[{group, ResourceId::Number(7), 0x407}] = {GroupIconBytes(one, {2}), 0};

  ASSERT_TRUE(SetApplicationIcon(tree, three));
  const auto main = Languages(tree, group, ResourceId::Name(u"MAINICON"));
  ASSERT_EQ(main.size(), 1u);
  EXPECT_EQ(main.begin()->first, 0x407);
  EXPECT_EQ(GroupIconIds(main.begin()->second->bytes), (std::vector<std::uint16_t>{1, 3, 4}));
  EXPECT_EQ(Languages(tree, icon, ResourceId::Number(4)).begin()->second->bytes, three[2].bytes);
  EXPECT_EQ(Languages(tree, icon, ResourceId::Number(2)).begin()->second->bytes, "second");
  EXPECT_EQ(tree.size(), 6u);

  ASSERT_TRUE(SetApplicationIcon(tree, {}));
  EXPECT_TRUE(Languages(tree, group, ResourceId::Name(u"MAINICON")).empty());
  EXPECT_EQ(tree.size(), 2u);  // group 7 and its image
  EXPECT_EQ(Languages(tree, icon, ResourceId::Number(2)).size(), 1u);
}

struct VersionCase {
  std::u16string text;
  std::optional<std::pair<std::uint32_t, std::uint32_t>> fixed;
};

class FixedVersionText : public testing::TestWithParam<VersionCase> {};

TEST_P(FixedVersionText, GivesTheFixedNumbers) {
  const auto parsed = ParseFixedVersion(GetParam().text);
  ASSERT_EQ(parsed.has_value(), GetParam().fixed.has_value());
  if (parsed) {
    EXPECT_EQ(parsed->high, GetParam().fixed->first);
    EXPECT_EQ(parsed->low, GetParam().fixed->second);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, FixedVersionText,
    testing::Values(VersionCase{u"1.2.3.4", {{0x00010002, 0x00030004}}},
                    VersionCase{u"65535.0.0.65535", {{0xFFFF0000, 0x0000FFFF}}},
                    VersionCase{u"7", {{0x00070000, 0}}}, VersionCase{u"2.5 beta", {{0x00020005, 0}}},
                    VersionCase{u"2.5.", {{0x00020005, 0}}}, VersionCase{u"1.2.3.4.5", {{0x00010002, 0x00030004}}},
                    VersionCase{u"65536.1", std::nullopt}, VersionCase{u"v1.2", std::nullopt},
                    VersionCase{u"", std::nullopt}));

TEST(VersionInfo, FixedPartHoldsTheVersionsAndBlocksTheirLengths) {
  std::string error;
  const auto block = VersionInfoBytes({{u"FileVersion", u"3.1.4.1"}, {u"CompanyName", u"Acme"}}, error);
  ASSERT_TRUE(block) << error;
  EXPECT_EQ(*ReadU16(*block, 0), block->size());
  EXPECT_EQ(*ReadU16(*block, 2), 52);  // VS_FIXEDFILEINFO
  EXPECT_EQ(*ReadU32(*block, 40), 0xFEEF04BDu);
  EXPECT_EQ(*ReadU32(*block, 48), 0x00030001u);  // file version
  EXPECT_EQ(*ReadU32(*block, 52), 0x00040001u);
  EXPECT_EQ(*ReadU32(*block, 56), 0x00030001u);  // product version, from the file version
  EXPECT_EQ(*ReadU32(*block, 60), 0x00040001u);
  EXPECT_EQ(block->size() % 2, 0u);

  EXPECT_FALSE(VersionInfoBytes({{u"Company", u"Acme"}}, error));
  EXPECT_NE(error.find("unknown version information key: Company"), std::string::npos) << error;
  EXPECT_FALSE(VersionInfoBytes({{u"ProductVersion", u"next"}}, error));
  EXPECT_NE(error.find("ProductVersion must start with a version number"), std::string::npos) << error;
  EXPECT_FALSE(VersionInfoBytes({{u"Comments", std::u16string(40000, u'x')}}, error));
  EXPECT_NE(error.find("too long"), std::string::npos) << error;
}

}  // namespace
}  // namespace korvan::pe
