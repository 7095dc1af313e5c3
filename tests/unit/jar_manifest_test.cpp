// A main jar's manifest read before the VM exists: the entry found through
// the zip directory (stored or deflated), and the main section's attributes.
#include <gtest/gtest.h>

#include "options/jar_manifest.h"
#include "options/zip_entry.h"

namespace korvan {
namespace {

std::string Little(std::uint64_t value, int width) {
  std::string bytes;
  for (int i = 0; i < width; ++i) bytes += static_cast<char>(value >> (8 * i) & 0xFF);
  return bytes;
}

// A zip of one entry: `data` as stored (method 0) or deflated (method 8).
std::string OneEntryZip(const std::string& name, int method, const std::string& data,
                        std::size_t size, const std::string& prefix = "") {
  const std::string fields = Little(method, 2) + Little(0, 8) + Little(data.size(), 4) +
                             Little(size, 4) + Little(name.size(), 2) + Little(0, 2);
  const std::string local = Little(0x04034b50, 4) + Little(20, 2) + Little(0, 2) + fields + name;
  const std::string directory = Little(0x02014b50, 4) + Little(20, 2) + Little(20, 2) +
                                Little(0, 2) + fields + Little(0, 6) + Little(0, 4) +
                                Little(0, 4) + name;
  const std::size_t directory_offset = local.size() + data.size();
  return prefix + local + data + directory + Little(0x06054b50, 4) + Little(0, 4) +
         Little(1, 2) + Little(1, 2) + Little(directory.size(), 4) +
         Little(directory_offset, 4) + Little(0, 2);
}

const std::string kManifest = "Main-Class: a.B\r\nX-Repeat: " + [] {
  std::string repeated;
  for (int i = 0; i < 40; ++i) repeated += "abc";
  return repeated;
}() + "\r\n";
// kManifest deflated (fixed codes with back references); it ends in a NUL.
constexpr char kDeflatedBytes[] =
    "\xf3\x4d\xcc\xcc\xd3\x75\xce\x49\x2c\x2e\xb6\x52\x48\xd4\x73\xe2\xe5\x8a\xd0\x0d\x4a\x2d\x48"
    "\x4d\x2c\x01\x72\x93\x92\x07\x04\xf1\x72\x01\x00";
const std::string kDeflated(kDeflatedBytes, sizeof(kDeflatedBytes) - 1);

struct ZipCase {
  const char* name;
  std::string zip;
  ZipEntryStatus status;
  std::string content;
};

class ReadZipEntryTest : public testing::TestWithParam<ZipCase> {};

TEST_P(ReadZipEntryTest, FindsTheManifestAsJarFilesDo) {
  const std::string& zip = GetParam().zip;
  ZipFileAccess file;
  file.size = zip.size();
  file.read = [&zip](std::uint64_t offset, std::size_t count, std::string& bytes) {
    if (offset > zip.size() || zip.size() - offset < count) return false;
    bytes = zip.substr(offset, count);
    return true;
  };
  const ZipEntry entry = ReadZipEntry(file, "META-INF/MANIFEST.MF");
  EXPECT_EQ(entry.status, GetParam().status);
  EXPECT_EQ(entry.bytes, GetParam().content);
}

const std::string kStored = OneEntryZip("META-INF/MANIFEST.MF", 0, kManifest, kManifest.size());

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadZipEntryTest,
    testing::Values(
        ZipCase{"Stored", kStored, ZipEntryStatus::Found, kManifest},
        ZipCase{"Deflated", OneEntryZip("META-INF/MANIFEST.MF", 8, kDeflated, kManifest.size()),
                ZipEntryStatus::Found, kManifest},
        ZipCase{"NameInAnyCase", OneEntryZip("meta-inf/manifest.mf", 0, "x", 1),
                ZipEntryStatus::Found, "x"},
        ZipCase{"ScriptInFront",
                OneEntryZip("META-INF/MANIFEST.MF", 0, "x", 1, "#!/bin/sh\nexec java -jar $0\n"),
                ZipEntryStatus::Found, "x"},
        ZipCase{"NoManifest", OneEntryZip("a/B.class", 0, "x", 1), ZipEntryStatus::Absent, ""},
        ZipCase{"NotAZip", "Main-Class: a.B\n", ZipEntryStatus::Corrupt, ""},
        ZipCase{"CutShort", kStored.substr(40), ZipEntryStatus::Corrupt, ""},
        ZipCase{"BrokenDeflate",
                OneEntryZip("META-INF/MANIFEST.MF", 8, kDeflated.substr(0, 20), kManifest.size()),
                ZipEntryStatus::Corrupt, ""},
        ZipCase{"SizeNotAsStated",
                OneEntryZip("META-INF/MANIFEST.MF", 8, kDeflated, kManifest.size() + 1),
                ZipEntryStatus::Corrupt, ""},
        ZipCase{"OtherCompression", OneEntryZip("META-INF/MANIFEST.MF", 12, "x", 1),
                ZipEntryStatus::Corrupt, ""}),
    [](const testing::TestParamInfo<ZipCase>& info) { return info.param.name; });

struct ManifestCase {
  const char* name;
  std::string text;
  std::optional<std::wstring> main_class;
};

class ManifestAttributesTest : public testing::TestWithParam<ManifestCase> {};

TEST_P(ManifestAttributesTest, ReadsTheMainSectionAsJavaDoes) {
  EXPECT_EQ(ManifestAttributes::Parse(GetParam().text).Get(L"Main-Class"), GetParam().main_class);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ManifestAttributesTest,
    testing::Values(
        ManifestCase{"CrLf", "Manifest-Version: 1.0\r\nMain-Class: a.B\r\n", L"a.B"},
        ManifestCase{"LoneCrAndLf", "X: 1\rMain-Class: a.B\nY: 2\n", L"a.B"},
        ManifestCase{"NameInAnyCase", "main-CLASS: a.B\n", L"a.B"},
        ManifestCase{"ContinuedLines", "Main-Class: com.exa\n mple.\r\n App\n", L"com.example.App"},
        ManifestCase{"LastValueWins", "Main-Class: a.A\nMain-Class: a.B\n", L"a.B"},
        ManifestCase{"OnlyTheMainSection", "X: 1\n\nName: a/\nMain-Class: a.B\n", std::nullopt},
        ManifestCase{"NeedsColonAndSpace", "Main-Class:a.B\n", std::nullopt},
        ManifestCase{"Utf8Value", "Main-Class: caf\xc3\xa9.App\n", L"caf\u00e9.App"}),
    [](const testing::TestParamInfo<ManifestCase>& info) { return info.param.name; });

}  // namespace
}  // namespace korvan
