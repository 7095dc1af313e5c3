package korvan.extra;

/** A class in a jar of its own, for class paths made of several jars. */
public final class Extra {
  private Extra() {}
}
