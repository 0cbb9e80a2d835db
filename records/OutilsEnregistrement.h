// Small helpers on records and texts of single-byte Windows text.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "platform/fs/fs.h"

// Pads the zero-terminated text in chaine with spaces up to lgchaine
// characters, or cuts it there, and puts a zero byte at lgchaine. The
// buffer needs lgchaine + 1 bytes; a smaller one is filled to its end.
void pad_chaine(std::span<char> chaine, int lgchaine);
// The same on a string: its text up to its first zero byte, padded or cut.
void pad_chaine(std::string& chaine, int lgchaine);

// Reads the block of longueur bytes at byte offset indice of fp into buf
// and puts a zero byte after it: 1 when a whole block was read, else 0
// (also when buf cannot hold longueur + 1 bytes, and then nothing is read).
int lect(plat::File& fp, int longueur, long indice, std::span<char> buf);

// Whole records of lenchamp bytes in fp; fp is left at its start.
long longueur(plat::File& fp, int lenchamp);

// Folds the accented capitals "À" to "Ý" (1252) to plain capitals, in place,
// up to the first zero byte; true when a character was replaced. "Ð", "Ñ",
// "×", "Ø", "Þ", "ß" and all small letters stay.
bool ConvertUpperAccented(std::span<char> pInfo);

// Whether the text (up to its first zero byte) holds one of the accented
// characters that mark Windows-coded text: é è ê à ç ù â î ô û ä ë ï ö ü É æ
// § °.
bool IsMessageWindows(std::string_view Info);
