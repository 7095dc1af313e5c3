package korvan.probe;

import java.lang.instrument.Instrumentation;

/** The agent a main jar's Launcher-Agent-Class names: it runs before main. */
public final class Agent {
  public static void agentmain(String options, Instrumentation instrumentation) {
    System.setProperty("korvan.agent", "ran before main");
  }
}
