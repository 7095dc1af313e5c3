package korvan.probe;

import java.nio.file.Files;
import java.nio.file.Paths;
import java.util.concurrent.CountDownLatch;
import java.util.concurrent.atomic.AtomicInteger;

/**
 * A service: main waits until the launcher calls stop. Properties steer it:
 * service.initMarker (a file written while the class initialises, which then
 * takes service.initDelay ms), service.stopDelay (ms that stop takes),
 * service.hookDelay (ms that the shutdown hook takes), service.returnAtOnce
 * (main returns by itself).
 */
public final class ServiceApp {
  private static final CountDownLatch STOPPED = new CountDownLatch(1);
  private static final AtomicInteger STOP_CALLS = new AtomicInteger();

  static {
    String marker = System.getProperty("service.initMarker");
    if (marker != null) {
      try {
        Files.write(Paths.get(marker), new byte[0]);
        Thread.sleep(Long.getLong("service.initDelay", 0L));
      } catch (Exception e) {
        throw new IllegalStateException(e);
      }
    }
  }

  public static void main(String[] args) throws InterruptedException {
    Runtime.getRuntime().addShutdownHook(new Thread(() -> {
      try {
        Thread.sleep(Long.getLong("service.hookDelay", 0L));
      } catch (InterruptedException e) {
        return;
      }
      System.out.println("shutdown hook ran");
    }));
    System.out.println("main started [" + String.join(",", args) + "]");
    if (Boolean.getBoolean("service.returnAtOnce")) {
      System.out.println("main returns by itself");
      return;
    }
    STOPPED.await();
    System.out.println("main returns after " + STOP_CALLS.get() + " stop call(s)");
  }

  public static void stop() throws InterruptedException {
    System.out.println("stop called");
    STOP_CALLS.incrementAndGet();
    Thread.sleep(Long.getLong("service.stopDelay", 0L));
    STOPPED.countDown();
  }
}
