package org.korvan.maven;

import static org.junit.Assert.assertEquals;
import static org.junit.Assert.assertThrows;
import static org.junit.Assert.assertTrue;

import java.util.Arrays;
import java.util.Collection;
import org.junit.Test;
import org.junit.runner.RunWith;
import org.junit.runners.Parameterized;
import org.junit.runners.Parameterized.Parameters;

/** Maven versions as Windows (MSI) and Debian versions; null where the version is refused. */
@RunWith(Parameterized.class)
public class VersionMappingTest {
  @Parameters(name = "{0}")
  public static Collection<Object[]> table() {
    return Arrays.asList(new Object[][] {
        {"1.2.0", "1.2.0", "1.2.0"},
        {"1.2.0-SNAPSHOT", "1.2.0", "1.2.0~SNAPSHOT"},
        {"2.0.1-rc-1", "2.0.1", "2.0.1~rc.1"},
        {"1.0.0-20261209.101500-3", "1.0.0", "1.0.0~20261209.101500.3"},
        {"3.1_beta", "3.1", "3.1.beta"},
        {"1.2.3.4", "1.2.3.4", "1.2.3.4"},
        {"07.1", "7.1", "07.1"},
        {"255.255.65535", "255.255.65535", "255.255.65535"},
        {"1.2.3.4.5", null, "1.2.3.4.5"},
        {"256.0", null, "256.0"},
        {"2026.12", null, "2026.12"},
        {"1.0.65536", null, "1.0.65536"},
        {"v1.0", null, null},
        {"1..2", null, "1..2"},
        {"", null, null},
    });
  }

  private final String version;
  private final String windows;
  private final String debian;

  public VersionMappingTest(String version, String windows, String debian) {
    this.version = version;
    this.windows = windows;
    this.debian = debian;
  }

  @Test
  public void windows() {
    check("windows-x64", windows);
  }

  @Test
  public void debian() {
    check("linux-x64", debian);
  }

  private void check(String target, String expected) {
    if (expected != null) {
      assertEquals(expected, VersionMapping.forTarget(version, target));
    } else {
      IllegalArgumentException refused =
          assertThrows(IllegalArgumentException.class, () -> VersionMapping.forTarget(version, target));
      assertTrue(refused.getMessage(), refused.getMessage().contains("<packageVersion>"));
    }
  }
}
