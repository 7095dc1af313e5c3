// The Maven sample (samples/maven) built by the locally installed
// korvan-maven-plugin (the MavenSample.Build test, before these): each
// target's artifacts reach the local repository with their classifier, and
// run as users get them: the Linux one from its .tar.gz and its .deb, the
// Windows one installed from its MSI under Wine. Then one table of builds
// the plugin refuses.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "support/launch_folder.h"
#include "support/text_checks.h"

namespace korvan::e2e {
namespace {

namespace fs = std::filesystem;

const fs::path kSample = fs::path(KORVAN_LINUX_BUILD_DIR) / "maven-sample";  // made by MavenSample.Build
const fs::path kRepository = fs::path(std::getenv("HOME")) / ".m2/repository";
const fs::path kInstalled = kRepository / "com/example/greeter/1.2.0-SNAPSHOT";

ProcessResult RunCommand(const std::vector<std::string>& command, const std::string& folder = "") {
  return RunProcess(command, ProcessOptions{folder, {}, {}, 300});
}

class MavenSampleTest : public TargetTest {};

TEST_P(MavenSampleTest, ArtifactsInstallAndRun) {
  const bool windows = GetParam().kind == TargetKind::Windows;
  const fs::path output = kSample / "target/korvan" / (windows ? "windows-x64" : "linux-x64");
  // 1.2.0-SNAPSHOT: the MSI carries 1.2.0, the .deb 1.2.0~SNAPSHOT, which dpkg orders before 1.2.0.
  const std::string base = windows ? "Greeter-1.2.0-windows-x64" : "Greeter-1.2.0~SNAPSHOT-linux-x64";
  for (const std::string type : windows ? std::vector<std::string>{"zip", "msi"} : std::vector<std::string>{"tar.gz", "deb"}) {
    const fs::path file = kInstalled / ("greeter-1.2.0-SNAPSHOT-" + std::string(windows ? "windows-x64." : "linux-x64.") + type);
    ASSERT_TRUE(fs::exists(output / (base + "." + type))) << output / (base + "." + type);
    EXPECT_TRUE(ReadText(file) == ReadText(output / (base + "." + type))) << file << " is not the attached " << type;
  }
  if (!windows) {
    const fs::path unpacked = fs::path(testing::TempDir()) / "maven-sample-unpacked";
    fs::remove_all(unpacked);
    fs::create_directories(unpacked);
    ASSERT_EQ(RunCommand({"tar", "-xzf", (output / (base + ".tar.gz")).string(), "-C", unpacked.string()}).exit_code, 0);
    const ProcessResult ran = RunCommand({(unpacked / "Greeter/Greeter").string(), "--name", "Linux"});
    EXPECT_EQ(ran.standard_output, "Hello, Linux! (maven edition, Java 17)\n") << ran.standard_error;
    // Modules=auto: jdeps finds that the application and picocli need java.base only.
    EXPECT_TRUE(Contains(ReadText(unpacked / "Greeter/jre64/release"), "MODULES=\"java.base\"\n"));
    const ProcessResult deb = RunCommand({"dpkg-deb", "-f", (output / (base + ".deb")).string(), "Package", "Version"});
    EXPECT_EQ(deb.standard_output, "Package: greeter\nVersion: 1.2.0~SNAPSHOT\n");
    return;
  }
  const std::string msi = WinePath(output / (base + ".msi"));
  ASSERT_EQ(RunUnderWine({"msiexec", "/i", msi, "/qn"}, ProcessOptions{"", {}, {}, 180}).exit_code, 0);
  const ProcessResult ran =
      RunUnderWine({"C:\\Program Files\\Example Tools Ltd\\Greeter\\Greeter.exe", "--name", "Windows"});
  EXPECT_EQ(ran.standard_output, "Hello, Windows! (maven edition, Java 25)\r\n") << ran.standard_error;
  EXPECT_EQ(RunUnderWine({"msiexec", "/x", msi, "/qn"}, ProcessOptions{"", {}, {}, 180}).exit_code, 0);
}

// Named by the plugin's targets: CMake runs each after the sample's build.
INSTANTIATE_TEST_SUITE_P(Targets, MavenSampleTest, testing::ValuesIn(AllTargets()),
                         [](const testing::TestParamInfo<Target>& info) {
                           return info.param.kind == TargetKind::Windows ? "windows_x64" : "linux_x64";
                         });

struct MavenRefusal {
  std::string name;
  std::string from, to;  // a change to the sample's POM
  std::string message;
};

class MavenRefusalTest : public testing::TestWithParam<MavenRefusal> {};

TEST_P(MavenRefusalTest, FailsTheBuildSayingWhy) {
  if (!fs::exists(kRepository / "org/korvan/korvan-maven-plugin")) {
    GTEST_SKIP() << "the plugin is not installed: run scripts/install-maven-artifacts";
  }
  const MavenRefusal& refusal = GetParam();
  const fs::path project = fs::path(testing::TempDir()) / ("maven-refusal-" + refusal.name);
  fs::remove_all(project);
  fs::create_directories(project);
  fs::copy(fs::path(KORVAN_SOURCE_DIR) / "samples/maven", project, fs::copy_options::recursive);
  fs::remove_all(project / "target");
  std::string pom = ReadText(project / "pom.xml");
  ASSERT_NE(pom.find(refusal.from), std::string::npos) << refusal.from;
  pom.replace(pom.find(refusal.from), refusal.from.size(), refusal.to);
  std::ofstream(project / "pom.xml", std::ios::binary) << pom;
  const ProcessResult built = RunCommand({"mvn", "-B", "package", "-Dkorvan.runtime.windows=/nonexistent"}, project.string());
  EXPECT_NE(built.exit_code, 0);
  EXPECT_TRUE(Contains(built.standard_output, refusal.message)) << built.standard_output;
  EXPECT_FALSE(fs::exists(project / "target/korvan/windows-x64")) << "a refused build packaged anyway";
}

INSTANTIATE_TEST_SUITE_P(
    Builds, MavenRefusalTest,
    testing::Values(
        MavenRefusal{"NoRuntime", "<runtime>${korvan.runtime.windows}</runtime>", "",
                     "the target windows-x64 names no <runtime>"},
        MavenRefusal{"DependencyNotAJar", "</dependencies>",
                     "<dependency><groupId>org.korvan</groupId><artifactId>korvan-tools</artifactId>"
                     "<version>0.1.0</version><classifier>linux-x64</classifier><type>zip</type>"
                     "</dependency></dependencies>",
                     "the dependency org.korvan:korvan-tools:zip:linux-x64:0.1.0 is not a jar"},
        MavenRefusal{"PasswordInThePom", "<targets>",
                     "<signing><certificate>cert.p12</certificate><password>secret</password></signing><targets>",
                     "<signing><password> is refused"},
        // korvan-package's own refusal fails the build with its message.
        MavenRefusal{"RuntimeMissing", "", "", "the runtime folder /nonexistent does not exist"}),
    [](const testing::TestParamInfo<MavenRefusal>& info) { return info.param.name; });

}  // namespace
}  // namespace korvan::e2e
