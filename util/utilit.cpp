#include "util/utilit.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <type_traits>

#include "platform/clock.h"

namespace {

// The control table of controle_caractere: byte j of the origin table is
// translated into byte j of the destination table. Empty unless loaded.
unsigned char Table_Controle_Origine[100];
unsigned char Table_Controle_Destination[100];
int Longueur_Table_Controle = 0;

std::size_t ClampedLength(int len, std::size_t limit) {
    if (len <= 0) return 0;
    return std::min(static_cast<std::size_t>(len), limit);
}

// Writes text right-aligned in exactly len characters, zero-padded on the
// left, or its first len characters when it is longer.
void WriteFixed(char* buf, std::string_view text, int len) {
    if (len <= 0) return;
    const std::size_t width = static_cast<std::size_t>(len);
    if (text.size() < width) {
        const std::size_t zeros = width - text.size();
        std::memset(buf, '0', zeros);
        std::memcpy(buf + zeros, text.data(), text.size());
    } else {
        std::memcpy(buf, text.data(), width);
    }
}

bool IsCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The usual decimal conversion over at most len bytes, saturated to the
// 64-bit range.
long long ParseDecimal(const char* buf, int len) {
    if (buf == nullptr || len <= 0) return 0;
    const char* p = buf;
    const char* end = buf + len;
    while (p < end && IsCSpace(*p)) ++p;
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    unsigned long long value = 0;
    bool saturated = false;
    for (; p < end && *p >= '0' && *p <= '9'; ++p) {
        const unsigned digit = static_cast<unsigned>(*p - '0');
        if (value > (static_cast<unsigned long long>(LLONG_MAX) + 1 - digit) / 10) {
            saturated = true;
        } else {
            value = value * 10 + digit;
        }
    }
    if (saturated) return negative ? LLONG_MIN : LLONG_MAX;
    if (negative) {
        return value > static_cast<unsigned long long>(LLONG_MAX) ? LLONG_MIN
                                                                  : -static_cast<long long>(value);
    }
    return value > static_cast<unsigned long long>(LLONG_MAX) ? LLONG_MAX
                                                              : static_cast<long long>(value);
}

template <typename T>
T Saturate(long long v) {
    if (v < static_cast<long long>(std::numeric_limits<T>::min())) {
        return std::numeric_limits<T>::min();
    }
    if (v > static_cast<long long>(std::numeric_limits<T>::max())) {
        return std::numeric_limits<T>::max();
    }
    return static_cast<T>(v);
}

template <typename Signed>
void WriteRadix(Signed val, char* buf, int base, int len) {
    if (base < 2 || base > 36) return;
    char text[100];
    std::to_chars_result r;
    if (base == 10) {
        r = std::to_chars(text, text + sizeof text, val);
    } else {
        using Unsigned = std::make_unsigned_t<Signed>;
        r = std::to_chars(text, text + sizeof text, static_cast<Unsigned>(val), base);
    }
    if (base == 16) {
        for (char* p = text; p < r.ptr; ++p) {
            if (*p >= 'a' && *p <= 'f') *p = static_cast<char>(*p - 'a' + 'A');
        }
    }
    WriteFixed(buf, std::string_view(text, static_cast<std::size_t>(r.ptr - text)), len);
}

std::string_view Stripped(std::string_view s) {
    const std::size_t first = s.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const std::size_t last = s.find_last_not_of(' ');
    return s.substr(first, last - first + 1);
}

std::string_view UpToZero(std::string_view s) {
    const std::size_t zero = s.find('\0');
    return zero == std::string_view::npos ? s : s.substr(0, zero);
}

}  // namespace

void inserer_chaine(std::span<char> buf1, std::string_view buf2, int len1, int pos1, int len2) {
    if (pos1 < 0 || len2 < 0) return;
    const std::size_t size = buf1.size();
    const std::size_t pos = static_cast<std::size_t>(pos1);
    if (pos >= size) return;
    const std::size_t field = static_cast<std::size_t>(len2);

    if (pos1 < len1) {
        // The tail moves first (it is saved in the original before the field
        // is written over it). Parts of it that would leave the buffer are
        // dropped; the part read from beyond the buffer counts as zero bytes.
        const std::size_t tail = static_cast<std::size_t>(len1 - pos1);
        const std::size_t available = std::min(tail, size - pos);
        const std::size_t text = strnlen(buf1.data() + pos, available);
        const std::size_t dest = pos + field;
        if (dest < size) {
            const std::size_t room = size - dest;
            const std::size_t moved = std::min(text, room);
            std::memmove(buf1.data() + dest, buf1.data() + pos, moved);
            std::memset(buf1.data() + dest + moved, 0, std::min(tail, room) - moved);
        }
    }

    const std::size_t written = std::min(field, size - pos);
    const std::string_view text = UpToZero(buf2.substr(0, std::min(buf2.size(), written)));
    if (!text.empty()) std::memcpy(buf1.data() + pos, text.data(), text.size());
    std::memset(buf1.data() + pos + text.size(), 0, written - text.size());
}

