#pragma once
// Texts given on the command line arrive as UTF-8; the version record
// stores UTF-16.
#include "outcome.h"

#include <string>

Outcome<std::u16string> utf16FromUtf8(const std::string& text);
