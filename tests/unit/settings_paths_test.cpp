#include "settings/settings_paths.h"

#include <gtest/gtest.h>

namespace korvan {
namespace {

const platform::PathRules kWindows{L'\\', false, false};
const platform::PathRules kPosix{L'/', true, true};

struct SettingsFileCase {
  platform::PathRules rules;
  const wchar_t* module_path;
  std::optional<std::wstring> settings_file;
};

class SettingsFilePathForTest : public testing::TestWithParam<SettingsFileCase> {};

TEST_P(SettingsFilePathForTest, LiesBesideTheLauncher) {
  EXPECT_EQ(SettingsFilePathFor(GetParam().module_path, GetParam().rules), GetParam().settings_file);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SettingsFilePathForTest,
    testing::Values(
        SettingsFileCase{kWindows, L"C:\\Apps\\Tool.exe", L"C:\\Apps\\Tool.ini"},
        SettingsFileCase{kWindows, L"C:\\Apps\\My.Tool.exe", L"C:\\Apps\\My.Tool.ini"},
        // The last "." anywhere in the path counts on Windows.
        SettingsFileCase{kWindows, L"C:\\Apps.v2\\Tool", L"C:\\Apps.ini"},
        SettingsFileCase{kWindows, L"C:\\Apps\\Tool", std::nullopt},
        SettingsFileCase{kPosix, L"/opt/app/bin/app", L"/opt/app/bin/app.ini"},
        SettingsFileCase{kPosix, L"/opt/app.v2/bin/app", L"/opt/app.v2/bin/app.ini"},
        SettingsFileCase{kPosix, L"/opt/app/bin/My.Tool", L"/opt/app/bin/My.ini"},
        SettingsFileCase{kPosix, L"/opt/app/bin/app.", L"/opt/app/bin/app.ini"}));

TEST(ProductFolderName, RemovesOnlyTheNineReservedCharacters) {
  EXPECT_EQ(ProductFolderName(L"A/B: C?"), L"AB C");
  EXPECT_EQ(ProductFolderName(L"\\?\"|><:/*"), L"");
  EXPECT_EQ(ProductFolderName(L" My  App.1 (x64) "), L" My  App.1 (x64) ");
}

struct UserFileCase {
  platform::PathRules rules;
  const wchar_t* module_path;
  const wchar_t* root;
  const wchar_t* product_name;
  const wchar_t* product_code;
  UserSettingsLocation expected;
};

class UserSettingsLocationTest : public testing::TestWithParam<UserFileCase> {};

TEST_P(UserSettingsLocationTest, JoinsRootProductCodeAndName) {
  LaunchSettings settings;
  settings.product_name = GetParam().product_name;
  settings.product_code = GetParam().product_code;
  const UserSettingsLocation location =
      UserSettingsLocationFor(GetParam().module_path, GetParam().root, settings, GetParam().rules);
  EXPECT_EQ(location.product_folder, GetParam().expected.product_folder);
  EXPECT_EQ(location.code_folder, GetParam().expected.code_folder);
  EXPECT_EQ(location.file, GetParam().expected.file);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UserSettingsLocationTest,
    testing::Values(
        UserFileCase{kWindows, L"C:\\Apps\\My.Tool.exe", L"C:\\Users\\u\\AppData\\Roaming",
                     L"A/B: C?", L"{42}",
                     {L"C:\\Users\\u\\AppData\\Roaming\\AB C", L"C:\\Users\\u\\AppData\\Roaming\\AB C\\{42}",
                      L"C:\\Users\\u\\AppData\\Roaming\\AB C\\{42}\\My.Tool.ini"}},
        // No APPDATA: a path from the root of the current drive.
        UserFileCase{kWindows, L"C:\\Apps\\Tool.exe", L"", L"P", L"C",
                     {L"\\P", L"\\P\\C", L"\\P\\C\\Tool.ini"}},
        // Empty name and code leave empty path elements; the code is not filtered.
        UserFileCase{kWindows, L"C:\\Apps\\Tool.exe", L"R", L"", L"", {L"R\\", L"R\\\\", L"R\\\\\\Tool.ini"}},
        UserFileCase{kWindows, L"Tool.exe", L"R", L"P", L"a\\b", {L"R\\P", L"R\\P\\a\\b", L"R\\P\\a\\b\\Tool.ini"}},
        UserFileCase{kPosix, L"/opt/app/bin/app", L"/home/u/.config", L"App", L"1",
                     {L"/home/u/.config/App", L"/home/u/.config/App/1", L"/home/u/.config/App/1/app.ini"}},
        // An empty code leaves no empty element there.
        UserFileCase{kPosix, L"/opt/app/bin/app", L"/c", L"App", L"", {L"/c/App", L"/c/App", L"/c/App/app.ini"}}));

}  // namespace
}  // namespace korvan
