// korvan-package end to end: for each target, the probe application packaged
// with its real runtime, twice to the same bytes, then run as users get it:
// the Linux one from its unpacked .tar.gz; the Windows one signed with a
// throwaway certificate, verified, and installed from its MSI under Wine
// (version 1, upgrade to 2, uninstall). Then one table of refused inputs.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/launch_folder.h"
#include "support/pe_header.h"
#include "support/real_runtimes.h"
#include "support/text_checks.h"

namespace korvan::e2e {
namespace {

namespace fs = std::filesystem;

const std::string kTool = (LinuxBuildDir() / "korvan-package").string();
const fs::path kJars = KORVAN_JAVA_TESTS_DIR;
const char kInstalled[] = "C:\\Program Files\\Korvan Tests\\Probe\\Probe.exe";

ProcessResult RunTool(const std::vector<std::string>& command) {
  return RunProcess(command, ProcessOptions{"", {{"KORVAN_TEST_SIGNING_PASSWORD", "test"}}, {}, 120});
}

// A throwaway certificate in `folder` (cert.pem, cert.p12 with password
// "test"), made at each run and never kept.
void MakeCertificate(const fs::path& folder) {
  const std::string key = (folder / "key.pem").string(), cert = (folder / "cert.pem").string();
  ASSERT_EQ(RunTool({"openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "1", "-subj",
                 "/CN=Korvan Package Test", "-keyout", key, "-out", cert}).exit_code, 0);
  ASSERT_EQ(RunTool({"openssl", "pkcs12", "-export", "-inkey", key, "-in", cert, "-out",
                 (folder / "cert.p12").string(), "-passout", "pass:test"}).exit_code, 0);
}

std::string PackageTarget(const Target& target) {
  return target.kind == TargetKind::Windows ? "windows-x64" : target.arm64 ? "linux-arm64" : "linux-x64";
}

// A description of the probe application for `runtime`, in `folder`.
std::string Description(const RealRuntime& runtime, const std::string& version, const std::string& extra = "") {
  return "; the probe application\n[Package]\nName=Probe\nVersion=" + version +
         "\nVendor=Korvan Tests\nTarget=" + PackageTarget(runtime.target) +
         "\nUpgrade Code={6C1F0E2A-9B3D-4A57-8E61-2F4D5C6B7A80}\n"
         "[Jars]\nMain Jar=" + (kJars / "probe.jar").string() + "\nLib Folder=lib\n"
         "[Runtime]\nFolder=" + runtime.home + "\n" + extra +
         "[Java Runtime Environment]\nMain Class=korvan.probe.Probe\nVirtual Machine Parameters=" +
         WineVmOptions(runtime) + " -Dpackage.version=" + version + "\n";
}

class PackageTest : public RealRuntimeTest {
 protected:
  PackageTest() {
    fs::create_directory(folder_.folder() / "lib");
    fs::copy_file(kJars / "extra.jar", folder_.folder() / "lib/extra.jar");
    fs::create_symlink("extra.jar", folder_.folder() / "lib/extra.jar.link");  // packed as a copy
  }

  // Packages `description` into out/; the exit code must be 0.
  void Package(const std::string& description) {
    folder_.WriteFile("app.package", description);
    const ProcessResult result = RunTool({kTool, "--launcher", folder_.launcher().string(), "--output",
                                      (folder_.folder() / "out").string(), (folder_.folder() / "app.package").string()});
    ASSERT_EQ(result.exit_code, 0) << result.standard_error;
  }

  std::string Archive(const std::string& version) const {
    return (folder_.folder() / "out" /
            ("Probe-" + version + "-" + PackageTarget(folder_.target()) + (folder_.windows() ? ".zip" : ".tar.gz")))
        .string();
  }

