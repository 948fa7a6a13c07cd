/** A static main(String[]) that is not public: which runtimes run it is theirs to say. */
public class ProtectedMain {
    protected static void main(String[] args) {
        System.out.println("ProtectedMain ran");
    }
}
