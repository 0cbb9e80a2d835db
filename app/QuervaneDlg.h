// The main window. Besides its controls it holds the state of an import run:
// the members of each phase are grouped below, one section per phase, and
// the methods of each phase live in import/ (one source file per phase).
#pragma once

#include "app/DiagUtils.h"

class CQuervaneDlg : public CDiagUtils {
public:
    explicit CQuervaneDlg(CWnd* pParent = nullptr);
    ~CQuervaneDlg() override;

    // ---- shell (app/QuervaneDlg.cpp) ----
    // ---- end shell ----

    // ---- import run driver and configuration (import/) ----
    // ---- end import run driver ----

    // ---- source acquisition (import/) ----
    // ---- end source acquisition ----

    // ---- prepared-base import (import/) ----
    // ---- end prepared-base import ----

    // ---- supplier conversion (import/) ----
    // ---- end supplier conversion ----
};