  LaunchFolder folder_{GetParam().target};
};

TEST_P(PackageTest, PackagesRunWithTheirBundledRuntime) {
  const RealRuntime& runtime = GetParam();
  // Desktop integration: the icon, a comment, a document type, a desktop shortcut.
  std::string extra = "[Package]\nIcon=" + std::string(KORVAN_SOURCE_DIR) +
                      "/samples/packaging/tool.ico\nDescription=Probes the launcher\n"
                      "[File Associations]\n.kdoc=Korvan Document\n[Installer]\nDesktop Shortcut=yes\nDEB=yes\n";
  if (folder_.windows()) {
    ASSERT_NO_FATAL_FAILURE(MakeCertificate(folder_.folder()));
    // An opened document's path reaches main as its first argument, which the
    // probe refuses as an unknown action, on System.err.
    extra.replace(extra.find("DEB=yes"), 7, "MSI=yes");
    extra += "[Signing]\nCertificate=cert.p12\nPassword Variable=KORVAN_TEST_SIGNING_PASSWORD\n"
             "[Application]\nError File=" + WinePath(folder_.folder() / "opened.txt") + "\n";
  }
  ASSERT_NO_FATAL_FAILURE(Package(Description(runtime, "1.0.0", extra)));
  const std::string first = ReadText(Archive("1.0.0"));
  const std::string deb = (folder_.folder() / "out" / ("Probe-1.0.0-" + PackageTarget(runtime.target) + ".deb")).string();
  const std::string first_deb = ReadText(deb);
  ASSERT_NO_FATAL_FAILURE(Package(Description(runtime, "1.0.0", extra)));
  // Reproducible, but for the signing time, which only SOURCE_DATE_EPOCH fixes.
  if (!folder_.windows()) EXPECT_TRUE(first == ReadText(Archive("1.0.0"))) << "two runs gave different archives";
  if (!folder_.windows()) EXPECT_TRUE(first_deb == ReadText(deb)) << "two runs gave different .deb files";
  const std::vector<std::string> probe = {"load", "korvan.extra.Extra"};
  const std::string loaded = folder_.Lines("korvan.extra.Extra from extra.jar\n");

  if (!folder_.windows()) {
    const fs::path unpacked = folder_.folder() / "unpacked";
    fs::create_directory(unpacked);
    ASSERT_EQ(RunTool({"tar", "-xzf", Archive("1.0.0"), "-C", unpacked.string()}).exit_code, 0);
    const ProcessResult ran = RunTool(MachineCommand(runtime.target, (unpacked / "Probe/Probe").string(), probe));
    EXPECT_EQ(ran.standard_output, loaded) << ran.standard_error;
    EXPECT_TRUE(fs::exists(unpacked / "Probe/jre64/lib/server/libjvm.so"));
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(unpacked / "Probe/lib/extra.jar.link")));
    // The .deb's files, unpacked where dpkg would put them, through its link on the PATH.
    const fs::path installed = folder_.folder() / "installed";
    ASSERT_EQ(RunTool({"dpkg-deb", "-x", deb, installed.string()}).exit_code, 0);
    EXPECT_EQ(fs::read_symlink(installed / "usr/bin/probe"), "/opt/probe/Probe");
    const ProcessResult from_deb = RunTool(MachineCommand(runtime.target, (installed / "opt/probe/Probe").string(), probe));
    EXPECT_EQ(from_deb.standard_output, loaded) << from_deb.standard_error;
    EXPECT_TRUE(Contains(RunTool({"dpkg-deb", "-f", deb, "Package", "Version", "Architecture"}).standard_output,
                         "Package: probe\nVersion: 1.0.0\nArchitecture: " +
                             std::string(runtime.target.arm64 ? "arm64" : "amd64") + "\n"));
    const fs::path entry = installed / "usr/share/applications/probe.desktop";
    const ProcessResult validated = RunTool({"desktop-file-validate", entry.string()});
    EXPECT_EQ(validated.exit_code, 0) << validated.standard_output << validated.standard_error;
    for (const char* line : {"\nExec=/usr/bin/probe %f\n", "\nIcon=probe\n", "\nTerminal=false\n",
                             "\nMimeType=application/x-probe-kdoc;\n", "\nComment=Probes the launcher\n"}) {
      EXPECT_TRUE(Contains(ReadText(entry), line)) << ReadText(entry);
    }
    // The MIME package as the desktop's own tool compiles it.
    fs::create_directories(folder_.folder() / "mime/packages");
    fs::copy_file(installed / "usr/share/mime/packages/probe.xml", folder_.folder() / "mime/packages/probe.xml");
    ASSERT_EQ(RunTool({"update-mime-database", (folder_.folder() / "mime").string()}).exit_code, 0);
    EXPECT_TRUE(Contains(ReadText(folder_.folder() / "mime/globs"), "application/x-probe-kdoc:*.kdoc\n"));
    // The PNGs made from the icon's bitmaps hold its pixels, as GdkPixbuf reads both.
    const auto pixels = [](const fs::path& image) {
      const std::string dump = RunTool({"gdk-pixbuf-csource", "--raw", image.string()}).standard_output;
      return dump.substr(std::min(dump.size(), dump.find(" = ")));
    };
    const fs::path icons = installed / "usr/share/icons/hicolor";
    for (const char* size : {"16x16", "32x32"}) EXPECT_TRUE(fs::exists(icons / size / "apps/probe.png")) << size;
    EXPECT_GT(pixels(icons / "48x48/apps/probe.png").size(), 48u * 48 * 4);
    EXPECT_EQ(pixels(icons / "48x48/apps/probe.png"), pixels(fs::path(KORVAN_SOURCE_DIR) / "samples/packaging/tool.ico"));
    return;
  }
  const ProcessResult verified = RunTool({"osslsigncode", "verify", "-CAfile", (folder_.folder() / "cert.pem").string(),
                                      (folder_.folder() / "out/Probe/Probe.exe").string()});
  EXPECT_TRUE(Contains(verified.standard_output, "Signature verification: ok")) << verified.standard_output;
  // Console=no by default: the windowed form, whose output reaches the pipes below; 2.0.0: console.
  EXPECT_EQ(PeSubsystem(folder_.folder() / "out/Probe/Probe.exe"), 2);
  ASSERT_NO_FATAL_FAILURE(Package("[Package]\nConsole=yes\n" + Description(runtime, "2.0.0", extra)));
  EXPECT_EQ(PeSubsystem(folder_.folder() / "out/Probe/Probe.exe"), 3);
  const auto msi = [&](const char* action, const std::string& version) {
    const std::string file = WinePath(folder_.folder() / "out" / ("Probe-" + version + "-windows-x64.msi"));
    return RunUnderWine({"msiexec", action, file, "/qn"}, ProcessOptions{"", {}, {}, 180}).exit_code;
  };
  for (const std::string version : {"1.0.0", "2.0.0"}) {
    ASSERT_EQ(msi("/i", version), 0) << "installing " << version;
    EXPECT_EQ(RunUnderWine({kInstalled, "load", "korvan.extra.Extra"}).standard_output, loaded);
    EXPECT_EQ(RunUnderWine({kInstalled, "property", "package.version"}).standard_output,
              folder_.Lines("package.version=" + version + "\n"));
  }
  const auto registry = [](const std::string& key) {
    return RunUnderWine({"reg", "query", key, "/s"}).standard_output;
  };
  const std::string launcher = std::string("\"") + kInstalled + "\"";
  EXPECT_TRUE(Contains(registry("HKCR\\.kdoc"), "REG_SZ    Probe.kdoc"));
  const std::string type = registry("HKCR\\Probe.kdoc");
  EXPECT_TRUE(Contains(type, "REG_SZ    Korvan Document")) << type;
  EXPECT_TRUE(Contains(type, "REG_SZ    " + launcher + " \"%1\"")) << type;
  EXPECT_TRUE(Contains(type, std::string("DefaultIcon\r\n    (Default)    REG_SZ    ") + kInstalled + ",0")) << type;
  const std::string uninstall = registry("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall");
  EXPECT_TRUE(Contains(uninstall, "InstallLocation    REG_SZ    C:\\Program Files\\Korvan Tests\\Probe\\")) << uninstall;
  const std::string products = registry("HKLM\\Software\\Classes\\Installer\\Products");
  EXPECT_TRUE(Contains(products, "ProductIcon    REG_SZ    ") && Contains(products, "ApplicationIcon.ico")) << products;
  // The Start-menu and the desktop shortcut, each with the description as its comment.
  const std::u16string comment = u"Probes the launcher";
  const std::string comment_bytes(reinterpret_cast<const char*>(comment.data()), comment.size() * 2);
  int shortcuts = 0;
  for (const auto& file : fs::recursive_directory_iterator(fs::path(std::getenv("WINEPREFIX")) / "drive_c")) {
    if (file.path().filename() != "Probe.lnk") continue;
    ++shortcuts;
    EXPECT_TRUE(Contains(ReadText(file.path()), comment_bytes)) << file.path() << " has no comment";
  }
  EXPECT_EQ(shortcuts, 2);
  const fs::path document = folder_.folder() / "a document.kdoc";
  folder_.WriteFile("a document.kdoc", "");
  RunUnderWine({"start", "/wait", WinePath(document)});
  EXPECT_TRUE(Contains(ReadText(folder_.folder() / "opened.txt"), "unknown action " + WinePath(document) + "\r\n"))
      << ReadText(folder_.folder() / "opened.txt");
  EXPECT_EQ(msi("/x", "2.0.0"), 0);
  const fs::path program_files = fs::path(std::getenv("WINEPREFIX")) / "drive_c/Program Files";
  EXPECT_FALSE(fs::exists(program_files / "Korvan Tests")) << "uninstalling left the folder behind";
}

