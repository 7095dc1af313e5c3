package korvan.probe;

/**
 * A single-instance application whose secondaryMain returns an int: the
 * number its first argument holds, else 7.
 */
public final class SingleInt {
  public static void main(String[] args) throws Exception {
    SingleApp.run(args);
  }

  public static int secondaryMain(String[] args) {
    SingleApp.report(args);
    try {
      return Integer.parseInt(args[0]);
    } catch (NumberFormatException e) {
      return 7;
    }
  }
}
