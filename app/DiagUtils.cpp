#include "app/DiagUtils.h"

#include <algorithm>
#include <vector>

#include "platform/fs/fs.h"

namespace {

constexpr std::string_view kSeparators = "\\/";

// The name cut at its first ".".
std::string_view CutAtFirstDot(std::string_view name) {
    return name.substr(0, name.find('.'));
}

// The prefix and the trailing run of decimal digits of a name.
struct NameParts {
    std::string_view prefix;
    std::string_view number;
};

NameParts SplitTrailingNumber(std::string_view name) {
    std::size_t start = name.size();
    while (start > 0 && name[start - 1] >= '0' && name[start - 1] <= '9') --start;
    return {name.substr(0, start), name.substr(start)};
}

// Small letters but "z" compare as capitals; characters compare as signed
// 8-bit values, so 1252 letters above 0x7F come before every ASCII one.
signed char NameKey(char c) {
    signed char key = static_cast<signed char>(c);
    if (key >= 'a' && key != 'z') key = static_cast<signed char>(key - 32);
    return key;
}

// Decimal digit runs compared as integers of any length.
int CompareNumbers(std::string_view a, std::string_view b) {
    while (!a.empty() && a.front() == '0') a.remove_prefix(1);
    while (!b.empty() && b.front() == '0') b.remove_prefix(1);
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    const int order = a.compare(b);
    return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

std::vector<std::string> ListNames(std::string_view chemin, std::string_view attribut) {
    const bool folders = attribut == ".";
    std::string pattern(chemin);
    if (folders) {
        pattern += "*";
    } else {
        pattern += "*.";
        pattern += attribut;
    }
    std::vector<std::string> names;
    for (const plat::DirEntry& entry : plat::ListDirectory(pattern)) {
        // Hidden names would show as empty entries once cut at their first ".".
        if (entry.name == "." || entry.name == ".." || entry.isHidden) continue;
        if (folders && !entry.isFolder) continue;
        names.emplace_back(CutAtFirstDot(entry.name));
    }
    std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return CDiagUtils::CompareNom(a, b) < 0;
    });
    return names;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 32);
        if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 32);
        if (x != y) return false;
    }
    return true;
}

}  // namespace

CDiagUtils::CDiagUtils(UINT nIDTemplate, CWnd* pParent) : CDialog(nIDTemplate, pParent) {}

CDiagUtils::CDiagUtils(const plat::ui::DialogTemplate* tmpl, UINT nIDTemplate, CWnd* pParent)
    : CDialog(tmpl, nIDTemplate, pParent) {}

CDiagUtils::~CDiagUtils() = default;

// ---- paths ----

std::string CDiagUtils::ExtractFileName(std::string_view Path) {
    const std::size_t sep = Path.find_last_of(kSeparators);
    const std::string_view name = sep == std::string_view::npos ? Path : Path.substr(sep + 1);
    return std::string(CutAtFirstDot(name));
}

std::string CDiagUtils::ExtractPathName(std::string_view Path) {
    const std::size_t sep = Path.find_last_of(kSeparators);
    return sep == std::string_view::npos ? std::string() : std::string(Path.substr(0, sep + 1));
}

std::string CDiagUtils::ExtractExtension(std::string_view Path) {
    const std::size_t dot = Path.rfind('.');
    return dot == std::string_view::npos ? std::string() : std::string(Path.substr(dot + 1));
}

// ---- progress bar ----

void CDiagUtils::ValiderProgres(int id, int Etat, int Plage, int Position) {
    auto* progress = GetControl<CProgressCtrl>(id);
    if (progress == nullptr) return;
    progress->ShowWindow(Etat);
    progress->SetRange(0, static_cast<short>(Plage));
    progress->SetStep(1);
    progress->SetPos(Position);
}

void CDiagUtils::PositionnerProgres(int id, int Position) {
    if (auto* progress = GetControl<CProgressCtrl>(id)) progress->SetPos(Position);
}

// ---- buttons ----

void CDiagUtils::PositionnerBouton(int id, int valeur) {
    if (auto* button = GetControl<CButton>(id)) button->SetCheck(valeur);
}

void CDiagUtils::AcquerirBouton(int id, int& valeur) {
    if (auto* button = GetControl<CButton>(id)) valeur = button->GetCheck();
}

void CDiagUtils::ShowAndEnable(int id, int Etat) {
    CWnd* control = GetDlgItem(id);
    if (control == nullptr) return;
    control->ShowWindow(Etat);
    control->EnableWindow(Etat != 0);
}

void CDiagUtils::ValiderBouton(int id, int Etat) {
    ShowAndEnable(id, Etat);
}
void CDiagUtils::ValiderEdition(int id, int Etat) {
    ShowAndEnable(id, Etat);
}
void CDiagUtils::ValiderInfo(int id, int Etat) {
    ShowAndEnable(id, Etat);
}
void CDiagUtils::ValiderListeCombinee(int id, int Etat) {
    ShowAndEnable(id, Etat);
}

