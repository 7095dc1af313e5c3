package bench;

import java.time.Instant;

/**
 * A single-instance application for bench/single_instance: main waits until
 * the file named by its first argument exists; secondaryMain answers with the
 * microseconds since the send time its first argument carries (0 when it
 * carries none), so the hand-over latency can be read from the reply.
 */
public final class SingleBench {
  public static void main(String[] args) throws Exception {
    java.nio.file.Path stop = java.nio.file.Path.of(args[0]);
    while (!java.nio.file.Files.exists(stop)) Thread.sleep(20);
  }

  public static int secondaryMain(String[] args) {
    Instant now = Instant.now();
    try {
      long sent = Long.parseLong(args[0]);
      long micros = now.getEpochSecond() * 1_000_000L + now.getNano() / 1000 - sent;
      return (int) Math.max(1, Math.min(Integer.MAX_VALUE, micros));
    } catch (NumberFormatException e) {
      return 0;
    }
  }
}
