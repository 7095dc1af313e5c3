package org.korvan.maven;

/**
 * The project version made valid for each target's installers.
 *
 * <p>Windows and MSI compare one to four numbers (the first two up to 255, the
 * others up to 65535): the leading numbers of the Maven version are kept and
 * its qualifier dropped, so 1.2.0-SNAPSHOT gives 1.2.0. Debian versions start
 * with a digit and sort "~" before anything, even the end: the qualifier
 * follows a "~", so 1.2.0-SNAPSHOT gives 1.2.0~SNAPSHOT, which dpkg orders
 * before the release 1.2.0, and characters Debian does not allow become ".".
 */
public final class VersionMapping {
  private VersionMapping() {}

  /** The version for {@code target} ("windows-x64" or "linux-x64"); refuses one it cannot map. */
  public static String forTarget(String version, String target) {
    if (version == null || version.isEmpty() || !Character.isDigit(version.charAt(0))) {
      throw new IllegalArgumentException("the version \"" + version
          + "\" does not start with a number: set <packageVersion> to one such as 1.2.0");
    }
    return "windows-x64".equals(target) ? windows(version) : debian(version);
  }

  private static String windows(String version) {
    int end = 0;
    while (end < version.length() && (Character.isDigit(version.charAt(end)) || version.charAt(end) == '.')) end++;
    String[] numbers = version.substring(0, end).split("\\.");
    if (numbers.length > 4) {
      throw new IllegalArgumentException("the version \"" + version
          + "\" has more than four numbers, which Windows cannot compare: set <packageVersion>");
    }
    StringBuilder mapped = new StringBuilder();
    for (int i = 0; i < numbers.length; i++) {
      long limit = i < 2 ? 255 : 65535;
      if (numbers[i].isEmpty() || numbers[i].length() > 5 || Long.parseLong(numbers[i]) > limit) {
        throw new IllegalArgumentException("the version \"" + version + "\" gives no Windows version: numbers are not empty, its "
            + (i < 2 ? "first two numbers go up to 255" : "third and fourth numbers go up to 65535")
            + "; set <packageVersion>");
      }
      if (i > 0) mapped.append('.');
      mapped.append(Long.parseLong(numbers[i]));
    }
    return mapped.toString();
  }

  private static String debian(String version) {
    StringBuilder mapped = new StringBuilder();
    boolean qualified = false;
    for (char c : version.toCharArray()) {
      if (c == '-' && !qualified) {
        mapped.append('~');
        qualified = true;
      } else if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '.'
          || c == '+' || c == '~') {
        mapped.append(c);
      } else {
        mapped.append('.');
      }
    }
    return mapped.toString();
  }
}
