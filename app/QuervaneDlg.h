// The main window. Besides its controls it holds the state of an import run:
// the members of each phase are grouped below, one section per phase, and
// the methods of each phase live in import/ (one source file per phase).
#pragma once

#include <string>
#include <string_view>

#include "app/DiagUtils.h"

class CQuervaneDlg : public CDiagUtils {
public:
    explicit CQuervaneDlg(CWnd* pParent = nullptr);
    ~CQuervaneDlg() override;

    // ---- shell (app/QuervaneDlg.cpp) ----
    // Shows Info (1252) on the status line and remembers it; the line is
    // drawn, not stored in the edit control, and changes at once.
    void Afficher(std::string_view Info);

    HICON m_hIcon = 0;            // application icon, resource 128
    std::string sDisplayMessage;  // the text the status line shows

    // Until the run driver declares it in its own section: the handler of
    // "Lire les données".
    void OnQuervane();

protected:
    bool OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnSysCommand(UINT nID, LPARAM lParam) override;
    void OnPaint() override;
    void OnTimer(UINT_PTR nIDEvent) override;
    HICON OnQueryDragIcon() override;

public:
    // ---- end shell ----

    // ---- import run driver and configuration (import/) ----
    // Data directory, from "Trelvamont.ini"; a prefix of base file names.
    std::string RepertoireData;

    // Deletes the bases of the data directory whose ".jo" file is older than
    // DelayJournal days.
    void PurgerAnciensFichiers(int DelayJournal);
    // ---- end import run driver ----

    // ---- source acquisition (import/) ----
    // ---- end source acquisition ----

    // ---- prepared-base import (import/) ----
    // ---- end prepared-base import ----

    // ---- supplier conversion (import/) ----
    // Converts the supplier set of the run into the base of its titles:
    // reference tables, subscriber pass, base files, bag labels, index files.
    void ConversionFournisseur(struct RunContext& run);
    // ---- end supplier conversion ----
};
