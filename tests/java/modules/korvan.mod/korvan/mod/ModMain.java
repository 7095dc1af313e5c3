package korvan.mod;

/** A named module's main class: where it runs and what java -m tells it. */
public final class ModMain {
  public static void main(String[] args) {
    System.out.println("module=" + ModMain.class.getModule().getName());
    for (String name : new String[] {"jdk.module.main", "jdk.module.main.class", "java.class.path",
                                     "sun.java.command"}) {
      System.out.println(name + "=" + System.getProperty(name));
    }
  }
}
