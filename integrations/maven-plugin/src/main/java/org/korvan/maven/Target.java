package org.korvan.maven;

import java.io.File;

/** One platform to release for: {@code <target><name>windows-x64</name><runtime>...</runtime></target>}. */
public class Target {
  /** windows-x64 or linux-x64. */
  String name;
  /** The Java runtime to bundle, for that platform's machine. */
  File runtime;
  /** Also build the target's installer: the MSI (Windows) or the .deb (Linux). */
  boolean installer;
  /** The runtime's modules for jlink ("auto", or names separated by ","); the plugin's {@code modules} when unset. */
  String modules;

  boolean windows() {
    return "windows-x64".equals(name);
  }
}
