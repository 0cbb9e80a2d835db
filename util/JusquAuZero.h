// The files were written for C strings: a text read from one ends at its
// first zero byte, whatever the line holds after it.
#pragma once

#include <string_view>

inline std::string_view JusquAuZero(std::string_view texte) {
    return texte.substr(0, texte.find('\0'));
}
