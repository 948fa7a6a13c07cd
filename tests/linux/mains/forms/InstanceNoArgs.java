public class InstanceNoArgs {
    void main() { System.out.println("instance main()"); }
}
