package jarapp;

public class Agent {
    public static void agentmain(String arguments, java.lang.instrument.Instrumentation instrumentation) {
        System.setProperty("jarapp.agent", "started");
    }
}
