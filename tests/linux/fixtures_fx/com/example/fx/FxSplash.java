package com.example.fx;

import java.awt.SplashScreen;
import java.io.BufferedReader;
import java.io.InputStreamReader;
import javafx.application.Application;
import javafx.application.Platform;
import javafx.scene.Scene;
import javafx.scene.layout.Pane;
import javafx.stage.Stage;

/**
 * A JavaFX application that closes the splash once its stage is shown, as
 * JavaFX applications must: reports the splash, waits for a line on standard
 * input, shows its stage, closes the splash, reports again and ends at the
 * next line.
 */
public class FxSplash extends Application {
    static final BufferedReader input = new BufferedReader(new InputStreamReader(System.in));

    public static void main(String[] args) throws Exception {
        System.out.println("splash=" + (SplashScreen.getSplashScreen() != null));
        System.out.flush();
        input.readLine();
        launch(args);
    }

    @Override
    public void start(Stage stage) throws Exception {
        stage.setScene(new Scene(new Pane(), 200, 100));
        stage.setX(0);
        stage.setY(0);
        stage.show();
        SplashScreen splash = SplashScreen.getSplashScreen();
        System.out.println("stage shown splash=" + (splash != null));
        if (splash != null)
            splash.close();
        System.out.println("closed splash=" + (SplashScreen.getSplashScreen() != null));
        System.out.flush();
        new Thread(() -> {
            try {
                input.readLine();
            } catch (Exception e) {
                e.printStackTrace();
            }
            Platform.exit();
        }).start();
    }
}
