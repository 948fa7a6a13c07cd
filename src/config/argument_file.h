#pragma once
// The items of an argument file (@file), by the java command's rules: items
// are separated by spaces, tabs, form feeds and line ends; a single or double
// quote groups up to the same quote or the line's end, and inside quotes a
// backslash escapes the next character (\n, \r, \t and \f as in C) or, before
// a line end, joins the next line without its leading blanks; '#' outside
// quotes comments out the rest of the line, together with what had been read
// of the item it stands in. Nothing else is special: no variables, no nested
// argument files.
#include "common/text.h"
#include "common/text_list.h"

// Appends the items of the file's contents; false when memory runs out.
[[nodiscard]] bool splitArgumentFile(const Text& contents, TextList& items);