std::vector<RealRuntime> NewestOfEachTarget() {
  return WithArm64({NewestRuntime(TargetKind::Linux), NewestRuntime(TargetKind::Windows)});
}
INSTANTIATE_TEST_SUITE_P(Targets, PackageTest, testing::ValuesIn(NewestOfEachTarget()), RuntimeName);

// [Runtime] Modules: Debian's JDK, with its jmods, linked down to java.base
// by its own jlink, and the package runs on it.
TEST(PackageModulesTest, BundlesOnlyTheNamedModules) {
  const RealRuntime jdk{Target{TargetKind::Linux, "Linux"}, 17, KORVAN_TEST_JDK, "Linux17"};
  if (!fs::is_directory(jdk.home + "/jmods")) GTEST_SKIP() << jdk.home << " has no jmods";
  LaunchFolder folder(jdk.target);
  folder.WriteFile("lib/extra.jar", ReadText(kJars / "extra.jar"));
  folder.WriteFile("app.package", Description(jdk, "1.0.0", "Modules=java.base\n"));
  const fs::path out = folder.folder() / "out";
  const ProcessResult packaged = RunTool({kTool, "--launcher", folder.launcher().string(), "--output", out.string(),
                                          (folder.folder() / "app.package").string()});
  ASSERT_EQ(packaged.exit_code, 0) << packaged.standard_error;
  EXPECT_TRUE(Contains(ReadText(out / "Probe/jre64/release"), "MODULES=\"java.base\"\n"));
  const ProcessResult ran = RunTool({(out / "Probe/Probe").string(), "load", "korvan.extra.Extra"});
  EXPECT_EQ(ran.standard_output, "korvan.extra.Extra from extra.jar\n") << ran.standard_error;
}

