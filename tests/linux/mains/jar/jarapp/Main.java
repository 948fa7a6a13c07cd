package jarapp;

public class Main {
    public static void main(String[] args) throws Exception {
        Module base = Object.class.getModule(), self = Main.class.getModule();
        System.out.println("opens=" + base.isOpen("java.lang", self));
        System.out.println("exports=" + base.isExported("jdk.internal.misc", self));
        String nativeAccess;
        try {
            nativeAccess = String.valueOf(Module.class.getMethod("isNativeAccessEnabled").invoke(self));
        } catch (NoSuchMethodException e) {
            nativeAccess = "n/a";
        }
        System.out.println("native=" + nativeAccess);
        System.out.println("agent=" + System.getProperty("jarapp.agent"));
        System.out.println("args=" + String.join(",", args));
    }
}
