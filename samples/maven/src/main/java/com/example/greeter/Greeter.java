package com.example.greeter;

import java.util.concurrent.Callable;
import picocli.CommandLine;
import picocli.CommandLine.Command;
import picocli.CommandLine.Option;

/** Greets by name: its command line is read by picocli, its one dependency. */
@Command(name = "Greeter", description = "Says hello.")
public class Greeter implements Callable<Integer> {
  @Option(names = "--name", description = "who to greet")
  String name = "world";

  @Override
  public Integer call() {
    System.out.println("Hello, " + name + "! (" + System.getProperty("greeter.edition", "plain") + " edition, Java "
        + Runtime.version().feature() + ")");
    return 0;
  }

  public static void main(String[] args) {
    System.exit(new CommandLine(new Greeter()).execute(args));
  }
}
