package korvan.probe;

import java.util.Arrays;

/**
 * The application the end-to-end tests launch. The first argument names what
 * to do; "args" reports every argument, so that arguments appended by the
 * launcher show too.
 */
public final class Probe {
  public static void main(String[] args) throws Exception {
    String action = args.length > 0 ? args[0] : "args";
    String[] rest = Arrays.copyOfRange(args, Math.min(1, args.length), args.length);
    switch (action) {
      case "args":
        printArguments(args);
        break;
      case "property":
        for (String name : rest) System.out.println(name + "=" + System.getProperty(name));
        break;
      case "env":
        for (String name : rest) System.out.println(name + "=" + System.getenv(name));
        break;
      case "opens":
        // Whether a package of java.base is open to the application's classes.
        Module base = Object.class.getModule();
        for (String name : rest) {
          System.out.println(name + " open=" + base.isOpen(name, Probe.class.getModule()));
        }
        break;
      case "load":
        for (String name : rest) {
          Class<?> loaded = Class.forName(name);
          String where = loaded.getProtectionDomain().getCodeSource().getLocation().getPath();
          System.out.println(name + " from " + where.substring(where.lastIndexOf('/') + 1));
        }
        break;
      case "max-memory":
        System.out.println("max-memory=" + Runtime.getRuntime().maxMemory());
        break;
      case "recurse":
        System.out.println("depth=" + recurse(Integer.parseInt(rest[0])));
        break;
      case "native":
        System.loadLibrary(rest[0]);
        System.out.println("native=" + nativeGreeting());
        break;
      case "print":
        System.out.println(rest[0]);
        System.err.println(rest[1]);
        break;
      case "exit":
        System.exit(Integer.parseInt(rest[0]));
        break;
      case "throw":
        throw new IllegalStateException(rest[0]);
      case "thread":
        startLateThread(Long.parseLong(rest[0]));
        break;
      case "manifest":
        printManifestEffects();
        break;
      case "splash":
        printSplashScreen(rest.length > 0 && rest[0].equals("window"));
        break;
      case "console":
        System.out.println("console=" + (System.console() == null ? "none" : "present"));
        break;
      default:
        throw new IllegalArgumentException("unknown action " + action);
    }
  }

  // Each argument on a line of its own, as code points: what arrived, whatever
  // encoding standard output has.
  private static void printArguments(String[] args) {
    System.out.println("count=" + args.length);
    for (String arg : args) {
      StringBuilder line = new StringBuilder("arg=");
      arg.codePoints().forEach(c -> line.append(String.format(" U+%04X", c)));
      System.out.println(line);
    }
  }

  // What java -jar makes of the test jar's manifest attributes.
  private static void printManifestEffects() throws Exception {
    Module base = Object.class.getModule();
    Module self = Probe.class.getModule();
    System.out.println("agent=" + System.getProperty("korvan.agent"));
    System.out.println("java.lang open=" + base.isOpen("java.lang", self) + ", java.io open="
        + base.isOpen("java.io", self));
    System.out.println("jdk.internal.misc exported=" + base.isExported("jdk.internal.misc", self));
    String nativeAccess = "not asked";
    try {
      nativeAccess = String.valueOf(Module.class.getMethod("isNativeAccessEnabled").invoke(self));
    } catch (NoSuchMethodException e) {
      // Before Java 22 no module is asked.
    }
    System.out.println("native access=" + nativeAccess);
    Class<?> extra = Class.forName("korvan.extra.Extra");
    String where = extra.getProtectionDomain().getCodeSource().getLocation().getPath();
    System.out.println("Class-Path gave " + where.substring(where.lastIndexOf('/') + 1));
    System.out.println("java.class.path=" + System.getProperty("java.class.path"));
    System.out.println("sun.java.command=" + System.getProperty("sun.java.command"));
  }

  // The splash screen the launcher showed, and that the first window closes it.
  // A window only when asked: AWT's start-up is slow under Wine.
  private static void printSplashScreen(boolean window) {
    java.awt.SplashScreen splash = java.awt.SplashScreen.getSplashScreen();
    System.out.println("splash=" + (splash == null ? "none" : splash.getImageURL()));
    if (splash == null || !window) return;
    java.awt.Frame frame = new java.awt.Frame("probe");
    frame.setVisible(true);
    System.out.println("after a window=" + java.awt.SplashScreen.getSplashScreen());
    frame.dispose();
    System.exit(0);
  }

  private static int recurse(int depth) {
    return depth == 0 ? 0 : 1 + recurse(depth - 1);
  }

  // A non-daemon thread that outlives main: the process must wait for it.
  private static void startLateThread(long delayMillis) {
    Thread late = new Thread(() -> {
      try {
        Thread.sleep(delayMillis);
      } catch (InterruptedException e) {
        return;
      }
      System.out.println("late thread done");
    });
    late.setDaemon(false);
    late.start();
    System.out.println("main done");
  }

  private static native String nativeGreeting();
}
