#include "runtime/jvm_library.h"

#include <gtest/gtest.h>

#include <set>

#include "platform/text.h"

namespace korvan {
namespace {

const platform::RuntimeLayout kLinuxLayout = platform::LinuxRuntimeLayout(L"amd64");

struct SelectionCase {
  const char* name;
  bool windows;                       // which layout
  std::vector<std::wstring> files;    // below the runtime folder
  JvmKind kind;
  const wchar_t* expected;            // sub-path chosen, or nullptr for none
  bool server;
};

class JvmLibrarySelectionTest : public testing::TestWithParam<SelectionCase> {};

TEST_P(JvmLibrarySelectionTest, PicksTheLibraryForTheKind) {
  const SelectionCase& c = GetParam();
  const std::wstring folder = c.windows ? L"C:\\rt\\" : L"/opt/rt/";
  std::set<std::wstring> present;
  for (const std::wstring& file : c.files) present.insert(folder + file);
  const RuntimeFiles files{
      c.windows ? platform::WindowsRuntimeLayout() : kLinuxLayout,
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

INSTANTIATE_TEST_SUITE_P(
    Cases, JvmLibrarySelectionTest,
    testing::Values(
        SelectionCase{"ClientAndServerAny", true, {kClient, kServer}, JvmKind::Any, kClient, false},
        SelectionCase{"ClientAndServerServer", true, {kClient, kServer}, JvmKind::Server, kServer, true},
        SelectionCase{"ClientAndServerFavor", true, {kClient, kServer}, JvmKind::FavorServer, kServer, true},
        SelectionCase{"ServerOnlyAny", true, {kServer}, JvmKind::Any, kServer, true},
        SelectionCase{"ServerOnlyServer", true, {kServer}, JvmKind::Server, kServer, true},
        SelectionCase{"ServerOnlyFavor", true, {kServer}, JvmKind::FavorServer, kServer, true},
        SelectionCase{"ClientOnlyAny", true, {kClient}, JvmKind::Any, kClient, false},
        SelectionCase{"ClientOnlyServer", true, {kClient}, JvmKind::Server, nullptr, false},
        SelectionCase{"ClientOnlyFavor", true, {kClient}, JvmKind::FavorServer, kClient, false},
        SelectionCase{"JrockitOnlyAny", true, {kJrockit}, JvmKind::Any, kJrockit, false},
        SelectionCase{"JrockitOnlyServer", true, {kJrockit}, JvmKind::Server, nullptr, false},
        SelectionCase{"JrockitOnlyFavor", true, {kJrockit}, JvmKind::FavorServer, kJrockit, false},
        SelectionCase{"ClassicBeforeHotspot", true, {kHotspot, kClassic, kServer}, JvmKind::Any, kClassic, false},
        SelectionCase{"HotspotBeforeServer", true, {kHotspot, kServer, kJrockit}, JvmKind::Any, kHotspot, false},
        SelectionCase{"ServerBeforeJrockit", true, {kJrockit, kServer}, JvmKind::Any, kServer, true},
        SelectionCase{"NoJavaDllNeeded", true, {kClient}, JvmKind::Any, kClient, false},
        SelectionCase{"OnlyJavaDll", true, {L"bin\\java.dll"}, JvmKind::Any, nullptr, false},
        SelectionCase{"LinuxServerAny", false, {kLinuxServer}, JvmKind::Any, kLinuxServer, true},
        SelectionCase{"LinuxClientFirst", false, {kLinuxServer, kLinuxClient}, JvmKind::Any, kLinuxClient, false},
        SelectionCase{"LinuxFavorServer", false, {kLinuxServer, kLinuxClient}, JvmKind::FavorServer, kLinuxServer, true},
        SelectionCase{"LinuxClientOnlyServer", false, {kLinuxClient}, JvmKind::Server, nullptr, false},
        SelectionCase{"Jdk8Server", false, {kAmd64Server}, JvmKind::Server, kAmd64Server, true},
        SelectionCase{"Jdk8ClientAny", false, {kAmd64Server, kAmd64Client}, JvmKind::Any, kAmd64Client, false},
        SelectionCase{"Jdk8FavorServer", false, {kAmd64Client, kAmd64Server}, JvmKind::FavorServer, kAmd64Server, true},
        SelectionCase{"NewLayoutBeforeJdk8", false, {kAmd64Client, kLinuxServer}, JvmKind::Any, kLinuxServer, true},
        SelectionCase{"FavorServerPrefersJdk8Server", false, {kLinuxClient, kAmd64Server}, JvmKind::FavorServer, kAmd64Server, true},
        SelectionCase{"WindowsNamesOnLinux", false, {L"bin/server/jvm.dll"}, JvmKind::Any, nullptr, false}),
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
