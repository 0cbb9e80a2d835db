// Message boxes of the application: texts in 1252, caption the
// application's name.
#pragma once

#include <functional>
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

namespace plat::ui {

// Hears the text of every message box shown while it is installed (the
// run log keeps them); the previous listener comes back when it goes.
class MessageListener {
public:
    explicit MessageListener(std::function<void(std::string_view)> hear);
    ~MessageListener();
    MessageListener(const MessageListener&) = delete;
    MessageListener& operator=(const MessageListener&) = delete;

private:
    friend void NotifyMessageShown(std::string_view text);
    std::function<void(std::string_view)> hear_;
    MessageListener* previous_;
};

// Tells the installed listener, if any, that a message box shows text.
void NotifyMessageShown(std::string_view text);

}  // namespace plat::ui
