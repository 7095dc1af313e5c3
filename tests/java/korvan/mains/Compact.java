package korvan.mains;

/** What a compact source file compiles to: a final class with an instance void main(). */
final class Compact {
  void main() {
    System.out.println("instance main()");
  }
}
