#include "runtime/jvm_library.h"

#include <gtest/gtest.h>

#include <set>

#include "platform/text.h"

namespace korvan {
namespace {

const wchar_t* const kWindows = L"";
const wchar_t* const kAmd64 = L"amd64";
const wchar_t* const kAarch64 = L"aarch64";

struct SelectionCase {
  const char* name;
  const wchar_t* layout;              // kWindows, or the machine folder of a Linux layout
  std::vector<std::wstring> files;    // below the runtime folder
  JvmKind kind;
  const wchar_t* expected;            // sub-path chosen, or nullptr for none
  bool server;
};

class JvmLibrarySelectionTest : public testing::TestWithParam<SelectionCase> {};

TEST_P(JvmLibrarySelectionTest, PicksTheLibraryForTheKind) {
  const SelectionCase& c = GetParam();
  const bool windows = c.layout == kWindows;
  const std::wstring folder = windows ? L"C:\\rt\\" : L"/opt/rt/";
  std::set<std::wstring> present;
  for (const std::wstring& file : c.files) present.insert(folder + file);
  const platform::RuntimeLayout layout =
      windows ? platform::WindowsRuntimeLayout() : platform::LinuxRuntimeLayout(c.layout);
  const RuntimeFiles files{layout,
      [&](const std::wstring& path) { return present.count(path) > 0; }};

  const std::optional<JvmLibrary> library = SelectJvmLibrary(folder, c.kind, files);
  if (c.expected == nullptr) {
    EXPECT_FALSE(library.has_value()) << platform::NarrowFromWide(library->path);
    return;
  }
  ASSERT_TRUE(library.has_value());
  EXPECT_EQ(library->path, folder + c.expected);
  EXPECT_EQ(library->server, c.server);
}

const wchar_t* kClient = L"bin\\client\\jvm.dll";
const wchar_t* kServer = L"bin\\server\\jvm.dll";
const wchar_t* kClassic = L"bin\\classic\\jvm.dll";
const wchar_t* kHotspot = L"bin\\hotspot\\jvm.dll";
const wchar_t* kJrockit = L"bin\\jrockit\\jvm.dll";
const wchar_t* kLinuxClient = L"lib/client/libjvm.so";
const wchar_t* kLinuxServer = L"lib/server/libjvm.so";
const wchar_t* kAmd64Client = L"lib/amd64/client/libjvm.so";
const wchar_t* kAmd64Server = L"lib/amd64/server/libjvm.so";
const wchar_t* kAarch64Server = L"lib/aarch64/server/libjvm.so";

INSTANTIATE_TEST_SUITE_P(
    Cases, JvmLibrarySelectionTest,
    testing::Values(
        SelectionCase{"ClientAndServerAny", kWindows, {kClient, kServer}, JvmKind::Any, kClient, false},
        SelectionCase{"ClientAndServerServer", kWindows, {kClient, kServer}, JvmKind::Server, kServer, true},
        SelectionCase{"ClientAndServerFavor", kWindows, {kClient, kServer}, JvmKind::FavorServer, kServer, true},
        SelectionCase{"ServerOnlyAny", kWindows, {kServer}, JvmKind::Any, kServer, true},
        SelectionCase{"ServerOnlyServer", kWindows, {kServer}, JvmKind::Server, kServer, true},
        SelectionCase{"ServerOnlyFavor", kWindows, {kServer}, JvmKind::FavorServer, kServer, true},
        SelectionCase{"ClientOnlyAny", kWindows, {kClient}, JvmKind::Any, kClient, false},
        SelectionCase{"ClientOnlyServer", kWindows, {kClient}, JvmKind::Server, nullptr, false},
        SelectionCase{"ClientOnlyFavor", kWindows, {kClient}, JvmKind::FavorServer, kClient, false},
        SelectionCase{"JrockitOnlyAny", kWindows, {kJrockit}, JvmKind::Any, kJrockit, false},
        SelectionCase{"JrockitOnlyServer", kWindows, {kJrockit}, JvmKind::Server, nullptr, false},
        SelectionCase{"JrockitOnlyFavor", kWindows, {kJrockit}, JvmKind::FavorServer, kJrockit, false},
        SelectionCase{"ClassicBeforeHotspot", kWindows, {kHotspot, kClassic, kServer}, JvmKind::Any, kClassic, false},
        SelectionCase{"HotspotBeforeServer", kWindows, {kHotspot, kServer, kJrockit}, JvmKind::Any, kHotspot, false},
        SelectionCase{"ServerBeforeJrockit", kWindows, {kJrockit, kServer}, JvmKind::Any, kServer, true},
        SelectionCase{"NoJavaDllNeeded", kWindows, {kClient}, JvmKind::Any, kClient, false},
        SelectionCase{"OnlyJavaDll", kWindows, {L"bin\\java.dll"}, JvmKind::Any, nullptr, false},
        SelectionCase{"LinuxServerAny", kAmd64, {kLinuxServer}, JvmKind::Any, kLinuxServer, true},
        SelectionCase{"LinuxClientFirst", kAmd64, {kLinuxServer, kLinuxClient}, JvmKind::Any, kLinuxClient, false},
        SelectionCase{"LinuxFavorServer", kAmd64, {kLinuxServer, kLinuxClient}, JvmKind::FavorServer, kLinuxServer, true},
        SelectionCase{"LinuxClientOnlyServer", kAmd64, {kLinuxClient}, JvmKind::Server, nullptr, false},
        SelectionCase{"Jdk8Server", kAmd64, {kAmd64Server}, JvmKind::Server, kAmd64Server, true},
        SelectionCase{"Jdk8ClientAny", kAmd64, {kAmd64Server, kAmd64Client}, JvmKind::Any, kAmd64Client, false},
        SelectionCase{"Jdk8FavorServer", kAmd64, {kAmd64Client, kAmd64Server}, JvmKind::FavorServer, kAmd64Server, true},
        SelectionCase{"NewLayoutBeforeJdk8", kAmd64, {kAmd64Client, kLinuxServer}, JvmKind::Any, kLinuxServer, true},
        SelectionCase{"FavorServerPrefersJdk8Server", kAmd64, {kLinuxClient, kAmd64Server}, JvmKind::FavorServer, kAmd64Server, true},
        SelectionCase{"Jdk8OnArm64", kAarch64, {kAarch64Server}, JvmKind::Server, kAarch64Server, true},
        SelectionCase{"Jdk8OfAnotherMachineOnArm64", kAarch64, {kAmd64Server}, JvmKind::Any, nullptr, false},
        SelectionCase{"WindowsNamesOnLinux", kAmd64, {L"bin/server/jvm.dll"}, JvmKind::Any, nullptr, false}),
    [](const testing::TestParamInfo<SelectionCase>& info) { return std::string(info.param.name); });

TEST(JvmLibrarySelection, EmptyFolderLooksRelativeToTheCurrentFolder) {
  std::vector<std::wstring> asked;
  const RuntimeFiles files{platform::WindowsRuntimeLayout(), [&](const std::wstring& path) {
                             asked.push_back(path);
                             return false;
                           }};
  EXPECT_FALSE(SelectJvmLibrary(L"", JvmKind::Server, files).has_value());
  EXPECT_EQ(asked, std::vector<std::wstring>{kServer});
}

TEST(JvmLibrarySelection, TrailingSeparatorIsAddedOnce) {
  EXPECT_EQ(WithTrailingSeparator(L"C:\\jre", L'\\'), L"C:\\jre\\");
  EXPECT_EQ(WithTrailingSeparator(L"C:\\jre\\", L'\\'), L"C:\\jre\\");
  EXPECT_EQ(WithTrailingSeparator(L"C:/jre/", L'\\'), L"C:/jre/\\");
  EXPECT_EQ(WithTrailingSeparator(L"/opt/jre", L'/'), L"/opt/jre/");
}

}  // namespace
}  // namespace korvan