void inserer_champs(std::span<char> buf, int len, std::initializer_list<ChampInsere> champs) {
    int PosSup = 0;
    for (const ChampInsere& champ : champs) {
        if (champ.LenChamp == 0) break;
        inserer_chaine(buf, champ.Texte, len, champ.PosChamp + PosSup, champ.LenChamp);
        PosSup += champ.LenChamp;
    }
}

void controle_caractere(std::span<char> buf, int len) {
    const std::size_t n = ClampedLength(len, buf.size());
    for (std::size_t i = 0; i < n; ++i) {
        unsigned char c = static_cast<unsigned char>(buf[i]);
        if (c >= 128) {
            for (int j = 0; j < Longueur_Table_Controle; ++j) {
                if (Table_Controle_Origine[j] == c) {
                    c = Table_Controle_Destination[j];
                    break;
                }
            }
        }
        if (c < 0x20 || c > 0xC0) c = ' ';
        buf[i] = static_cast<char>(c);
    }
}

void sndnum(char* buf, int val, int len) {
    xitoa(val, buf, 10, len);
}

void sndlong(char* buf, long val, int len) {
    xltoa(val, buf, 10, len);
}

int getnum(const char* buf, int len) {
    return Saturate<int>(ParseDecimal(buf, len));
}

long getlong(const char* buf, int len) {
    return Saturate<long>(ParseDecimal(buf, len));
}

int cherche_caractere(std::string_view buf, char c) {
    const std::size_t found = buf.substr(0, std::min<std::size_t>(buf.size(), 1000)).find(c);
    return found == std::string_view::npos ? -1 : static_cast<int>(found);
}

int existe_caractere(const char* buf, char c) {
    if (buf == nullptr) return 0;
    for (; *buf != '\0'; ++buf) {
        if (*buf == c) return 1;
    }
    return 0;
}

void remplace_caractere(std::span<char> buf, int len, char c1, char c2) {
    const auto part = buf.first(ClampedLength(len, buf.size()));
    std::replace(part.begin(), part.end(), c1, c2);
}

void beep() {
    std::printf("%c", 7);
    std::fflush(stdout);
}

void charge_table_controle(const char* table_origine, const char* table_destination, int lentable) {
    Longueur_Table_Controle = std::clamp(lentable, 0, 100);
    if (Longueur_Table_Controle == 0) return;
    std::memcpy(Table_Controle_Origine, table_origine, Longueur_Table_Controle);
    std::memcpy(Table_Controle_Destination, table_destination, Longueur_Table_Controle);
}

int xatoi(const char* buf, int len) {
    return getnum(buf, len);
}

long xatol(const char* buf, int len) {
    return getlong(buf, len);
}

void xitoa(int val, char* buf, int base, int len) {
    WriteRadix(val, buf, base, len);
}

void xltoa(long val, char* buf, int base, int len) {
    WriteRadix(val, buf, base, len);
}

int ASCII_HEXA(char c) {
    int value = static_cast<unsigned char>(c) - 48;
    if (value > 9) value -= 7;
    return value;
}

char HEXA_ASCII(int i) {
    return static_cast<char>(48 + i + (i > 9 ? 7 : 0));
}

int lecture_hexa(const char* buf) {
    return ASCII_HEXA(buf[0]) * 16 + ASCII_HEXA(buf[1]);
}

void ecriture_hexa(char* buf, int val) {
    buf[0] = HEXA_ASCII((val >> 4) & 0x0F);
    buf[1] = HEXA_ASCII(val & 0x0F);
}

namespace {
int XorOf(const char* buf, int longueur) {
    unsigned char x = 0;
    for (int i = 0; i < longueur; ++i) x ^= static_cast<unsigned char>(buf[i]);
    return x;
}
}  // namespace

void envoie_checksum(const char* buf, int longueur, char* checksum) {
    ecriture_hexa(checksum, XorOf(buf, longueur));
}

int compare_checksum(const char* buf, int longueur, const char* checksum) {
    return XorOf(buf, longueur) == lecture_hexa(checksum) ? 1 : 0;
}

