package korvan.mains;

/** An instance main inherited from the superclass, called on an instance of this class. */
public class InheritedMain extends MainBase {}

class MainBase {
  protected void main() {
    System.out.println("instance main() of " + getClass().getSimpleName());
  }
}
