package org.korvan.maven;

/** A file type that the installed application opens: {@code <extension>txt</extension><description>...}. */
public class FileAssociation {
  String extension;
  String description;
}
