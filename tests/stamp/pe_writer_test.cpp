// The PE resource writer on small images made here, and on the real Windows
// launcher: what it refuses (each case leaves the input alone by returning
// no output), and that what it writes reads back to the same resources.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>

#include "byte_order.h"
#include "pe_image.h"
#include "pe_writer.h"
#include "resource_tree.h"
#include "resource_writer.h"

namespace korvan::pe {
namespace {

// A PE32+ image: headers of 0x200 bytes (room for four sections), sections
// at 0x1000 steps with 0x200-aligned file data, then `overlay` as its symbol table.
struct TestImage {
  std::vector<std::pair<std::string, std::string>> sections;  // name, data
  int resource_section = -1;
  std::string overlay;
  bool checksum = true;
};

std::string Build(const TestImage& spec) {
  std::string file(0x200, '\0');
  file[0] = 'M';
  file[1] = 'Z';
  PutU32(file, 0x3C, 0x40);
  file.replace(0x40, 4, std::string("PE\0\0", 4));
  PutU16(file, 0x44, 0x8664);
  PutU16(file, 0x46, static_cast<std::uint16_t>(spec.sections.size()));
  PutU16(file, 0x54, 240);  // optional header size
  PutU16(file, 0x56, 0x22);  // executable, large address aware
  const std::size_t optional = 0x58;
  PutU16(file, optional, 0x20B);
  PutU32(file, optional + 32, 0x1000);
  PutU32(file, optional + 36, 0x200);
  PutU32(file, optional + 60, 0x200);
  PutU32(file, optional + 108, 16);
  std::uint32_t rva = 0x1000;
  for (std::size_t i = 0; i < spec.sections.size(); ++i) {
    const auto& [name, data] = spec.sections[i];
    const std::size_t header = 0x148 + 40 * i;
    file.replace(header, name.size(), name);
    PutU32(file, header + 8, static_cast<std::uint32_t>(data.size()));
    PutU32(file, header + 12, rva);
    PutU32(file, header + 16, static_cast<std::uint32_t>(AlignUp(data.size(), 0x200)));
    PutU32(file, header + 20, static_cast<std::uint32_t>(file.size()));
    PutU32(file, header + 36, 0x40000040);
    if (static_cast<int>(i) == spec.resource_section) {
      PutU32(file, optional + 128, rva);
      PutU32(file, optional + 132, static_cast<std::uint32_t>(data.size()));
    }
    file += data;
    PadTo(file, 0x200);
    rva += static_cast<std::uint32_t>(AlignUp(data.size(), 0x1000));
  }
  PutU32(file, optional + 56, rva);
  if (!spec.overlay.empty()) PutU32(file, 0x4C, static_cast<std::uint32_t>(file.size()));
  file += spec.overlay;
  if (spec.checksum) PutU32(file, optional + 64, PeChecksum(file, optional + 64));
  return file;
}

ResourceTree SampleTree() {
  ResourceTree tree;
  tree[{ResourceId::Number(24), ResourceId::Number(1), 0x409}] = {"<assembly/>", 0};
  tree[{ResourceId::Number(10), ResourceId::Number(8000), 0}] = {std::string(5, '\x01'), 0};
  tree[{ResourceId::Name(u"ZDATA"), ResourceId::Name(u"MAIN"), 0x407}] = {"named", 1252};
  tree[{ResourceId::Name(u"ZDATA"), ResourceId::Name(u"MAIN"), 0x409}] = {"", 0};
  tree[{ResourceId::Name(u"ADATA"), ResourceId::Number(7), 0}] = {std::string(70000, 'x'), 0};
  return tree;
}

// An image whose resource section (at 0x2000) holds `tree`, followed by .reloc when asked.
std::string ImageWith(const ResourceTree& tree, bool reloc_after, std::string overlay = "SYMBOLS") {
  TestImage spec;
  spec.sections = {{".text", std::string(0x300, '\xC3')}, {".rsrc", WriteResourceSection(tree, 0x2000)}};
  if (reloc_after) spec.sections.push_back({".reloc", std::string(0x10, '\x07')});
  spec.resource_section = 1;
  spec.overlay = std::move(overlay);
  return Build(spec);
}

// Parses, reads the resources and writes them back: the error, or "" with `output` set.
std::string Rewrite(const std::string& file, std::string* output = nullptr, ResourceTree* read = nullptr) {
  std::string error;
  const auto image = ParsePeImage(file, error);
  if (!image) return error;
  const auto tree = ReadResourceTree(file, *image, error);
  if (!tree) return error;
  if (read != nullptr) *read = *tree;
  const auto written = WriteWithResources(file, *image, *tree, error);
  if (!written) return error;
  if (output != nullptr) *output = *written;
  return "";
}

struct RefusalCase {
  const char* name;
  std::function<std::string()> file;
  const char* message;
};

std::string Patched(std::string file, std::size_t offset, std::uint32_t value, int width = 4) {
  if (width == 2) PutU16(file, offset, static_cast<std::uint16_t>(value));
  else PutU32(file, offset, value);
  return file;
}

const std::string kGood = ImageWith(SampleTree(), true);
constexpr std::size_t kOptional = 0x58;
constexpr std::uint32_t kResourceStart = 0x600;  // file offset of kGood's .rsrc data

// The offset in kGood's resource section of its first data entry: the first
// entry of the first directory at each level.
std::size_t FirstDataEntry() {
  const std::string_view section = std::string_view(kGood).substr(kResourceStart);
  std::uint32_t offset = 0;
  for (int level = 0; level < 3; ++level) offset = *ReadU32(section, offset + 16 + 4) & 0x7FFFFFFF;
  return offset;
}

class RefusedImage : public testing::TestWithParam<RefusalCase> {};

TEST_P(RefusedImage, SaysWhyAndWritesNothing) {
  std::string output;
  const std::string error = Rewrite(GetParam().file(), &output);
  EXPECT_NE(error.find(GetParam().message), std::string::npos) << error;
  EXPECT_TRUE(output.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, RefusedImage,
    testing::Values(
        RefusalCase{"Empty", [] { return std::string(); }, "not a Windows executable"},
        RefusalCase{"Elf", [] { return std::string("\x7f" "ELF\2\1\1", 7); }, "not a Windows executable"},
        RefusalCase{"OnlyMz", [] { return std::string("MZ"); }, "truncated"},
        RefusalCase{"PeHeaderPastTheEnd", [] { return Patched(kGood, 0x3C, 0x7FFFFFF0); }, "truncated"},
        RefusalCase{"DosProgram", [] { return Patched(kGood, 0x40, 0); }, "not a PE executable"},
        RefusalCase{"I386", [] { return Patched(kGood, 0x44, 0x14C, 2); }, "machine type 0x014c"},
        RefusalCase{"Arm64", [] { return Patched(kGood, 0x44, 0xAA64, 2); }, "machine type 0xaa64"},
        RefusalCase{"Pe32", [] { return Patched(kGood, kOptional, 0x10B, 2); }, "64-bit"},
        RefusalCase{"ObjectFile", [] { return Patched(kGood, 0x56, 0x20, 2); }, "object file"},
        RefusalCase{"CutInTheHeaders", [] { return kGood.substr(0, 0x100); }, "truncated"},
        RefusalCase{"CutInTheSections", [] { return kGood.substr(0, 0x500); }, "truncated: section"},
        RefusalCase{"BadFileAlignment", [] { return Patched(kGood, kOptional + 36, 3); }, "alignment"},
        RefusalCase{"SectionsOutOfOrder", [] { return Patched(kGood, 0x148 + 40 + 12, 0x800); },
                    "address order"},
        RefusalCase{"Signed", [] { return Patched(kGood, kOptional + 144, 0x5000); }, "signed"},
        RefusalCase{"ResourcesOutsideTheSections", [] { return Patched(kGood, kOptional + 128, 0x90000); },
                    "outside the file's sections"},
        RefusalCase{"DirectoryContainsItself",
                    [] { return Patched(kGood, kResourceStart + 16 + 4, 0x80000000u); }, "contains itself"},
        RefusalCase{"DataWhereADirectoryBelongs",
                    [] { return Patched(kGood, kResourceStart + 16 + 4, 0x10); }, "data where a directory"},
        RefusalCase{"TooManyEntries", [] { return Patched(kGood, kResourceStart + 14, 0xFFFF, 2); },
                    "entries lie outside"},
        RefusalCase{"DataOutsideTheFile",
                    [] { return Patched(kGood, kResourceStart + FirstDataEntry(), 0x7000000); },
                    "data lies outside"},
        RefusalCase{"NoRoomForAnotherSection",
                    [] {
                      std::string file = kGood;
                      file[0x148 + 3 * 40] = 'x';  // the table's free slot is in use
                      return file;
                    },
                    "no room for one more section"}),
    [](const testing::TestParamInfo<RefusalCase>& info) { return info.param.name; });

struct Layout {
  const char* name;
  bool reloc_after;  // the resource section is not the last one
  std::string overlay;
};

class RewrittenImage : public testing::TestWithParam<Layout> {};

TEST_P(RewrittenImage, ReadsBackTheSameResourcesInAValidImage) {
  const std::string input = ImageWith(SampleTree(), GetParam().reloc_after, GetParam().overlay);
  std::string output;
  ASSERT_EQ(Rewrite(input, &output), "");
  std::string error;
  const auto image = ParsePeImage(output, error);
  ASSERT_TRUE(image) << error;
  const auto tree = ReadResourceTree(output, *image, error);
  ASSERT_TRUE(tree) << error;
  EXPECT_TRUE(*tree == SampleTree());

  const Section& last = image->sections.back();
  EXPECT_EQ(last.name, ".rsrc");
  EXPECT_EQ(image->sections.size(), GetParam().reloc_after ? 4u : 2u);
  if (GetParam().reloc_after) EXPECT_EQ(image->sections[1].name, ".rsrcold");
  EXPECT_EQ(image->resources.rva, last.virtual_address);
  EXPECT_EQ(last.raw_pointer % 0x200, 0u);
  EXPECT_EQ(last.virtual_address % 0x1000, 0u);
  EXPECT_EQ(*ReadU32(output, image->SizeOfImageOffset()), AlignUp(last.virtual_address + last.virtual_size, 0x1000));
  EXPECT_EQ(image->checksum, PeChecksum(output, image->CheckSumOffset()));
  EXPECT_EQ(output.substr(image->EndOfSectionData()), GetParam().overlay);
  if (!GetParam().overlay.empty()) EXPECT_EQ(image->symbol_table_pointer, image->EndOfSectionData());

  // Written again, the resource section is the last one: rebuilt in place, byte for byte the same.
  std::string again;
  ASSERT_EQ(Rewrite(output, &again), "");
  EXPECT_EQ(again, output);
}

INSTANTIATE_TEST_SUITE_P(Layouts, RewrittenImage,
                         testing::Values(Layout{"ResourcesLast", false, "SYMBOLS"},
                                         Layout{"RelocAfterResources", true, "SYMBOLS"},
                                         Layout{"NoOverlay", true, ""}),
                         [](const testing::TestParamInfo<Layout>& info) { return info.param.name; });

TEST(RewrittenImage, ImageWithoutChecksumKeepsNone) {
  TestImage spec;
  spec.sections = {{".text", "code"}};
  spec.checksum = false;
  std::string output;
  ASSERT_EQ(Rewrite(Build(spec), &output), "");
  EXPECT_EQ(*ReadU32(output, kOptional + 64), 0u);
  EXPECT_EQ(*ReadU32(output, kOptional + 128), 0x2000u);  // a new section after .text
}

// The launcher as mingw-w64 builds it: windres's resource tree, its
// checksum, the manifest's declarations, and a rewrite that loses nothing.
TEST(RealLauncher, ReadsAndRewritesTheMingwLauncher) {
  std::ifstream in(KORVAN_WINDOWS_LAUNCHER, std::ios::binary);
  if (!in) GTEST_SKIP() << KORVAN_WINDOWS_LAUNCHER << " is not built (cmake --build --preset windows)";
  const std::string file((std::istreambuf_iterator<char>(in)), {});
  std::string output;
  ResourceTree tree;
  ASSERT_EQ(Rewrite(file, &output, &tree), "");
  std::string error;
  const auto image = ParsePeImage(file, error);
  EXPECT_EQ(image->checksum, PeChecksum(file, image->CheckSumOffset()));
  const auto manifest = Languages(tree, ResourceId::Number(kManifestType), ResourceId::Number(1));
  ASSERT_EQ(manifest.size(), 1u);
  const std::string& text = manifest.begin()->second->bytes;
  EXPECT_NE(text.find("<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">"
                      "PerMonitorV2, PerMonitor</dpiAwareness>"), std::string::npos) << text;
  EXPECT_NE(text.find(">true/pm</dpiAware>"), std::string::npos) << text;
  EXPECT_NE(text.find(">true</longPathAware>"), std::string::npos) << text;
  const auto rewritten = ParsePeImage(output, error);
  ASSERT_TRUE(rewritten) << error;
  EXPECT_TRUE(*ReadResourceTree(output, *rewritten, error) == tree);
  EXPECT_EQ(rewritten->symbol_table_pointer - rewritten->EndOfSectionData(),
            image->symbol_table_pointer - image->EndOfSectionData());
}

}  // namespace
}  // namespace korvan::pe
