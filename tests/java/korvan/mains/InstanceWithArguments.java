package korvan.mains;

/** An instance main(String[]). */
public class InstanceWithArguments {
  void main(String[] args) {
    System.out.println("instance main(String[]) " + String.join(" ", args));
  }
}
