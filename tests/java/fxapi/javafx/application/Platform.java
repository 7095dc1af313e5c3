package javafx.application;

/** The part of JavaFX's API that the JavaFX probe compiles against. */
public final class Platform {
  public static void exit() {}
}
