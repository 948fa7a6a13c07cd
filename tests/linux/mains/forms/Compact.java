void main() { IO.println("compact source file " + getClass().getName()); }
