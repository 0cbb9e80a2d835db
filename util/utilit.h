// Helpers for fixed-width records of single-byte text: field insertion,
// character cleaning, numbers as zero-padded decimal text, hexadecimal
// digits, XOR checksums, raw line input and output, blank stripping, dumps.
//
// Records are caller buffers. A helper that may write past a field takes the
// whole buffer as a span and never writes outside it; a helper that writes a
// fixed count of bytes (sndnum, ecriture_hexa ...) needs that many bytes at
// its pointer. Nothing here allocates, and nothing writes a terminating zero
// byte unless its comment says so.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

#include "platform/fs/fs.h"

// ---- record helpers used by the import run ----

// Inserts the first len2 characters of buf2 at pos1 of the record buf1 of
// length len1: the record's tail (len1 - pos1 bytes from pos1) moves to
// pos1 + len2, so the content then ends at len1 + len2. A zero byte ends the
// copied text and the moved tail alike; what is left of either is filled
// with zero bytes. When pos1 is not below len1 the field is only written.
// Bytes that would land beyond buf1 are dropped.
void inserer_chaine(std::span<char> buf1, std::string_view buf2, int len1, int pos1, int len2);

// One field of inserer_champs. A field length of 0 ends the list.
struct ChampInsere {
    int LenChamp;
    int PosChamp;  // position in the record before any insertion
    std::string_view Texte;
};

// Inserts several fields in ascending order of position: each position is
// shifted by the lengths of the fields inserted before it, and len (the
// record's final length, or more) is given unchanged to every insertion.
void inserer_champs(std::span<char> buf, int len, std::initializer_list<ChampInsere> champs);

// Cleans the first len bytes in place: a byte of 128 or more is first
// translated by the control table; then every byte below 32 or above 192
// becomes a space.
void controle_caractere(std::span<char> buf, int len);

// val as exactly len characters: zero-padded on the left ("00-12" for -12
// in 5), or its first len characters when longer. buf needs len bytes.
void sndnum(char* buf, int val, int len);
void sndlong(char* buf, long val, int len);

// The number written in the first len characters of buf: leading white
// space, an optional sign, digits up to the first other byte; 0 without a
// digit. buf is only read (len bytes at most).
int getnum(const char* buf, int len);
long getlong(const char* buf, int len);

// ---- further helpers ----

// Index of the first byte equal to c among the first 1000 bytes of buf
// (zero bytes included); -1 if none.
int cherche_caractere(std::string_view buf, char c);
// 1 if the zero-terminated text buf contains c (never for c == 0), else 0.
int existe_caractere(const char* buf, char c);
void remplace_caractere(std::span<char> buf, int len, char c1, char c2);
// Prints the bell character to standard output.
void beep();

// Loads the control table used by controle_caractere: lentable entries,
// at most 100 (a negative count empties the table).
void charge_table_controle(const char* table_origine, const char* table_destination, int lentable);

int xatoi(const char* buf, int len);
long xatol(const char* buf, int len);
// As sndnum and sndlong, with the digits in radix base (2 to 36; any other
// base writes nothing). Radix 10 writes a sign; other radixes write the
// value's two's-complement bits. Radix 16 digits are upper case.
void xitoa(int val, char* buf, int base, int len);
void xltoa(long val, char* buf, int base, int len);

int ASCII_HEXA(char c);
char HEXA_ASCII(int i);
// Byte value of the two hexadecimal digits at buf, first digit high.
int lecture_hexa(const char* buf);
// Low byte of val as two upper-case hexadecimal digits at buf.
void ecriture_hexa(char* buf, int val);
// XOR of the first longueur bytes of buf, written (two digits) at checksum.
void envoie_checksum(const char* buf, int longueur, char* checksum);
// 1 if that XOR equals the two-digit value at checksum, else 0.
int compare_checksum(const char* buf, int longueur, const char* checksum);

// Copies a file in binary mode: 0 done, 1 source not opened or not read
// whole, 2 destination not created, 3 a block written short.
int copier_fichier(std::string_view nomfic1, std::string_view nomfic2);

// Raw binary handles. flag 0 read-only, 1 write-only (an existing file, not
// truncated), 2 read-write, 3 deletes the file and creates it anew; any other
// flag gives a handle that is not open.
plat::File xopen(std::string_view nomfic, int flag);
// Reads up to longueur bytes (at most buf.size()), reading again while the
// first byte read is the end-of-file mark 26. -1 on a read error, 0 at end
// of file, the count read when it holds no line feed. Otherwise the line is
// cut after its first line feed: the byte before the line feed (the carriage
// return) becomes a line feed, the line feed a zero byte, the handle goes
// back over the bytes read beyond the line, and the result is the line's
// length in the file, line end included.
int xgets(std::span<char> buf, int longueur, plat::File& handle);
// Writes the text up to its first zero byte; a final line feed is written as
// carriage return and line feed. 0, or -1 on a write error.
int xputs(std::string_view buf, plat::File& handle);

// s1 without leading and trailing spaces, zero-terminated, into s2 (cut to
// fit); an all-blank s1 gives an empty s2.
void StripBlanks(std::string_view s1, std::span<char> s2);
// Byte-wise comparison of both texts without their leading and trailing
// spaces: negative, zero or positive.
int CompareWithoutBlanks(std::string_view chaine1, std::string_view chaine2);

// Today in universal time; Annee has two digits.
void GetDate(int& Jour, int& Mois, int& Annee);

// Hexadecimal dump, 16 bytes a line: "%04x: ", the bytes as "%02x " with
// one more space after the eighth, one space, the bytes as characters
// (codes 32 to 127, others "."), a line feed.
void dump(std::string_view buf, int lbuf, plat::File& fp);
void DumpString(std::string_view buf, int lbuf, std::string& pDump);

bool existe_fichier(std::string_view nomfic);