int copier_fichier(std::string_view nomfic1, std::string_view nomfic2) {
    plat::File source = plat::File::Open(nomfic1, "rb");
    if (!source) return 1;
    plat::File destination = plat::File::Open(nomfic2, "wb");
    if (!destination) return 2;
    char block[10000];
    for (;;) {
        const std::size_t n = source.Read(block, 1, sizeof block);
        if (n == 0) break;
        if (destination.Write(block, 1, n) != n) return 3;
    }
    // A read that fails is no end of file: the copy would be cut short.
    if (source.Error()) return 1;
    return destination.Close() ? 0 : 3;
}

plat::File xopen(std::string_view nomfic, int flag) {
    switch (flag) {
        case 0:
            return plat::File::Open(nomfic, "rb");
        case 1:
        case 2:
            return plat::File::Open(nomfic, "r+b");
        case 3:
            plat::DeleteFile(nomfic);
            return plat::File::Open(nomfic, "w+b");
        default:
            // An invalid mode gives a handle that is not open.
            return plat::File::Open(nomfic, "");
    }
}

int xgets(std::span<char> buf, int longueur, plat::File& handle) {
    const std::size_t wanted = ClampedLength(longueur, buf.size());
    if (!handle || wanted == 0) return handle ? 0 : -1;
    std::size_t n;
    do {
        n = handle.Read(buf.data(), 1, wanted);
        if (n == 0) return handle.Error() ? -1 : 0;
    } while (buf[0] == 26);

    const auto line_end = std::find(buf.begin(), buf.begin() + static_cast<long>(n), '\n');
    if (line_end == buf.begin() + static_cast<long>(n)) return static_cast<int>(n);
    const std::size_t lf = static_cast<std::size_t>(line_end - buf.begin());
    if (lf > 0) buf[lf - 1] = '\n';
    buf[lf] = '\0';
    const std::size_t beyond = n - (lf + 1);
    if (beyond > 0) handle.Seek(-static_cast<std::int64_t>(beyond), SEEK_CUR);
    return static_cast<int>(lf + 1);
}

int xputs(std::string_view buf, plat::File& handle) {
    const std::string_view line = UpToZero(buf);
    if (!handle) return -1;
    const bool ends_line = !line.empty() && line.back() == '\n';
    const std::string_view body = ends_line ? line.substr(0, line.size() - 1) : line;
    if (handle.Write(body.data(), 1, body.size()) != body.size()) return -1;
    if (ends_line && handle.Write("\r\n", 1, 2) != 2) return -1;
    return 0;
}

void StripBlanks(std::string_view s1, std::span<char> s2) {
    if (s2.empty()) return;
    const std::string_view text = Stripped(UpToZero(s1));
    const std::size_t n = std::min(text.size(), s2.size() - 1);
    if (n > 0) std::memcpy(s2.data(), text.data(), n);
    s2[n] = '\0';
}

int CompareWithoutBlanks(std::string_view chaine1, std::string_view chaine2) {
    return Stripped(UpToZero(chaine1)).compare(Stripped(UpToZero(chaine2)));
}

void GetDate(int& Jour, int& Mois, int& Annee) {
    const plat::CalendarTime now = plat::NowUniversal();
    Jour = now.day;
    Mois = now.month;
    Annee = now.year % 100;
}

void DumpString(std::string_view buf, int lbuf, std::string& pDump) {
    const std::size_t n = ClampedLength(lbuf, buf.size());
    char cell[24];
    for (std::size_t line = 0; line < n; line += 16) {
        std::snprintf(cell, sizeof cell, "%04x: ", static_cast<unsigned>(line));
        pDump += cell;
        for (std::size_t i = 0; i < 16; ++i) {
            if (line + i < n) {
                std::snprintf(cell, sizeof cell, "%02x ",
                              static_cast<unsigned char>(buf[line + i]));
                pDump += cell;
            } else {
                pDump += "   ";
            }
            if (i == 7) pDump += ' ';
        }
        pDump += ' ';
        for (std::size_t i = 0; i < 16; ++i) {
            if (line + i >= n) {
                pDump += ' ';
                continue;
            }
            const unsigned char c = static_cast<unsigned char>(buf[line + i]);
            pDump += (c >= 32 && c <= 127) ? static_cast<char>(c) : '.';
        }
        pDump += '\n';
    }
}

void dump(std::string_view buf, int lbuf, plat::File& fp) {
    std::string text;
    DumpString(buf, lbuf, text);
    fp.Puts(text);
}

bool existe_fichier(std::string_view nomfic) {
    return plat::File::Open(nomfic, "r").IsOpen();
}
