package korvan.probe;

/** A single-instance application without secondaryMain. */
public final class SingleNone {
  public static void main(String[] args) throws Exception {
    SingleApp.run(args);
  }
}
