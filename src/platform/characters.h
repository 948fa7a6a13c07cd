#pragma once
// Characters of the system's ANSI (multibyte) code page.
namespace platform {

const char* nextCharacter(const char* position);
bool isBlankCharacter(const char* position);

}
