import javafx.application.Application;
import javafx.application.Platform;
import javafx.stage.Stage;

/** Uses the toolkit in main: java starts it before main for an Application subclass. */
public class FxRunLater extends Application {
    public static void main(String[] args) {
        Platform.runLater(() -> {
            System.out.println("toolkit up before main " + java.util.Arrays.toString(args));
            Platform.exit();
        });
    }
    @Override
    public void start(Stage stage) {
        System.out.println("start is not called without launch");
    }
}