// A description without a main class: the package runs its main jar as java -jar does.
TEST(PackageMainJarTest, ManifestNamesTheMainClass) {
  const RealRuntime runtime = NewestRuntime(TargetKind::Linux);
  if (const std::string why = WhyNotRunnable(runtime); !why.empty()) GTEST_SKIP() << why;
  LaunchFolder folder(runtime.target);
  folder.WriteFile("lib/extra.jar", ReadText(kJars / "extra.jar"));
  std::string description = Description(runtime, "1.0.0");
  description.replace(description.find("probe.jar"), 9, "mainjar.jar");
  description.replace(description.find("Main Class=korvan.probe.Probe\n"), 30, "");
  folder.WriteFile("app.package", description);
  const fs::path out = folder.folder() / "out";
  const ProcessResult packaged = RunTool({kTool, "--launcher", folder.launcher().string(), "--output",
                                          out.string(), (folder.folder() / "app.package").string()});
  ASSERT_EQ(packaged.exit_code, 0) << packaged.standard_error;
  const std::string settings = ReadText(out / "Probe/Probe.ini");
  EXPECT_TRUE(Contains(settings, "[Java Runtime Environment]\nMain Jar=%KORVAN_APP_HOME%/mainjar.jar\n"))
      << settings;
  EXPECT_TRUE(Contains(settings, "\nClass Path=%KORVAN_APP_HOME%/lib/extra.jar\n")) << settings;
  const ProcessResult ran = RunTool({(out / "Probe/Probe").string(), "manifest"});
  EXPECT_TRUE(Contains(ran.standard_output, "agent=ran before main\n")) << ran.standard_error;
  EXPECT_TRUE(Contains(ran.standard_output, "/Probe/mainjar.jar manifest\n")) << ran.standard_output;
}

