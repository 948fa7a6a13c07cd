package com.example.sample;

/**
 * A sample application for the launcher: shows which runtime runs it and the
 * arguments it was given, one per line, with the code points of any argument
 * that holds letters outside ASCII.
 */
public class Main {
    public static void main(String[] args) {
        System.out.println("Runtime: Java " + System.getProperty("java.version")
                + " (" + System.getProperty("java.vendor") + ")");
        System.out.println("Home:    " + System.getProperty("java.home"));
        System.out.println("Started: " + System.getProperty("sample.startedBy", "without the launcher"));
        System.out.println(args.length + " argument(s):");
        for (int i = 0; i < args.length; i++) {
            System.out.println("  [" + i + "] \"" + args[i] + "\"" + codePoints(args[i]));
        }
    }

    /** " U+0063 U+00E9 ..." for a text with non-ASCII letters, else nothing. */
    private static String codePoints(String text) {
        if (text.chars().allMatch(c -> c < 128)) {
            return "";
        }
        StringBuilder line = new StringBuilder(" ");
        text.codePoints().forEach(c -> line.append(String.format(" U+%04X", c)));
        return line.toString();
    }
}
