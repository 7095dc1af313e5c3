package javafx.application;

/** Declarations of JavaFX's API that the JavaFX probe compiles against; the real JavaFX runs it. */
public abstract class Application {
  public abstract void start(javafx.stage.Stage stage);
  public final Parameters getParameters() { return null; }
  public abstract static class Parameters { public abstract java.util.List<String> getRaw(); }
}
