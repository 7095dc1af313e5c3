package com.example;

/** The main class of the documents' packaging example. */
public final class Tool {
  public static void main(String[] args) {
    App.report("com.example.Tool", args);
  }
}
