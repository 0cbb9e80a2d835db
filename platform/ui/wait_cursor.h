// The wait cursor, shown for the lifetime of the object.
#pragma once

#include "platform/ui/wnd.h"

class CWaitCursor {
public:
    CWaitCursor() { CWnd::BeginWaitCursor(); }
    ~CWaitCursor() { CWnd::EndWaitCursor(); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
    void Restore() { CWnd::RestoreWaitCursor(); }
};
