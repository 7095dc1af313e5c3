package javafx.stage;

/** The part of JavaFX's API that the JavaFX probe compiles against. */
public class Stage {}
