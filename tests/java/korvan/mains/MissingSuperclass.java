package korvan.mains;

/** A class whose superclass the build leaves out of the jar: it is there, but cannot be linked. */
public class MissingSuperclass extends RemovedBase {
  public static void main(String[] args) {}
}

class RemovedBase {}
