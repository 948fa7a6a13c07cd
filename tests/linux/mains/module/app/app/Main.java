package app;

/** The main class of a named module: says where it runs and what it was given. */
public class Main {
    public static void main(String[] args) {
        System.out.println("module=" + Main.class.getModule().getName());
        System.out.println("main.class=" + System.getProperty("jdk.module.main.class"));
        System.out.println("args=" + String.join(",", args));
    }
}
