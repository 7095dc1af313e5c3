// ReadLaunchSettings and ReadClassPathGroup in-process: the settings file is
// the one beside this test program, so every case runs in one test, one
// after the other (tests of one program may run in parallel processes).
#include "settings/launch_settings.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "platform/text.h"
#include "settings/settings_location.h"
#include "settings/settings_paths.h"

namespace korvan {
namespace {

namespace fs = std::filesystem;

struct SettingsCase {
  const char* name;
  std::string ini;
  bool read_ok;
  std::string failure;  // the failure message of the read
  std::function<void(const LaunchSettings&)> check;
};

std::vector<SettingsCase> Cases() {
  return {
      {"EveryKey",
       "[Product Information]\n"
       "Product Code=CODE\nUpgrade Code={UP}\nProduct Name=My App\n"
       "[Java Runtime Environment]\n"
       "Minimum Version=1.6\nMaximum Version=1.6\n"
       "Preferred versions=1.8;;11;\n"
       "JRE Path=/opt/jre\nJVM Type=favor_server\nJVM Source=only_JDK\nVM Provider=Favor_JRockit\n"
       "Main Class=com.example.App\nSystem Path=/sys\nLibrary Path=/lib;\n"
       "[Application]\n"
       "Application Type=console\nFailure Check=yes\nOverride WorkingDir=YES\n",
       true, "",
       [](const LaunchSettings& s) {
         EXPECT_EQ(s.product_code, L"CODE");
         EXPECT_EQ(s.upgrade_code, L"{UP}");
         EXPECT_EQ(s.product_name, L"My App");
         EXPECT_EQ(s.minimum_version, ConvertMinimumVersion(L"1.6"));
         EXPECT_EQ(s.maximum_version, ConvertMaximumVersion(L"1.6"));
         EXPECT_EQ(s.maximum_version.components[2], 65535);
         EXPECT_EQ(s.preferred_versions, (std::vector<std::wstring>{L"1.8", L"", L"11"}));
         EXPECT_EQ(s.configured_runtime_folder, L"/opt/jre");
         EXPECT_EQ(s.jvm_kind, JvmKind::FavorServer);
         EXPECT_TRUE(s.jdk_wanted);
         EXPECT_FALSE(s.jre_wanted);
         EXPECT_FALSE(s.both_kinds_acceptable);
         EXPECT_TRUE(s.jrockit_acceptable);
         EXPECT_TRUE(s.jrockit_favoured);
         EXPECT_TRUE(s.sun_acceptable);
         EXPECT_FALSE(s.sun_favoured);
         EXPECT_EQ(s.main_class, L"com/example/App");
         EXPECT_FALSE(s.service);
         EXPECT_TRUE(s.failure_check);
         EXPECT_TRUE(s.override_working_directory);
         EXPECT_EQ(s.system_path, L"/sys");
         EXPECT_EQ(s.library_path, L"/lib;");
       }},
      {"Defaults", "[Java Runtime Environment]\nMain Class=App\n", true, "",
       [](const LaunchSettings& s) {
         EXPECT_EQ(s.minimum_version, ConvertMinimumVersion(L""));
         EXPECT_EQ(s.maximum_version, ConvertMaximumVersion(L""));
         EXPECT_TRUE(s.preferred_versions.empty());
         EXPECT_EQ(s.jvm_kind, JvmKind::Any);
         EXPECT_TRUE(s.jdk_wanted);
         EXPECT_TRUE(s.jre_wanted);
         EXPECT_TRUE(s.both_kinds_acceptable);
         EXPECT_FALSE(s.jrockit_acceptable);
         EXPECT_TRUE(s.sun_acceptable);
         EXPECT_TRUE(s.sun_favoured);
         EXPECT_FALSE(s.failure_check);
         EXPECT_FALSE(s.override_working_directory);
         EXPECT_EQ(s.main_class, L"App");
       }},
      {"AnyLimitsAndServiceAndServer",
       "[Java Runtime Environment]\nMinimum Version=any\nMaximum Version=any\nJVM Type=server\n"
       "Main Class=A\n[Application]\nApplication Type=service\n",
       true, "",
       [](const LaunchSettings& s) {
         EXPECT_EQ(s.minimum_version, (JavaVersion{{0, 0, 0, 0}, 4}));
         EXPECT_EQ(s.maximum_version, (JavaVersion{{65535, 65535, 65535, 65535}, 4}));
         EXPECT_EQ(s.jvm_kind, JvmKind::Server);
         EXPECT_TRUE(s.service);
       }},
      {"KeywordsAreCaseSensitive",
       "[Java Runtime Environment]\nMinimum Version=Any\nJVM Type=Server\nJVM Source=Only_JDK\n"
       "Main Class=A\n[Application]\nApplication Type=Service\n",
       true, "",
       [](const LaunchSettings& s) {
         EXPECT_EQ(s.minimum_version, ConvertMinimumVersion(L"Any"));
         EXPECT_EQ(s.jvm_kind, JvmKind::Any);
         EXPECT_FALSE(s.jdk_wanted);
         EXPECT_FALSE(s.jre_wanted);
         EXPECT_FALSE(s.service);
       }},
      {"MissingMainClassStopsBeforeTheLastKeys",
       "[Java Runtime Environment]\nMain Class=\nSystem Path=/sys\n"
       "[Application]\nFailure Check=Yes\n",
       false, "Main class was not specified in INI file.",
       [](const LaunchSettings& s) {
         EXPECT_FALSE(s.failure_check);
         EXPECT_EQ(s.system_path, L"");
       }},
      // A main jar or module stands in for the main class; a module's class wins.
      {"MainJarAlone", "[Java Runtime Environment]\nMain Jar=%APP%/app.jar\n", true, "",
       [](const LaunchSettings& s) {
         EXPECT_EQ(s.main_jar, L"%APP%/app.jar");
         EXPECT_EQ(s.main_class, L"");
       }},
      {"MainModuleNamesItsClass",
       "[Java Runtime Environment]\nMain Class=a.B\nMain Module=mod/pkg.Main\n", true, "",
       [](const LaunchSettings& s) {
         EXPECT_EQ(s.main_module, L"mod");
         EXPECT_EQ(s.main_class, L"pkg/Main");
       }},
      {"MainModuleAlone", "[Java Runtime Environment]\nMain Module=mod\n", true, "",
       [](const LaunchSettings& s) {
         EXPECT_EQ(s.main_module, L"mod");
         EXPECT_EQ(s.main_class, L"");
       }},
      {"NoSettingsFile", "", false, "Main class was not specified in INI file.",
       [](const LaunchSettings&) {}},
  };
}

class SettingsBesideTheTest {
 public:
  SettingsBesideTheTest() {
    if (Expected<SettingsSource> source = OpenSettingsSource()) file_ = fs::path(source->file_path);
  }
  ~SettingsBesideTheTest() { Remove(); }
  void Write(const std::string& ini) const {
    if (ini.empty()) {
      Remove();
    } else {
      std::ofstream(file_, std::ios::binary) << ini;
    }
  }
  void Remove() const {
    std::error_code ignored;
    fs::remove(file_, ignored);
  }
  bool located() const { return !file_.empty(); }

