package korvan.mains;

// The main-method forms the launch tests choose among, a class for each.

final class StaticNoArguments {
  static void main() { System.out.println("static main()"); }
}
final class InstanceWithArguments {
  void main(String[] args) { System.out.println("instance main(String[]) " + String.join(" ", args)); }
}
// What a compact source file compiles to.
final class Compact {
  void main() { System.out.println("instance main()"); }
}
// Java 21's preview takes the static main first; 22 and later take main(String[]) first.
final class StaticAndInstance {
  static void main() { System.out.println("static main()"); }
  void main(String[] args) { System.out.println("instance main(String[])"); }
}
class MainBase {
  protected void main() { System.out.println("instance main() of " + getClass().getSimpleName()); }
}
final class InheritedMain extends MainBase {}
// Private mains are no mains under Java 25's protocol.
final class PrivateStatic {
  private static void main(String[] args) { System.out.println("private static main(String[])"); }
  void main() { System.out.println("instance main()"); }
}
final class PrivateConstructor {
  private PrivateConstructor() {}
  void main() {}
}
abstract class AbstractMain {
  void main() {}
}
// The build marks its class file for Java 25.
final class NewerJava {
  public static void main(String[] args) {}
}
// The build leaves RemovedBase out of the jar.
class RemovedBase {}
final class MissingSuperclass extends RemovedBase {
  public static void main(String[] args) {}
}
