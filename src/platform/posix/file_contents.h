#pragma once
#include "common/text.h"

// The whole file as one text; false when it cannot be opened.
bool readWholeFile(const char* path, Text& contents);
