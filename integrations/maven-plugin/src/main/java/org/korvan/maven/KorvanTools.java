package org.korvan.maven;

import java.io.File;
import java.io.IOException;
import java.io.InputStream;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.StandardCopyOption;
import java.util.zip.ZipEntry;
import java.util.zip.ZipFile;

/**
 * Where korvan-package and the launchers are: a local Korvan build
 * ({@code korvanHome}: its build folder, holding linux/ and windows/, or a
 * folder holding korvan-package beside the launchers), or the
 * org.korvan:korvan-tools:zip:linux-x64 artifact unpacked.
 */
final class KorvanTools {
  final File packageTool;
  /** The Windows launcher when it is not beside korvan-package; else null. */
  final File windowsLauncher;

  private KorvanTools(File packageTool, File windowsLauncher) {
    this.packageTool = packageTool;
    this.windowsLauncher = windowsLauncher;
  }

  static KorvanTools inFolder(File home) throws IOException {
    File build = new File(home, "linux/korvan-package");
    if (build.isFile()) return new KorvanTools(build, new File(home, "windows/korvan.exe"));
    File flat = new File(home, "korvan-package");
    if (!flat.isFile()) throw new IOException(home + " holds no korvan-package (nor linux/korvan-package)");
    return new KorvanTools(flat, null);
  }

  /** The tools zip unpacked into {@code folder}, anew when the zip is newer. */
  static KorvanTools unpacked(File zip, File folder) throws IOException {
    File stamp = new File(folder, ".unpacked");
    if (!stamp.isFile() || stamp.lastModified() < zip.lastModified()) {
      Path root = folder.toPath().toAbsolutePath().normalize();
      try (ZipFile archive = new ZipFile(zip)) {
        for (ZipEntry entry : java.util.Collections.list(archive.entries())) {
          Path to = root.resolve(entry.getName()).normalize();
          if (!to.startsWith(root)) throw new IOException(zip + " holds an entry outside its folder: " + entry.getName());
          if (entry.isDirectory()) {
            Files.createDirectories(to);
            continue;
          }
          Files.createDirectories(to.getParent());
          try (InputStream in = archive.getInputStream(entry)) {
            Files.copy(in, to, StandardCopyOption.REPLACE_EXISTING);
          }
          // A zip read by Java keeps no permissions: the programs for Linux have no extension.
          if (!to.getFileName().toString().contains(".")) to.toFile().setExecutable(true, false);
        }
      }
      Files.write(stamp.toPath(), new byte[0]);
    }
    return inFolder(folder);
  }
}
