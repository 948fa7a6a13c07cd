import javafx.application.Application;
import javafx.application.Platform;
import javafx.stage.Stage;

public class FxNoMain extends Application {
    @Override
    public void start(Stage stage) {
        System.out.println("fx started " + getParameters().getRaw());
        Platform.exit();
    }
}
