package com.example;

/** The main class of the documents' settings examples (in probe.jar): reports what the settings gave it. */
public final class App {
  public static void main(String[] args) {
    report("com.example.App", args);
  }

  static void report(String name, String[] args) {
    System.out.println("main of " + name);
    for (String arg : args) System.out.println("argument " + arg);
    for (String key : new String[] {"app.title", "from.args"}) {
      if (System.getProperty(key) != null) System.out.println(key + "=" + System.getProperty(key));
    }
    if (Object.class.getModule().isOpen("java.lang", App.class.getModule())) System.out.println("java.lang open");
    if (App.class.getResource("/korvan/extra/Extra.class") != null) System.out.println("lib class found");
  }
}
