#pragma once
// The name tools show for the process (jps, jcmd): the sun.java.command
// property that java sets, the main class, module or JAR file and then the
// arguments, separated by spaces; and after it, as java sets it,
// sun.java.launcher=SUN_STANDARD.
#include "common/text.h"
#include "common/text_list.h"

// "-Dsun.java.command=" with what is run and the arguments; false without memory.
[[nodiscard]] bool javaCommandOption(const Text& what, const TextList& arguments, Text& option);
// Appends both to the options, last, each unless they set the property
// themselves; false without memory.
[[nodiscard]] bool addJavaCommandOption(const Text& what, const TextList& arguments, TextList& vmOptions);
