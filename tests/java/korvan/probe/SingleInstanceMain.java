package korvan.probe;

/** SingleVoid with an instance main, as Java 25 runs it. */
final class SingleInstanceMain {
  void main(String[] args) throws Exception { SingleApp.run(args); }
  public static void secondaryMain(String[] args) { SingleApp.report(args); }
}
