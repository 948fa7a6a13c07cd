public class InstanceArgs {
    void main(String[] args) { System.out.println("instance main(String[]) " + String.join(",", args)); }
}
