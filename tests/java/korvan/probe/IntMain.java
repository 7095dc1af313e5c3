package korvan.probe;

/** A main method of the wrong signature: it returns int. */
public final class IntMain {
  public static int main(String[] args) {
    System.out.println("IntMain ran");
    return 0;
  }
}
