// The application's resources: dialog templates, string table and icons.
// Declared here, defined by the application's resources/ module. Only code
// of the application layers and headers' inline functions call these (a
// platform source file never does: the platform library links before the
// application's).
#pragma once

#include <string>
#include <string_view>

#include "platform/ui/dialog_template.h"

namespace plat::ui {

// nullptr when the application has no such template.
const DialogTemplate* FindDialogTemplate(UINT id);

// The text of a string-table entry in 1252; false (and text emptied) when
// the table has no text for id.
bool LoadStringText(UINT id, std::string& text);

// nullptr when the application has no such icon.
const IconImage* FindIcon(UINT id);

}  // namespace plat::ui

// The string-table text of id, empty when there is none.
inline std::string LoadString(UINT id) {
    std::string text;
    plat::ui::LoadStringText(id, text);
    return text;
}
inline bool LoadString(UINT id, std::string& text) {
    return plat::ui::LoadStringText(id, text);
}
