#pragma once
// Characters of the system's ANSI (multibyte) code page, on Linux of the
// locale's encoding: stepping through a text by whole characters, and telling
// the blank ones.
//
// The scans of common/ need them, and common/ lies beneath the platform: so
// they are declared here, and each platform defines them
// (platform/win32/characters.cpp, platform/posix/characters.cpp). common/
// depends on this declaration alone, the platform on common/, never the
// other way round.

// Where the next character begins; a NUL is stood still on.
const char* nextCharacter(const char* position);
bool isBlankCharacter(const char* position);