 private:
  fs::path file_;
};

void CheckLaunchSettings(const SettingsBesideTheTest& settings_file) {
  for (const SettingsCase& c : Cases()) {
    SCOPED_TRACE(c.name);
    settings_file.Write(c.ini);
    const Expected<LaunchSettings> read = ReadLaunchSettings(*OpenSettingsSource());
    EXPECT_EQ(platform::NarrowFromWide(read ? L"" : read.failure().text), c.failure);
    EXPECT_EQ(bool(read), c.read_ok);
    if (read) c.check(*read);
  }

  // "JRE Path" from the per-user file, which alone decides once it exists;
  // a path beyond 259 characters is never looked at.
  const fs::path root = fs::temp_directory_path() / ("korvan-user-" + std::to_string(getpid()));
  const std::string ini =
      "[Product Information]\nProduct Name=P\nProduct Code=C\n"
      "[Java Runtime Environment]\nMain Class=A\nJRE Path=/from/settings\n";
  settings_file.Write(ini);
  const std::string base = fs::path(*GetModulePath()).stem().string() + ".ini";
  const std::vector<std::pair<fs::path, std::wstring>> user_roots = {
      {root / "short", L"/from/user"},
      {root / std::string(150, 'x') / std::string(150, 'y'), L"/from/settings"},
  };
  for (const auto& [user_root, expected] : user_roots) {
    fs::create_directories(user_root / "P" / "C");
    std::ofstream(user_root / "P" / "C" / base) << "[Java Runtime Environment]\nJRE Path=/from/user\n";
    setenv("XDG_CONFIG_HOME", user_root.c_str(), 1);
    const Expected<LaunchSettings> read = ReadLaunchSettings(*OpenSettingsSource());
    ASSERT_TRUE(read);
    EXPECT_EQ(read->configured_runtime_folder, expected) << user_root.string().size();
  }
  unsetenv("XDG_CONFIG_HOME");
  std::error_code ignored;
  fs::remove_all(root, ignored);
}

void CheckClassPathGroup(const SettingsBesideTheTest& settings_file) {
  settings_file.Write(
      "[Class Path]\nClass Path=app.jar:lib/x.jar\n"
      "[Java Runtime Environment]\nVirtual Machine Parameters=-Xmx50P -Dx=1\n"
      "[Application]\nOutput File=%TEMP%/out.txt\nError File=err.txt\n[Application+]\nCmd=-a\n");
  const Expected<ClassPathGroup> read = ReadClassPathGroup(*OpenSettingsSource());
  ASSERT_TRUE(read);
  const ClassPathGroup& group = *read;
  EXPECT_EQ(group.class_path, L"app.jar:lib/x.jar");
  EXPECT_EQ(group.vm_parameters, L"-Xmx50P -Dx=1");
  EXPECT_EQ(group.output_file, L"%TEMP%/out.txt");  // expanded later, with the VM options
  EXPECT_EQ(group.error_file, L"err.txt");
  EXPECT_EQ(group.extra_arguments, L"-a");

  settings_file.Write("[Class Path]\nClass Path=\n[Application]\nCmd=-a\n");
  const Expected<ClassPathGroup> missing = ReadClassPathGroup(*OpenSettingsSource());
  ASSERT_FALSE(missing);
  EXPECT_EQ(missing.failure().text, L"Java Class Path was not specified in INI file.");
  // With a main jar or module the class path is optional.
  const Expected<ClassPathGroup> optional = ReadClassPathGroup(*OpenSettingsSource(), false);
  ASSERT_TRUE(optional);
  EXPECT_EQ(optional->extra_arguments, L"-a");
}

TEST(SettingsBesideTheTest, ReadLaunchSettingsAndClassPathGroup) {
  SettingsBesideTheTest settings_file;
  ASSERT_TRUE(settings_file.located());
  CheckLaunchSettings(settings_file);
  CheckClassPathGroup(settings_file);
}

}  // namespace
}  // namespace korvan