// The desktop sample's description, as the README shows it, still releases
// a windowed launcher that runs its jar by the manifest, and its MSI.
TEST(PackageSampleTest, DesktopSampleReleases) {
  const fs::path description = fs::path(KORVAN_SOURCE_DIR) / "samples/packaging/desktop.package";
  for (const char* input : {"build/linux/sample/viewer.jar", "build/windows/korvan.exe"}) {
    if (!fs::exists(fs::path(KORVAN_SOURCE_DIR) / input)) GTEST_SKIP() << input << " is not built";
  }
  LaunchFolder folder(NewestRuntime(TargetKind::Windows).target);
  const ProcessResult packaged = RunTool({kTool, "--output", folder.folder().string(), description.string()});
  ASSERT_EQ(packaged.exit_code, 0) << packaged.standard_error;
  EXPECT_EQ(PeSubsystem(folder.folder() / "Viewer/Viewer.exe"), 2);
  EXPECT_EQ(ReadText(folder.folder() / "Viewer/Viewer.ini"),
            "[Java Runtime Environment]\r\nMain Jar=%KORVAN_APP_HOME%\\viewer.jar\r\n");
  EXPECT_TRUE(fs::exists(folder.folder() / "Viewer-1.0.0-windows-x64.msi"));
}

// The tool built for Windows reads a description as the Linux one does.
TEST(PackageWindowsHostTest, RefusesUnknownKeysWithTheirLines) {
  const fs::path tool = fs::path(KORVAN_WINDOWS_BUILD_DIR) / "korvan-package.exe";
  if (!fs::exists(tool)) GTEST_SKIP() << tool << " is not built";
  LaunchFolder folder(Target{TargetKind::Windows, "Windows"});
  folder.WriteFile("app.package", Description(NewestRuntime(TargetKind::Windows), "1.0.0") + "[Jars]\nLib=x\n");
  const ProcessResult result = RunUnderWine({tool.string(), folder.NativePath("app.package")});
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_TRUE(Contains(result.standard_error, "app.package line 17: unknown key \"Lib\" in [Jars]"))
      << result.standard_error;
}

struct Refusal {
  std::string name;
  std::string from, to;  // a change to the good description
  std::string appended;
  std::vector<std::string> messages;
};

class PackageRefusalTest : public testing::TestWithParam<Refusal> {};

