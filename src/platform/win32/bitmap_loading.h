#pragma once
#include <windows.h>

// The BMP file at path (a relative path is taken from the current directory)
// as a DIB section; null when it cannot be read, its headers do not fit its
// length, or the system cannot load it.
HBITMAP loadCheckedBitmapFile(const char* path);
