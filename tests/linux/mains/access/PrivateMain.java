/** A static main(String[]) that is not public: which runtimes run it is theirs to say. */
public class PrivateMain {
    private static void main(String[] args) {
        System.out.println("PrivateMain ran");
    }
}
