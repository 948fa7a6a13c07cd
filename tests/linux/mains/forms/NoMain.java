public class NoMain { public void run() {} }
