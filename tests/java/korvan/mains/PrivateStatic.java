package korvan.mains;

/** A private main is no main under Java 25's protocol: the instance main() is taken. */
public class PrivateStatic {
  private static void main(String[] args) {
    System.out.println("private static main(String[])");
  }

  void main() {
    System.out.println("instance main()");
  }
}
