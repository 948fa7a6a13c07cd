#pragma once
// The tool's few dealings with the operating system: its arguments, whole
// files in and out, and telling whether two paths name one file. Paths and
// arguments are UTF-8 on every system.
#include "byte_io.h"
#include "outcome.h"

#include <string>
#include <vector>

// The arguments after the program's name (on Windows read as UTF-16, so
// that any name survives).
std::vector<std::string> programArguments(int argc, char** argv);

Outcome<Bytes> readWholeFile(const std::string& path);

// Writes a temporary file beside path and renames it over path, so that
// path holds either its old contents or all of the new ones; the temporary
// file is removed when anything fails.
Status replaceFile(const std::string& path, const Bytes& contents);

// True when both paths exist and name the same file.
bool sameFile(const std::string& first, const std::string& second);

// The last component of a path, after the last separator.
std::string fileNameOf(const std::string& path);
