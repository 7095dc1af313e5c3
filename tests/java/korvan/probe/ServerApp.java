package korvan.probe;

/**
 * Stands in for a server run as a service: main starts a non-daemon thread
 * that serves until the process ends, then returns (with server.mainWaits,
 * main waits for that thread instead). It has no stop method; a shutdown
 * hook tells that it ran.
 */
public final class ServerApp {
  public static void main(String[] args) throws InterruptedException {
    Runtime.getRuntime().addShutdownHook(new Thread(() -> System.out.println("shutdown hook ran")));
    Thread server = new Thread(() -> {
      try {
        Thread.sleep(Long.MAX_VALUE);
      } catch (InterruptedException e) {
        return;
      }
    }, "server");
    server.start();
    System.out.println("main started, serving");
    if (Boolean.getBoolean("server.mainWaits")) server.join();
    System.out.println("main returns");
  }
}
