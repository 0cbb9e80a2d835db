// Code pages. The program works in Windows-1252 bytes; UTF-8 appears only at
// the edges (display, transcript, native file names).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace plat {

// Every byte has a character: the five bytes that 1252 leaves undefined
// (0x81 0x8D 0x8F 0x90 0x9D) stand for U+0081 ... U+009D, so that a 1252
// text survives the round trip through UTF-8 unchanged.
std::string Utf8FromCp1252(std::string_view text);
// Characters that 1252 lacks become "?", and so does each byte of a
// sequence that is not valid UTF-8.
std::string Cp1252FromUtf8(std::string_view text);
bool IsValidUtf8(std::string_view text);

// ANSI (1252) to OEM (code page 850), byte for byte. Characters that 850
// lacks become "?", except the curly quotes and dashes, which fold to their
// plain forms.
char AnsiToOem(char c);
void CharToOem(char* text, std::size_t length);

// Upper case of a 1252 letter, accented letters included ("é" -> "É",
// "œ" -> "Œ", "ÿ" -> "Ÿ"); every other byte unchanged. This is the case
// folding of file names.
char UpperCase1252(char c);

}  // namespace plat