void CDiagUtils::MasquerBouton(int id, int Etat) {
    if (CWnd* control = GetDlgItem(id)) control->EnableWindow(Etat != 0);
}

void CDiagUtils::ChangerTexteBouton(int id, UINT idt) {
    if (CWnd* control = GetDlgItem(id)) control->SetWindowText(LoadString(idt));
}

void CDiagUtils::ControleLecteur(int Id, char Lettre) {
    const std::string root{Lettre, ':', '\\'};
    if (plat::FolderExists(root)) return;
    if (CWnd* control = GetDlgItem(Id)) {
        control->ShowWindow(SW_HIDE);
        control->EnableWindow(false);
    }
}

// ---- slider and scroll bar ----

void CDiagUtils::ValiderCurseur(int id, int Etat, int Plage, int Position) {
    auto* slider = GetControl<CSliderCtrl>(id);
    if (slider == nullptr) return;
    ShowAndEnable(id, Etat);
    slider->EnableScrollBar(Etat != 0);
    if (Etat == 0) return;
    slider->SetRange(0, Plage, true);
    slider->SetPos(Position);
}

void CDiagUtils::ValiderIndex(int id, int Etat, int Plage, int Position) {
    auto* bar = GetControl<CScrollBar>(id);
    if (bar == nullptr) return;
    ShowAndEnable(id, Etat);
    if (Etat == 0) return;
    bar->SetScrollRange(0, Plage, false);
    bar->SetScrollPos(Position, true);
}

// ---- list boxes ----

void CDiagUtils::EnvoieListe(int id, std::string_view s) {
    auto* list = GetControl<CListBox>(id);
    if (list == nullptr) return;
    list->ResetContent();
    list->AddString(s);
}

void CDiagUtils::EnvoieValeurListe(int id, int valeur) {
    EnvoieListe(id, std::to_string(valeur));
}

int CDiagUtils::AcquerirListe(int id, std::string& s) {
    auto* list = GetControl<CListBox>(id);
    if (list == nullptr) return -1;
    s.clear();
    const int selected = list->GetCurSel();
    if (selected >= 0) list->GetText(selected, s);
    return selected;
}

void CDiagUtils::PosListe(int id, std::string_view Nom) {
    auto* list = GetControl<CListBox>(id);
    if (list == nullptr) return;
    const auto& items = list->Items();
    const auto at = std::find(items.begin(), items.end(), Nom);
    if (at != items.end()) list->SetCurSel(static_cast<int>(at - items.begin()));
}

void CDiagUtils::RechercheListe(int id, std::string_view Nom) {
    auto* list = GetControl<CListBox>(id);
    if (list == nullptr) return;
    const auto& items = list->Items();
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (CompareNom(items[i], Nom) == 0) {
            list->SetCurSel(static_cast<int>(i));
            return;
        }
    }
}

void CDiagUtils::InitListe(int id, std::string_view chemin, std::string_view attribut,
                           std::string_view NomInitial) {
    auto* list = GetControl<CListBox>(id);
    if (list == nullptr) return;
    list->ResetContent();
    for (const std::string& name : ListNames(chemin, attribut)) list->AddString(name);
    PosListe(id, NomInitial);
}

// ---- combo boxes ----

void CDiagUtils::InitListeCombinee(int id, std::string_view chemin, std::string_view attribut) {
    auto* combo = GetControl<CComboBox>(id);
    if (combo == nullptr) return;
    combo->ResetContent();
    for (const std::string& name : ListNames(chemin, attribut)) combo->AddString(name);
}

void CDiagUtils::InitCombinedListe(int id, std::string_view chemin, std::string_view attribut) {
    InitListeCombinee(id, chemin, attribut);
}

void CDiagUtils::PositionnerListeCombinee(int id, std::string_view Nom) {
    auto* combo = GetControl<CComboBox>(id);
    if (combo == nullptr) return;
    const auto& items = combo->Items();
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (EqualNoCase(items[i], Nom)) {
            combo->SetCurSel(static_cast<int>(i));
            return;
        }
    }
}

// ---- ordering of names ----

int CDiagUtils::CompareNom(std::string_view nom1, std::string_view nom2) {
    const NameParts a = SplitTrailingNumber(nom1);
    const NameParts b = SplitTrailingNumber(nom2);
    const std::size_t common = std::min(a.prefix.size(), b.prefix.size());
    for (std::size_t i = 0; i < common; ++i) {
        const signed char x = NameKey(a.prefix[i]);
        const signed char y = NameKey(b.prefix[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.prefix.size() != b.prefix.size()) return a.prefix.size() < b.prefix.size() ? -1 : 1;
    return CompareNumbers(a.number, b.number);
}

// ---- pictures ----

void CDiagUtils::CopieImageListe(int Id1, int Id2) {
    auto* from = GetControl<CStatic>(Id1);
    auto* to = GetControl<CStatic>(Id2);
    if (from != nullptr && to != nullptr) to->SetIcon(from->GetIcon());
}

void CDiagUtils::ClearImageListe(int Id) {
    if (auto* picture = GetControl<CStatic>(Id)) picture->SetIcon(0);
}
