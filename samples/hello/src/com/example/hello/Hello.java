package com.example.hello;

/** The sample application: shows what the launcher gave it. */
public final class Hello {
  public static void main(String[] args) {
    Runtime runtime = Runtime.getRuntime();
    System.out.println(System.getProperty("hello.greeting", "Hello"));
    System.out.println();
    System.out.println("Java runtime:   " + System.getProperty("java.home"));
    System.out.println("Java version:   " + System.getProperty("java.version")
        + " (" + System.getProperty("java.vm.name") + ", " + System.getProperty("java.vendor") + ")");
    System.out.println("JVM library:    " + System.getenv("KORVAN_JVM_PATH"));
    System.out.println("Max heap:       " + runtime.maxMemory() / (1024 * 1024) + " MiB"
        + " (\"-Xmx25P\": a quarter of the physical memory)");
    System.out.println("Processors:     " + runtime.availableProcessors());
    System.out.println("Arguments (" + args.length + "):");
    for (int i = 0; i < args.length; i++) {
      System.out.println("  [" + i + "] " + args[i]);
    }
  }
}