TEST_P(PackageRefusalTest, SaysWhyAndWritesNothing) {
  const RealRuntime runtime = NewestRuntime(TargetKind::Linux);
  if (const std::string why = WhyNotRunnable(runtime); !why.empty()) GTEST_SKIP() << why;
  const Refusal& refusal = GetParam();
  LaunchFolder folder(runtime.target);
  std::string description = Description(runtime, "1.0.0") + refusal.appended;
  if (!refusal.from.empty()) description.replace(description.find(refusal.from), refusal.from.size(), refusal.to);
  folder.WriteFile("app.package", description);
  folder.WriteFile("lib/extra.jar", "");
  if (refusal.name == "LinkOutOfTheInput") fs::create_symlink("/etc/passwd", folder.folder() / "lib/notes.txt");
  std::string launcher = folder.launcher().string();
  if (refusal.name == "SignedLauncher") {
    const fs::path windows_launcher = fs::path(KORVAN_WINDOWS_BUILD_DIR) / "korvan.exe";
    if (!fs::exists(windows_launcher)) GTEST_SKIP() << windows_launcher << " is not built";
    ASSERT_NO_FATAL_FAILURE(MakeCertificate(folder.folder()));
    launcher = (folder.folder() / "signed.exe").string();
    ASSERT_EQ(RunTool({"osslsigncode", "sign", "-pkcs12", (folder.folder() / "cert.p12").string(), "-pass", "test",
                   "-in", windows_launcher.string(), "-out", launcher}).exit_code, 0);
  }
  // Root may write anywhere, so the unwritable output lies below a file.
  const fs::path output = folder.folder() / (refusal.name == "UnwritableOutput" ? "app.package/out" : "out");
  const ProcessResult result = RunTool({kTool, "--launcher", launcher, "--output", output.string(),
                                    (folder.folder() / "app.package").string()});
  EXPECT_EQ(result.exit_code, 1);
  for (const std::string& message : refusal.messages) {
    EXPECT_TRUE(Contains(result.standard_error, message)) << result.standard_error;
  }
  EXPECT_TRUE(!fs::exists(output) || fs::is_empty(output)) << "a refused package left files behind";
}

const std::string kWindowsRuntime = std::string(KORVAN_SOURCE_DIR) + "/build/runtimes/windows-25";
const std::string kArm64Runtime = std::string(KORVAN_SOURCE_DIR) + "/build/runtimes/linux-arm64-21";

INSTANTIATE_TEST_SUITE_P(
    Inputs, PackageRefusalTest,
    testing::Values(
        Refusal{"MissingJar", "probe.jar\n", "missing.jar\n", "", {"the main jar", "missing.jar does not exist"}},
        Refusal{"RuntimeOfAnotherMachine", "\nFolder=", "\nFolder=" + kWindowsRuntime + "\n;", "",
                {"is for another machine", "jvm.dll is x64 Windows, not linux-x64"}},
        Refusal{"Arm64RuntimeForX64", "\nFolder=", "\nFolder=" + kArm64Runtime + "\n;", "",
                {"is for another machine", "libjvm.so is AArch64 ELF (Linux), not linux-x64"}},
        Refusal{"UnknownKeys", "", "", "[Runtime]\nFolders=x\n[Jars]\nLib=x\n",
                {"line 17: unknown key \"Folders\" in [Runtime]", "line 19: unknown key \"Lib\" in [Jars]"}},
        Refusal{"WrongTarget", "Target=linux-x64", "Target=windows-arm64", "", {"give windows-x64, linux-x64 or linux-arm64"}},
        Refusal{"WrongConsole", "Target=linux-x64", "Target=linux-x64\nConsole=maybe", "", {"Console is \"maybe\": give yes or no"}},
        // As in a settings file, the first of a repeated key counts.
        Refusal{"WrongTargetFirst", "Target=linux-x64", "Target=windows-arm64\n[Package]\nTarget=linux-x64", "",
                {"give windows-x64, linux-x64 or linux-arm64"}},
        Refusal{"NotAnExtension", "", "", "[File Associations]\n.kdoc=Korvan Document\nkdoc=Korvan Document\n",
                {"line 18: [File Associations] \"kdoc\" is no file extension"}},
        Refusal{"NoDebianVersion", "Version=1.0.0", "Version=v1", "[Installer]\nDEB=yes\n",
                {"\"v1\" is no Debian version"}},
        Refusal{"SignedLauncher", "Target=linux-x64", "Target=windows-x64", "", {"is signed"}},
        Refusal{"UnwritableOutput", "", "", "", {"cannot write to the output folder"}},
        Refusal{"LinkOutOfTheInput", "", "", "", {"lib/notes.txt is a symbolic link to /etc/passwd, outside"}}),
    [](const testing::TestParamInfo<Refusal>& info) { return info.param.name; });

}  // namespace
}  // namespace korvan::e2e
