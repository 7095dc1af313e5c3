package korvan.probe;

import java.nio.file.Files;
import java.nio.file.Path;

/**
 * The first instance's application in the single-instance tests: main says it
 * runs, writes its process id to "main-started" in the folder named by its
 * first argument and
 * waits until "stop" appears there; a number in "stop" becomes the exit code
 * (System.exit), an empty file lets main return. With "thread" as its second
 * argument, main returns at once and a thread of its own does the waiting.
 * With "hook" there, a shutdown hook creates "hook-running" and holds the
 * VM's teardown until "hook-release" appears.
 */
final class SingleApp {
  private SingleApp() {}

  static void run(String[] args) throws Exception {
    Path folder = Path.of(args[0]);
    System.out.println("main");
    System.out.flush();
    if (java.util.Arrays.asList(args).contains("hook")) {
      Runtime.getRuntime().addShutdownHook(new Thread(() -> {
        try {
          Files.createFile(folder.resolve("hook-running"));
          while (!Files.exists(folder.resolve("hook-release"))) Thread.sleep(5);
        } catch (Exception e) {
          throw new IllegalStateException(e);
        }
      }));
    }
    Path started = folder.resolve("main-started.part");
    Files.writeString(started, Long.toString(ProcessHandle.current().pid()));
    Files.move(started, folder.resolve("main-started"));
    if (args.length > 1 && args[1].equals("thread")) {
      // As a windowed application does: main returns, another thread runs on.
      Thread waiting = new Thread(() -> {
        try {
          waitForStop(folder);
        } catch (Exception e) {
          throw new IllegalStateException(e);
        }
      });
      waiting.start();
      return;
    }
    waitForStop(folder);
  }

  private static void waitForStop(Path folder) throws Exception {
    Path stop = folder.resolve("stop");
    while (!Files.exists(stop)) Thread.sleep(5);
    String code = Files.readString(stop).trim();
    if (!code.isEmpty()) System.exit(Integer.parseInt(code));
  }

  // One line per request: every argument's code points in brackets.
  static synchronized void report(String[] args) {
    StringBuilder line = new StringBuilder("secondary");
    for (String arg : args) {
      line.append(" [");
      arg.codePoints().forEach(c -> line.append(String.format("U+%04X", c)));
      line.append("]");
    }
    System.out.println(line);
    System.out.flush();
  }
}
