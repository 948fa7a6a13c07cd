import javafx.application.Application;
import javafx.application.Platform;
import javafx.stage.Stage;

public class FxWithMain extends Application {
    public static void main(String[] args) {
        System.out.println("own main");
        launch(args);
    }
    @Override
    public void start(Stage stage) {
        System.out.println("fx started " + getParameters().getRaw());
        Platform.exit();
    }
}
