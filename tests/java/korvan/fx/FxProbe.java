package korvan.fx;

/** A JavaFX application without a main: says it started, with its arguments, and ends. */
public class FxProbe extends javafx.application.Application {
  @Override
  public void start(javafx.stage.Stage stage) {
    System.out.println("fx start " + String.join(" ", getParameters().getRaw()));
    javafx.application.Platform.exit();
  }
}
