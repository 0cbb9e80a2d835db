// Message boxes of the application: texts in 1252, caption the
// application's name.
#pragma once

#include <string_view>

#include "platform/ui/resource.h"
#include "platform/ui/types.h"

int AfxMessageBox(std::string_view text, UINT nType = MB_OK, UINT nIDHelp = 0);
// Shows the string-table text nIDPrompt (an empty box when it has none).
inline int AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = 0) {
    return AfxMessageBox(std::string_view(LoadString(nIDPrompt)), nType, nIDHelp);
}
inline int AfxMessageBox(int nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = 0) {
    return AfxMessageBox(static_cast<UINT>(nIDPrompt), nType, nIDHelp);
}
inline int AfxMessageBox(const char* text, UINT nType = MB_OK, UINT nIDHelp = 0) {
    return AfxMessageBox(std::string_view(text), nType, nIDHelp);
}
