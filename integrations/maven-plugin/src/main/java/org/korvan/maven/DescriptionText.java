package org.korvan.maven;

import java.io.File;
import java.util.ArrayList;
import java.util.List;

/**
 * A korvan-package description (docs/packaging.md), built section by section.
 * Values are written as given: korvan-package trims them and strips one pair
 * of outer quotes, so a value must not hold a line break.
 */
final class DescriptionText {
  private final StringBuilder text = new StringBuilder("; Written by korvan-maven-plugin; rebuilt at each run.\n");
  private String section;
  private final List<String> launchLines = new ArrayList<>();

  DescriptionText section(String name) {
    if (!name.equals(section)) text.append('[').append(name).append("]\n");
    section = name;
    return this;
  }

  /** Adds {@code key=value} to the current section; nothing when the value is null. */
  DescriptionText key(String key, Object value) {
    if (value == null) return this;
    String written = value instanceof File ? ((File) value).getAbsolutePath() : value.toString();
    if (written.indexOf('\n') >= 0 || written.indexOf('\r') >= 0 || key.indexOf('=') >= 0) {
      throw new IllegalArgumentException("[" + section + "] " + key + ": a value holds a line break, or the key a \"=\"");
    }
    text.append(key).append('=').append(written).append('\n');
    return this;
  }

  /** A launch setting: {@code "Key"} goes to [Java Runtime Environment], {@code "Section/Key"} to that section. */
  void launchSetting(String name, String value) {
    int slash = name.indexOf('/');
    String sectionName = slash < 0 ? "Java Runtime Environment" : name.substring(0, slash).trim();
    launchLines.add(sectionName + "\n" + (slash < 0 ? name : name.substring(slash + 1)).trim() + "\n" + value);
  }

  /** The whole text, once: the launch settings last, grouped by section in the order first named. */
  String finish() {
    List<String> sections = new ArrayList<>();
    for (String line : launchLines) {
      String name = line.substring(0, line.indexOf('\n'));
      if (!sections.contains(name)) sections.add(name);
    }
    for (String name : sections) {
      section(name);
      for (String line : launchLines) {
        String[] parts = line.split("\n", 3);
        if (parts[0].equals(name)) key(parts[1], parts[2]);
      }
    }
    return text.toString();
  }
}
