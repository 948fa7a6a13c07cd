/** A static main(String[]) that is not public: which runtimes run it is theirs to say. */
public class PackageMain {
    static void main(String[] args) {
        System.out.println("PackageMain ran");
    }
}
