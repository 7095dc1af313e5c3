package korvan.mains;

/** A static main without parameters, of package access (Java 25's launch protocol). */
final class StaticNoArguments {
  static void main() {
    System.out.println("static main()");
  }
}
