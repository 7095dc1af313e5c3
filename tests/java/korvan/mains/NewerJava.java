package korvan.mains;

/** Its class file is marked for Java 25 by the build: older runtimes refuse to load it. */
public class NewerJava {
  public static void main(String[] args) {
    System.out.println("loaded");
  }
}
