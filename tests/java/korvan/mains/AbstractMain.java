package korvan.mains;

/** An instance main of a class that cannot be instantiated. */
public abstract class AbstractMain {
  void main() {}
}
