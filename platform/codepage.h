// Code pages. The program works in Windows-1252 bytes; UTF-8 appears only at
// the edges (display, transcript, native file names).
#pragma once

#include <string>
#include <string_view>

namespace plat {

std::string Utf8FromCp1252(std::string_view text);
// Characters that 1252 lacks become "?".
std::string Cp1252FromUtf8(std::string_view text);

// ANSI (1252) to OEM (code page 850), byte for byte. Characters that 850
// lacks become "?", except the curly quotes and dashes, which fold to their
// plain forms.
char AnsiToOem(char c);
void CharToOem(char* text, std::size_t length);

}  // namespace plat
