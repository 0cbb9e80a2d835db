// Dialog templates: what a dialog holds when it opens, as tables in dialog
// units. Texts are written in UTF-8 and reach the controls as 1252.
#pragma once

#include <span>
#include <string_view>

#include "platform/ui/types.h"

namespace plat::ui {

enum class ControlKind {
    PushButton,
    DefPushButton,
    CheckBox,
    Edit,
    StaticText,
    StaticIcon,  // text: none; icon: the icon resource id
    ProgressBar,
    Slider,
    ScrollBar,
    ComboBox,  // drop-down with an edit field
    ListBox,
    Grid,  // rows and columns of text cells, fixed header rows
};

// Control style flags. A control is visible and enabled unless its template
// says Hidden or Disabled.
namespace style {
constexpr unsigned Hidden = 1u << 0;
constexpr unsigned Disabled = 1u << 1;
constexpr unsigned Border = 1u << 2;
constexpr unsigned VScroll = 1u << 3;
constexpr unsigned HScroll = 1u << 4;
constexpr unsigned ReadOnly = 1u << 5;     // edit
constexpr unsigned AutoHScroll = 1u << 6;  // edit, combo box
constexpr unsigned Notify = 1u << 7;       // list box
constexpr unsigned Sorted = 1u << 8;       // list box, combo box
constexpr unsigned TabStop = 1u << 9;
}  // namespace style

// Dialog style flags.
namespace dialog_style {
constexpr unsigned Caption = 1u << 0;
constexpr unsigned SysMenu = 1u << 1;
constexpr unsigned ModalFrame = 1u << 2;
constexpr unsigned AppWindow = 1u << 3;  // shown in the task bar
constexpr unsigned MinimizeBox = 1u << 4;
}  // namespace dialog_style

struct ControlTemplate {
    ControlKind kind = ControlKind::StaticText;
    int id = IDC_STATIC;
    std::string_view text;             // UTF-8
    int x = 0, y = 0, cx = 0, cy = 0;  // dialog units
    unsigned style = 0;
    UINT icon = 0;  // StaticIcon: the icon resource shown
};

struct DialogTemplate {
    UINT id = 0;
    std::string_view caption;  // UTF-8
    int cx = 0, cy = 0;        // dialog units
    std::string_view fontName;
    int fontSize = 8;  // points
    unsigned style = 0;
    std::span<const ControlTemplate> controls;
    // How a scripted run recognises the dialog: "file-picker",
    // "drive-chooser", "missing-bags", or empty for a dialog that no script
    // answers.
    std::string_view scriptRole;
};

struct IconImage {
    int width = 0, height = 0;
    std::span<const std::uint32_t> pixels;  // width * height, 0xAARRGGBB, rows top to bottom
};

}  // namespace plat::ui
