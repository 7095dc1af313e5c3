package org.korvan.maven;

import java.io.File;

/**
 * Authenticode signing of the Windows launcher. The password comes from an
 * environment variable or from a {@code <server>} of Maven's settings, never
 * from the POM: {@code password} exists only to refuse it.
 */
public class Signing {
  /** A PKCS#12 file (.p12, .pfx). */
  File certificate;
  /** The environment variable holding the certificate's password. */
  String passwordVariable;
  /** The id of a server in Maven's settings whose password is the certificate's. */
  String passwordServer;
  /** An RFC 3161 timestamp server's address. */
  String timestampServer;
  /** Refused: a password in the POM is one in version control. */
  String password;
}
