#pragma once
// Texts taken from the files the tool reads go into its one-line messages
// only in printable form: a name holding a newline or an escape sequence
// must not break the line or reach the terminal as a command.
#include <string>

// Printable ASCII as it is, a backslash doubled, every other byte as \xNN.
std::string printableName(const std::string& bytes);

// The message with control characters and bytes that are not UTF-8 as \xNN;
// letters of any script, as UTF-8 file names hold them, stay.
std::string printableLine(const std::string& text);
