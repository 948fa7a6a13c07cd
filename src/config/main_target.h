#pragma once
// What the launch runs, decided once, in the order java's own launcher
// decides it: the main module, else the main class, else the main JAR, the
// first JAR file of the class path whose manifest names a Main-Class as
// java.util.jar reads it. The name tools show for the process, the call of
// main and the main JAR's splash all follow from it.
//
//   MainTarget target;
//   if (!findMainTarget(settings, target)) ... no memory
//   if (target.kind == MainKind::Jar) ... target.name, target.jarSplashImage
#include "common/text.h"
#include "config/settings.h"

enum class MainKind {
    None, // no JAR file of the class path names a Main-Class: said once the machine runs
    Module,
    Class,
    Jar,
};

struct MainTarget {
    MainKind kind = MainKind::None;
    // As java names what it runs, to tools and to its launcher helper: the
    // module as java -m takes it, the class with dots, the main JAR (without
    // one, the class path's first JAR file).
    Text name;
    bool namesClass = false; // a class is named: the main class, or the one the module names
    Text className;          // that class as FindClass takes it, with '/'
    Text javaClassName;      // and as java names it, with dots
    Text jarSplashImage;     // the main JAR's SplashScreen-Image, when java -jar would show it
};

// False only when memory runs out.
[[nodiscard]] bool findMainTarget(const LaunchSettings& settings, MainTarget& target);
