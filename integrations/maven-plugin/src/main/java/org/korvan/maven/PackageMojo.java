package org.korvan.maven;

import java.io.ByteArrayOutputStream;
import java.io.File;
import java.io.IOException;
import java.io.InputStream;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.StandardCopyOption;
import java.util.ArrayList;
import java.util.HashSet;
import java.util.List;
import java.util.Map;
import java.util.Properties;
import java.util.Set;
import java.util.TreeMap;
import java.util.TreeSet;
import org.apache.maven.artifact.Artifact;
import org.apache.maven.execution.MavenSession;
import org.apache.maven.plugin.AbstractMojo;
import org.apache.maven.plugin.MojoExecutionException;
import org.apache.maven.plugin.MojoFailureException;
import org.apache.maven.plugins.annotations.Component;
import org.apache.maven.plugins.annotations.LifecyclePhase;
import org.apache.maven.plugins.annotations.Mojo;
import org.apache.maven.plugins.annotations.Parameter;
import org.apache.maven.plugins.annotations.ResolutionScope;
import org.apache.maven.project.MavenProject;
import org.apache.maven.project.MavenProjectHelper;
import org.apache.maven.settings.Server;
import org.apache.maven.settings.building.SettingsProblem;
import org.apache.maven.settings.crypto.DefaultSettingsDecryptionRequest;
import org.apache.maven.settings.crypto.SettingsDecrypter;
import org.apache.maven.settings.crypto.SettingsDecryptionResult;
import org.eclipse.aether.RepositorySystem;
import org.eclipse.aether.artifact.DefaultArtifact;
import org.eclipse.aether.resolution.ArtifactRequest;
import org.eclipse.aether.resolution.ArtifactResolutionException;

/**
 * Releases the project with Korvan: for each target, a package description in
 * target/korvan/, then korvan-package on it, then its zip or tar.gz, MSI and
 * .deb attached to the project with the target as classifier.
 */
@Mojo(name = "package", defaultPhase = LifecyclePhase.PACKAGE, threadSafe = true,
    requiresDependencyResolution = ResolutionScope.RUNTIME)
public class PackageMojo extends AbstractMojo {
  /** The environment variable through which a password from Maven's settings reaches korvan-package. */
  static final String PASSWORD_VARIABLE = "KORVAN_SIGNING_PASSWORD";

  @Parameter(defaultValue = "${project}", readonly = true, required = true)
  MavenProject project;

  @Parameter(defaultValue = "${session}", readonly = true, required = true)
  MavenSession session;

  @Component MavenProjectHelper projectHelper;
  @Component RepositorySystem repositorySystem;
  @Component SettingsDecrypter settingsDecrypter;

  @Parameter(property = "korvan.skip", defaultValue = "false")
  boolean skip;

  /** The platforms to release for, each with its runtime. */
  @Parameter(required = true)
  List<Target> targets;

  /** A local Korvan build instead of the korvan-tools artifact. */
  @Parameter(property = "korvan.home")
  File korvanHome;

  /** The version of org.korvan:korvan-tools:zip:linux-x64; the plugin's own by default. */
  @Parameter(property = "korvan.toolsVersion", defaultValue = "${plugin.version}")
  String toolsVersion;

  /** The application's name; the artifactId, or the finalName when the POM sets one. */
  @Parameter String name;
  /** The version to map for each target, instead of the project's. */
  @Parameter String packageVersion;
  /** The company; the POM's organization name by default. */
  @Parameter String vendor;
  @Parameter File icon;
  @Parameter String upgradeCode;
  /** Modules for every target's runtime: "auto", names separated by ",", or both. */
  @Parameter String modules;
  /** A console launcher (true) or a windowed one (false); korvan-package's default when unset. */
  @Parameter Boolean console;
  @Parameter List<FileAssociation> fileAssociations;
  @Parameter Signing signing;

  @Parameter String mainClass;
  /** A Main Jar launch setting as written; without it and a main class, the artifact's manifest names the class. */
  @Parameter String mainJar;
  @Parameter String vmParameters;
  @Parameter String minimumVersion;
  /** More launcher settings: {@code <property><name>Key</name>} or {@code Section/Key}, with {@code <value>}. */
  @Parameter Properties launcherSettings;

