#pragma once
// Whether a BMP file's headers agree with its length: the information header,
// the colour masks and table, and the pixel data they describe all lie inside
// the file. The system's bitmap loader trusts these fields and reads wherever
// they point, so a file that fails this check is never handed to it.
//
//   unsigned char head[kBitmapFileHeadLength];
//   ... read up to sizeof head bytes from the start of the file ...
//   if (!isConsistentBitmapFile(head, bytesRead, fileLength)) ...
#include <stddef.h>
#include <stdint.h>

// The file header and the fields of an information header: all the check reads.
const size_t kBitmapFileHeadLength = 54;

// head holds the file's first headLength bytes (fewer than
// kBitmapFileHeadLength only when the file is that short).
bool isConsistentBitmapFile(const unsigned char* head, size_t headLength, uint64_t fileLength);
