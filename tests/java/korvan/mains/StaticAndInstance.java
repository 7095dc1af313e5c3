package korvan.mains;

/** Java 21's preview takes the static main first; 22 and later take main(String[]) first. */
public class StaticAndInstance {
  static void main() {
    System.out.println("static main()");
  }

  void main(String[] args) {
    System.out.println("instance main(String[])");
  }
}
