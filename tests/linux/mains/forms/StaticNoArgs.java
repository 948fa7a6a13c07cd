public class StaticNoArgs {
    static void main() { System.out.println("static main()"); }
}