  @Override
  public void execute() throws MojoExecutionException, MojoFailureException {
    if (skip) {
      getLog().info("korvan.skip is set: nothing packaged");
      return;
    }
    if (signing != null && signing.password != null) {
      throw new MojoFailureException("<signing><password> is refused: a password in the POM ends up in version "
          + "control; give <passwordVariable> (an environment variable) or <passwordServer> (a server in "
          + "Maven's settings.xml)");
    }
    if (targets == null || targets.isEmpty()) {
      throw new MojoFailureException("<targets> names no target: give windows-x64, linux-x64 or both");
    }
    File mainJarFile = project.getArtifact().getFile();
    if (mainJarFile == null || !mainJarFile.isFile() || !mainJarFile.getName().endsWith(".jar")) {
      throw new MojoFailureException("the project has no jar to package (packaging \"" + project.getPackaging()
          + "\"): bind korvan:package after the jar plugin in a jar project");
    }
    File folder = new File(project.getBuild().getDirectory(), "korvan");
    try {
      File lib = copyDependencies(new File(folder, "lib"));
      KorvanTools tools = tools();
      for (Target target : targets) {
        packageTarget(target, folder, mainJarFile, lib, tools);
      }
    } catch (IOException e) {
      throw new MojoExecutionException(e.getMessage(), e);
    }
  }

  private File copyDependencies(File lib) throws IOException, MojoFailureException {
    deleteTree(lib);
    Files.createDirectories(lib.toPath());
    Set<String> names = new HashSet<>();
    for (Artifact dependency : project.getArtifacts()) {
      if ("pom".equals(dependency.getType())) continue;  // only brings its own dependencies
      File file = dependency.getFile();
      if (file == null || !file.isFile() || !file.getName().endsWith(".jar")) {
        throw new MojoFailureException("the dependency " + dependency.getId() + " is not a jar (" + file
            + "): only jars go on the class path in lib/; give it <scope>provided</scope> or exclude it");
      }
      if (!names.add(file.getName())) {
        throw new MojoFailureException("two dependencies are both named " + file.getName() + " in lib/");
      }
      Files.copy(file.toPath(), new File(lib, file.getName()).toPath(), StandardCopyOption.REPLACE_EXISTING);
    }
    return lib;
  }

  private KorvanTools tools() throws IOException, MojoExecutionException {
    if (korvanHome != null) return KorvanTools.inFolder(korvanHome);
    ArtifactRequest request = new ArtifactRequest(
        new DefaultArtifact("org.korvan", "korvan-tools", "linux-x64", "zip", toolsVersion),
        project.getRemoteProjectRepositories(), null);
    File zip;
    try {
      zip = repositorySystem.resolveArtifact(session.getRepositorySession(), request).getArtifact().getFile();
    } catch (ArtifactResolutionException e) {
      throw new MojoExecutionException("cannot resolve the Korvan tools (" + e.getMessage()
          + "); install them (scripts/install-maven-artifacts in Korvan) or set <korvanHome>", e);
    }
    return KorvanTools.unpacked(zip, new File(project.getBuild().getDirectory(), "korvan-tools-" + toolsVersion));
  }

  private void packageTarget(Target target, File folder, File mainJarFile, File lib, KorvanTools tools)
      throws IOException, MojoExecutionException, MojoFailureException {
    if (!"windows-x64".equals(target.name) && !"linux-x64".equals(target.name)) {
      throw new MojoFailureException("<target><name> is \"" + target.name + "\": give windows-x64 or linux-x64");
    }
    if (target.runtime == null) {
      throw new MojoFailureException("the target " + target.name + " names no <runtime>: a Java runtime for "
          + target.name + " to bundle");
    }
    String applicationName = applicationName();
    String version;
    try {
      version = VersionMapping.forTarget(packageVersion != null ? packageVersion : project.getVersion(), target.name);
    } catch (IllegalArgumentException e) {
      throw new MojoFailureException(target.name + ": " + e.getMessage());
    }
    Map<String, String> environment = new TreeMap<>();
    String text;
    try {
      text = description(target, applicationName, version, mainJarFile, lib, environment);
    } catch (IllegalArgumentException e) {
      throw new MojoFailureException(target.name + ": " + e.getMessage());
    }
    File descriptionFile = new File(folder, target.name + ".package");
    Files.write(descriptionFile.toPath(), text.getBytes(StandardCharsets.UTF_8));
    File output = new File(folder, target.name);
    List<String> command = new ArrayList<>(List.of(tools.packageTool.getAbsolutePath(), "--output",
        output.getAbsolutePath()));
    if (target.windows() && tools.windowsLauncher != null) {
      command.add("--launcher");
      command.add(tools.windowsLauncher.getAbsolutePath());
    }
    command.add(descriptionFile.getAbsolutePath());
    run(command, environment, descriptionFile);

    String base = applicationName + "-" + version + "-" + target.name;
    attach(output, base, target.windows() ? "zip" : "tar.gz", target.name);
    if (target.installer) attach(output, base, target.windows() ? "msi" : "deb", target.name);
  }

  private String applicationName() {
    if (name != null) return name;
    String finalName = project.getBuild().getFinalName();
    boolean defaultFinalName = finalName == null
        || finalName.equals(project.getArtifactId() + "-" + project.getVersion());
    return defaultFinalName ? project.getArtifactId() : finalName;
  }

