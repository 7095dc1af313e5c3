package javafx.application;

public final class Platform {
  public static void exit() {}
}
