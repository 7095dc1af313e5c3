package javafx.application;

import java.util.List;

/** The part of JavaFX's API that the JavaFX probe compiles against; the real JavaFX runs it. */
public abstract class Application {
  public abstract void start(javafx.stage.Stage stage) throws Exception;

  public final Parameters getParameters() {
    throw new UnsupportedOperationException();
  }

  public abstract static class Parameters {
    public abstract List<String> getRaw();
  }
}
