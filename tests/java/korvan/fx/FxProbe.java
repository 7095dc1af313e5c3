package korvan.fx;

import javafx.application.Application;
import javafx.application.Platform;
import javafx.stage.Stage;

/** A JavaFX application without a main method: says it started, with its arguments, and ends. */
public class FxProbe extends Application {
  @Override
  public void start(Stage stage) {
    System.out.println("fx start " + String.join(" ", getParameters().getRaw()));
    Platform.exit();
  }
}
