// The application's icons, drawn in code: 32 x 32 pixels, 0xAARRGGBB.
#include <array>
#include <cstdint>

#include "platform/ui/resource.h"
#include "resources/resource.h"

namespace {

constexpr int kSize = 32;
using Pixels = std::array<std::uint32_t, kSize * kSize>;

constexpr std::uint32_t kClear = 0x00000000;
constexpr std::uint32_t kInk = 0xFF1F3A5F;
constexpr std::uint32_t kPaper = 0xFFFFFFFF;
constexpr std::uint32_t kLine = 0xFF8A9BB0;
constexpr std::uint32_t kBand = 0xFFC0392B;
constexpr std::uint32_t kFolder = 0xFFE8B64C;
constexpr std::uint32_t kFolderEdge = 0xFF9C7424;

constexpr void Fill(Pixels& p, int x0, int y0, int x1, int y1, std::uint32_t colour) {
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) p[y * kSize + x] = colour;
}

// A newspaper page: a red title band and columns of text lines.
constexpr Pixels MakeNewspaper() {
    Pixels p{};
    Fill(p, 0, 0, kSize, kSize, kClear);
    Fill(p, 4, 2, 28, 30, kInk);
    Fill(p, 5, 3, 27, 29, kPaper);
    Fill(p, 7, 5, 25, 9, kBand);
    for (int y = 11; y < 27; y += 3) {
        Fill(p, 7, y, 15, y + 1, kLine);
        Fill(p, 17, y, 25, y + 1, kLine);
    }
    return p;
}

// A file folder.
constexpr Pixels MakeFolder() {
    Pixels p{};
    Fill(p, 0, 0, kSize, kSize, kClear);
    Fill(p, 3, 7, 14, 11, kFolderEdge);
    Fill(p, 3, 10, 29, 27, kFolderEdge);
    Fill(p, 4, 11, 28, 26, kFolder);
    return p;
}

constexpr Pixels kNewspaper = MakeNewspaper();
constexpr Pixels kFolderIcon = MakeFolder();

const plat::ui::IconImage kIcons[] = {
    {kSize, kSize, kNewspaper},
    {kSize, kSize, kFolderIcon},
};

}  // namespace

namespace plat::ui {

const IconImage* FindIcon(UINT id) {
    switch (id) {
        case IDR_MAINFRAME:
            return &kIcons[0];
        case IDI_FICHIER:
            return &kIcons[1];
        default:
            return nullptr;
    }
}

}  // namespace plat::ui
