package korvan.probe;

/** ServerApp with a stop method that returns while the server thread still serves. */
public final class StoppableServerApp {
  public static void main(String[] args) throws InterruptedException {
    ServerApp.main(args);
  }

  public static void stop() {
    System.out.println("stop called");
  }
}
