// The layout descriptor loader: fills a plain structure, member by member in
// declaration order, from a text file holding one value per line.
//
// A line is "label:KEYWORD value"; the label (up to the first ":") is
// ignored, the keyword follows the ":" directly. Keywords, in capitals or in
// small letters, the blank included:
//   "D "   decimal int32, or "x"/"X" then hexadecimal   4 bytes, aligned to 4
//   "DL "  decimal int32                                 4 bytes, aligned
//   "DC "  decimal, its low byte                         1 byte
//   "HB "  hexadecimal, its low byte; then a zero byte at the new offset when
//          that offset is odd and inside the structure (not counted)
//   "HW "  hexadecimal int32                             4 bytes, aligned
//   "HL "  hexadecimal int32                             4 bytes, aligned
//   "R "   float                                         4 bytes, aligned
//   "RL "  double                                        8 bytes, aligned to 4
//   "A"    length, a blank, text: "\0" a zero byte, "\n" a line feed, "\x"
//          a backslash; ends at ";" or the line end; padded with blanks
// Numbers read as scanf reads them: blanks skipped, anything after the
// number ignored; hexadecimal numbers may carry "0x". Lines whose first
// character is a line feed are skipped; any other line without ":" or with
// an unknown keyword or value is a syntax error. Alignment skips bytes
// without touching them; a structure is never cleared before loading.
#pragma once

#include <string_view>
#include <type_traits>

#include "platform/fs/fs.h"

// 0 when the file filled exactly sizstruct bytes (rounded up to 4 at the
// end); -1 the file does not open; n >= 1 syntax error on the n-th line that
// is not empty; -2 a value or an alignment passes the end of the structure;
// -3 the file ended short of the structure's size.
int init_struct(std::string_view nomstruct, void* tabstruct, int sizstruct);

template <typename Structure>
int init_struct(std::string_view nomstruct, Structure& structure) {
    static_assert(std::is_trivially_copyable_v<Structure>);
    return init_struct(nomstruct, &structure, static_cast<int>(sizeof(Structure)));
}

// Stores the value of one line at psizcur and advances it: 0, -1 syntax error,
// -2 overflow. On an error nothing is stored (psizcur may have been aligned).
int LineStruct(std::string_view StringInput, void* tabstruct, int& psizcur, int sizstruct);

// Rounds sizcur up to a multiple of 4; 1 when it is then not beyond
// sizstruct (or was a multiple of 4 already), else 0.
int frontmot(int& sizcur, int sizstruct);

// Fills the structure from exactly NbLignes lines of an open stream, from
// offset 0, without the end-of-file size check; the stream stays open.
// -1 no stream; -3 a line that cannot be read or is empty; k syntax error on
// the k-th line; -2 overflow; 0 done.
int ReadStruct(plat::File* FpStruct, int NbLignes, void* tabstruct, int sizstruct);

// Byte-for-byte copy in blocks of 1000 bytes: 0 done, 1 the source does not
// open or fails to read, 2 the destination cannot be created, 3 a block
// written short.
int Copie_De_Fichier(std::string_view nomfic1, std::string_view nomfic2);
