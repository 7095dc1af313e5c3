package com.example.desktop;

import java.awt.Color;
import java.awt.Font;
import java.awt.Graphics2D;
import java.awt.SplashScreen;
import javax.swing.BorderFactory;
import javax.swing.JFrame;
import javax.swing.JLabel;
import javax.swing.SwingUtilities;

/**
 * A small desktop application: one window listing its arguments, so that a
 * document opened from Explorer shows its path. Its jar's manifest names a
 * splash image, shown while the application starts.
 */
public final class Viewer {
  public static void main(String[] args) throws Exception {
    SplashScreen splash = SplashScreen.getSplashScreen();
    if (splash != null) {
      Graphics2D graphics = splash.createGraphics();
      graphics.setColor(Color.WHITE);
      graphics.setFont(new Font(Font.SANS_SERIF, Font.BOLD, 20));
      graphics.drawString("Viewer is starting...", 16, 42);
      splash.update();
      // Stands in for the start-up work a real application does behind its splash.
      Thread.sleep(3000);
    }
    StringBuilder text = new StringBuilder("<html><b>Korvan desktop sample</b><br><br>");
    if (args.length == 0) text.append("No document opened.");
    for (String arg : args) text.append("Opened: ").append(escape(arg)).append("<br>");
    SwingUtilities.invokeLater(() -> {
      JLabel label = new JLabel(text.toString());
      label.setFont(label.getFont().deriveFont(Font.PLAIN, 16f));
      label.setBorder(BorderFactory.createEmptyBorder(24, 24, 24, 24));
      JFrame frame = new JFrame("Viewer");
      frame.setDefaultCloseOperation(JFrame.EXIT_ON_CLOSE);
      frame.add(label);
      frame.pack();
      frame.setLocationRelativeTo(null);
      frame.setVisible(true);
    });
  }

  private static String escape(String text) {
    return text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;");
  }
}
