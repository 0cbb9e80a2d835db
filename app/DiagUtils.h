// The common base of the dialogs that act on their own child controls: helpers
// that find a control by its id and act on it (each does nothing when the
// dialog has no such control, so they can be called on any dialog), and three
// path-splitting functions. "\" and "/" both separate path components.
#pragma once

#include <string>
#include <string_view>

#include "platform/ui/ui.h"

class CDiagUtils : public CDialog {
public:
    explicit CDiagUtils(UINT nIDTemplate, CWnd* pParent = nullptr);
    // Built on a given template (dialogs of tests).
    CDiagUtils(const plat::ui::DialogTemplate* tmpl, UINT nIDTemplate, CWnd* pParent = nullptr);
    ~CDiagUtils() override;

    // Path splitting.
    // The part after the last separator, cut at its first ".".
    static std::string ExtractFileName(std::string_view Path);
    // The part up to and including the last separator; empty without one.
    static std::string ExtractPathName(std::string_view Path);
    // The part after the last "." of the whole path; empty without one.
    static std::string ExtractExtension(std::string_view Path);

    // Progress bar: shown with the show command Etat (0 hides), range
    // 0..Plage, step 1, position Position.
    void ValiderProgres(int id, int Etat, int Plage, int Position);
    void PositionnerProgres(int id, int Position);

    // Buttons and check boxes.
    void PositionnerBouton(int id, int valeur);
    void AcquerirBouton(int id, int& valeur);
    // Shown with the command Etat, enabled when Etat is non-zero.
    void ValiderBouton(int id, int Etat);
    void ValiderEdition(int id, int Etat);
    void ValiderInfo(int id, int Etat);
    // Enabled when Etat is non-zero; visibility unchanged.
    void MasquerBouton(int id, int Etat);
    void ChangerTexteBouton(int id, UINT idt);
    // Hides and disables control Id when the drive of Lettre has no root folder.
    void ControleLecteur(int Id, char Lettre);

    // Slider and scroll bar: shown and enabled as ValiderBouton; when Etat is
    // non-zero, range 0..Plage and position Position.
    void ValiderCurseur(int id, int Etat, int Plage, int Position);
    void ValiderIndex(int id, int Etat, int Plage, int Position);

    // List boxes.
    void EnvoieListe(int id, std::string_view s);
    void EnvoieValeurListe(int id, int valeur);
    // The selected entry's text into s; returns the selected index, -1 when
    // the control is missing.
    int AcquerirListe(int id, std::string& s);
    void PosListe(int id, std::string_view Nom);        // first entry equal to Nom
    void RechercheListe(int id, std::string_view Nom);  // first entry CompareNom finds equal
    // The names matching chemin + "*." + attribut (attribut ".": the
    // sub-folders of chemin), each cut at its first ".", sorted with
    // CompareNom; NomInitial selected.
    void InitListe(int id, std::string_view chemin, std::string_view attribut,
                   std::string_view NomInitial);

    // Combo boxes.
    void ValiderListeCombinee(int id, int Etat);
    void InitListeCombinee(int id, std::string_view chemin, std::string_view attribut);
    void InitCombinedListe(int id, std::string_view chemin, std::string_view attribut);
    // First entry equal to Nom without regard to case.
    void PositionnerListeCombinee(int id, std::string_view Nom);

    // Orders two names: prefixes compared with the small letters but "z" as
    // capitals, then the shorter prefix first, then the trailing numbers
    // (J1 < J2 < J10). Returns -1, 0 or 1.
    static int CompareNom(std::string_view nom1, std::string_view nom2);

    // Pictures.
    void CopieImageListe(int Id1, int Id2);
    void ClearImageListe(int Id);

private:
    void ShowAndEnable(int id, int Etat);
};
