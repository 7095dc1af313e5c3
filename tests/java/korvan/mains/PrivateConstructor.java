package korvan.mains;

/** An instance main with no constructor to call: private ones do not count. */
public class PrivateConstructor {
  private PrivateConstructor() {}

  void main() {}
}
