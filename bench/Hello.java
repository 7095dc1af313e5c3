package bench;

/** The smallest application: what is measured is the way to main and back. */
public final class Hello {
  public static void main(String[] args) {
    System.out.println("Hello, world");
  }
}
