package javafx.stage;

public class Stage {}