  String description(Target target, String applicationName, String version, File mainJarFile, File lib,
      Map<String, String> environment) throws MojoFailureException {
    DescriptionText text = new DescriptionText();
    String company = vendor != null ? vendor
        : project.getOrganization() != null ? project.getOrganization().getName() : null;
    text.section("Package").key("Name", applicationName).key("Version", version).key("Vendor", company)
        .key("Target", target.name);
    if (target.windows()) text.key("Icon", icon).key("Upgrade Code", upgradeCode);
    if (console != null) text.key("Console", console ? "yes" : "no");
    text.section("Jars").key("Main Jar", mainJarFile).key("Lib Folder", lib);
    text.section("Runtime").key("Folder", target.runtime).key("Modules", target.modules != null ? target.modules : modules);
    if (target.installer) text.section("Installer").key(target.windows() ? "MSI" : "DEB", "yes");
    if (target.windows() && signing != null && signing.certificate != null) {
      text.section("Signing").key("Certificate", signing.certificate)
          .key("Password Variable", signingPasswordVariable(environment))
          .key("Timestamp Server", signing.timestampServer);
    }
    if (fileAssociations != null && !fileAssociations.isEmpty()) {
      text.section("File Associations");
      for (FileAssociation association : fileAssociations) {
        if (association.extension == null || association.extension.isBlank()) {
          throw new MojoFailureException("a <fileAssociation> names no <extension>");
        }
        text.key(association.extension, association.description != null ? association.description : "");
      }
    }
    if (mainClass != null) text.launchSetting("Main Class", mainClass);
    if (mainJar != null) text.launchSetting("Main Jar", mainJar);
    if (vmParameters != null) text.launchSetting("Virtual Machine Parameters", vmParameters.trim());
    if (minimumVersion != null) text.launchSetting("Minimum Version", minimumVersion);
    if (launcherSettings != null) {
      for (String key : new TreeSet<>(launcherSettings.stringPropertyNames())) {
        text.launchSetting(key, launcherSettings.getProperty(key));
      }
    }
    return text.finish();
  }

  /** The variable korvan-package reads the password from; a settings server's password is put there. */
  private String signingPasswordVariable(Map<String, String> environment) throws MojoFailureException {
    if (signing.passwordVariable != null) return signing.passwordVariable;
    if (signing.passwordServer == null) return null;
    Server server = session.getSettings().getServer(signing.passwordServer);
    if (server == null) {
      throw new MojoFailureException("<passwordServer> names the server \"" + signing.passwordServer
          + "\", which Maven's settings do not hold");
    }
    SettingsDecryptionResult decrypted = settingsDecrypter.decrypt(new DefaultSettingsDecryptionRequest(server));
    for (SettingsProblem problem : decrypted.getProblems()) {
      if (problem.getSeverity() != SettingsProblem.Severity.WARNING) {
        throw new MojoFailureException("the password of the server \"" + signing.passwordServer
            + "\" cannot be decrypted: " + problem.getMessage());
      }
    }
    environment.put(PASSWORD_VARIABLE, decrypted.getServer().getPassword());
    return PASSWORD_VARIABLE;
  }

  private void run(List<String> command, Map<String, String> environment, File descriptionFile)
      throws IOException, MojoFailureException {
    ProcessBuilder builder = new ProcessBuilder(command).redirectErrorStream(true);
    builder.environment().putAll(environment);
    getLog().info("korvan-package " + descriptionFile);
    Process process = builder.start();
    ByteArrayOutputStream output = new ByteArrayOutputStream();
    try (InputStream in = process.getInputStream()) {
      in.transferTo(output);
    }
    int exitCode;
    try {
      exitCode = process.waitFor();
    } catch (InterruptedException e) {
      process.destroy();
      Thread.currentThread().interrupt();
      throw new MojoFailureException("interrupted while korvan-package ran");
    }
    String text = output.toString(StandardCharsets.UTF_8).trim();
    if (exitCode != 0) {
      throw new MojoFailureException("korvan-package failed (exit " + exitCode + ") on " + descriptionFile + ":\n" + text);
    }
    for (String line : text.split("\n")) {
      if (!line.isEmpty()) getLog().info(line);
    }
  }

  private void attach(File output, String base, String type, String classifier) throws MojoExecutionException {
    File file = new File(output, base + "." + type);
    if (!file.isFile()) throw new MojoExecutionException("korvan-package made no " + file);
    projectHelper.attachArtifact(project, type, classifier, file);
  }

  private static void deleteTree(File file) throws IOException {
    File[] children = file.listFiles();
    if (children != null) {
      for (File child : children) deleteTree(child);
    }
    Files.deleteIfExists(file.toPath());
  }
}
