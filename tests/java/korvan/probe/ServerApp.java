package korvan.probe;

import java.util.concurrent.locks.LockSupport;

/**
 * A server run as a service: main starts a non-daemon thread that serves until
 * the process ends and returns (with server.mainWaits, waits for it). No stop
 * method; ServerApp$Stoppable has one that leaves the server thread serving.
 */
public final class ServerApp {
  public static void main(String[] args) throws InterruptedException {
    Runtime.getRuntime().addShutdownHook(new Thread(() -> System.out.println("shutdown hook ran")));
    Thread server = new Thread(() -> {
      while (true) LockSupport.park();
    });
    server.start();
    System.out.println("main started, serving");
    if (Boolean.getBoolean("server.mainWaits")) server.join();
    System.out.println("main returns");
  }

  public static final class Stoppable {
    public static void main(String[] args) throws InterruptedException {
      ServerApp.main(args);
    }

    public static void stop() {
      System.out.println("stop called");
    }
  }
}
