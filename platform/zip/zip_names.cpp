#include "platform/zip/zip_names.h"

#include <algorithm>
#include <array>

#include "platform/codepage.h"

namespace plat {
namespace {

constexpr std::uint16_t kFlagUtf8 = 0x0800;

bool IsDeviceName(std::string_view component) {
    std::string base(component.substr(0, component.find('.')));
    while (!base.empty() && base.back() == ' ') base.pop_back();
    for (char& c : base) c = UpperCase1252(c);
    if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL") return true;
    return base.size() == 4 && (base.starts_with("COM") || base.starts_with("LPT")) &&
           base[3] >= '1' && base[3] <= '9';
}

// Code page 850 -> 1252, by inverting the 1252 -> 850 table: the 850
// characters that 1252 lacks (box drawing) become "?".
char OemToAnsi(unsigned char c) {
    static const std::array<char, 128> table = [] {
        std::array<char, 128> t;
        t.fill('?');
        for (int b = 0x80; b <= 0xFF; ++b) {
            const auto oem = static_cast<unsigned char>(AnsiToOem(static_cast<char>(b)));
            if (oem >= 0x80) t[oem - 0x80] = static_cast<char>(b);
        }
        return t;
    }();
    return c < 0x80 ? static_cast<char>(c) : table[c - 0x80];
}

bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Hosts of the "version made by" field whose tools write names in the OEM
// code page: MS-DOS/FAT, OS/2 HPFS, Windows NTFS, VFAT.
bool IsOemHost(std::uint8_t host) {
    return host == 0 || host == 6 || host == 11 || host == 14;
}

}  // namespace

std::string DecodeEntryName(std::string_view raw, std::uint16_t flags, std::uint8_t host,
                            std::string_view unicodePath) {
    std::string name;
    if (!unicodePath.empty()) {
        name = Cp1252FromUtf8(unicodePath);
    } else if ((flags & kFlagUtf8) != 0) {
        name = Cp1252FromUtf8(raw);
    } else if (IsAscii(raw)) {
        name = raw;
    } else if (IsOemHost(host)) {
        for (char c : raw) name.push_back(OemToAnsi(static_cast<unsigned char>(c)));
    } else if (IsValidUtf8(raw)) {
        name = Cp1252FromUtf8(raw);
    } else {
        name = raw;
    }
    std::replace(name.begin(), name.end(), '/', '\\');
    return name;
}

bool SplitEntryName(std::string_view name, std::vector<std::string_view>& components) {
    components.clear();
    const auto isSeparator = [](char c) { return c == '\\' || c == '/'; };
    const bool unsafe = name.empty() || isSeparator(name.front()) ||
                        name.find(':') != std::string_view::npos ||
                        std::any_of(name.begin(), name.end(),
                                    [](char c) { return static_cast<unsigned char>(c) < 0x20; });
    if (unsafe) return false;
    std::size_t start = 0;
    while (start <= name.size()) {
        std::size_t end = start;
        while (end < name.size() && !isSeparator(name[end])) ++end;
        const std::string_view component = name.substr(start, end - start);
        if (!component.empty() && component != ".") {
            const bool dotsOnly = component.find_first_not_of(". ") == std::string_view::npos;
            if (dotsOnly || IsDeviceName(component)) {
                components.clear();
                return false;
            }
            components.push_back(component);
        }
        start = end + 1;
    }
    return !components.empty();
}

}  // namespace plat
