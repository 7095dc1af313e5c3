package korvan.probe;

/** A single-instance application whose secondaryMain returns nothing. */
public final class SingleVoid {
  public static void main(String[] args) throws Exception {
    SingleApp.run(args);
  }

  public static void secondaryMain(String[] args) {
    SingleApp.report(args);
  }
}
