// Dialog templates, in dialog units.
#include <array>

#include "platform/ui/resource.h"
#include "resources/resource.h"

namespace {

using plat::ui::ControlKind;
using plat::ui::ControlTemplate;
using plat::ui::DialogTemplate;
namespace st = plat::ui::style;
namespace ds = plat::ui::dialog_style;

constexpr std::string_view kFont = "MS Sans Serif";
constexpr unsigned kDialog = ds::Caption | ds::SysMenu | ds::ModalFrame;

constexpr std::array kAboutControls{
    ControlTemplate{ControlKind::StaticIcon, IDC_STATIC, "", 11, 17, 20, 20, 0, IDR_MAINFRAME},
    ControlTemplate{ControlKind::StaticText, IDC_STATIC, "Quervane version 1.0", 40, 10, 119, 8},
    ControlTemplate{ControlKind::DefPushButton, IDOK, "OK", 178, 7, 50, 14, st::TabStop},
};

constexpr std::array kMainControls{
    ControlTemplate{ControlKind::DefPushButton, IDOK, "OK", 270, 0, 50, 14, st::TabStop},
    ControlTemplate{ControlKind::PushButton, IDC_QUERVANE, "Lire les données", 70, 65, 154, 14,
                    st::TabStop},
    ControlTemplate{ControlKind::Edit, IDC_STATUS, "", 15, 30, 280, 15,
                    st::Border | st::ReadOnly | st::AutoHScroll | st::TabStop},
    ControlTemplate{ControlKind::StaticText, IDC_STATIC, "Opération en cours", 115, 15, 80, 8},
    ControlTemplate{ControlKind::ProgressBar, IDC_PROGRESS, "", 20, 98, 270, 14,
                    st::Border | st::Hidden | st::Disabled},
};

constexpr std::array kSaisieControls{
    ControlTemplate{ControlKind::DefPushButton, IDOK, "Valider", 45, 50, 105, 14, st::TabStop},
    ControlTemplate{ControlKind::PushButton, IDCANCEL, "Abandonner", 45, 80, 105, 14, st::TabStop},
    ControlTemplate{ControlKind::Edit, IDC_NOMBRE_EXEMPLAIRES, "", 45, 15, 105, 14,
                    st::Border | st::AutoHScroll | st::TabStop},
};

constexpr std::array kErreursSacControls{
    ControlTemplate{ControlKind::DefPushButton, IDOK, "Acquitter", 50, 230, 50, 14, st::TabStop},
    ControlTemplate{ControlKind::ListBox, IDC_LISTE_ERREURS, "", 15, 15, 135, 205,
                    st::Border | st::VScroll | st::Notify | st::TabStop},
};

constexpr std::array kLecteurControls{
    ControlTemplate{ControlKind::ComboBox, IDC_LECTEURS, "", 25, 20, 415, 145,
                    st::VScroll | st::AutoHScroll | st::TabStop},
    ControlTemplate{ControlKind::PushButton, IDC_RAFRAICHIR, "Rafraîchir", 385, 5, 50, 14,
                    st::TabStop},
    ControlTemplate{ControlKind::DefPushButton, IDOK, "Valider", 250, 65, 50, 14, st::TabStop},
    ControlTemplate{ControlKind::PushButton, IDCANCEL, "Abandon", 145, 65, 50, 14, st::TabStop},
};

constexpr std::array kLoadFileControls{
    ControlTemplate{ControlKind::Grid, IDC_FICHIERS, "", 0, 0, 420, 180, st::TabStop},
    ControlTemplate{ControlKind::Edit, IDC_CHEMIN, "", 0, 180, 420, 14,
                    st::Border | st::ReadOnly | st::AutoHScroll | st::Hidden},
    ControlTemplate{ControlKind::StaticIcon, IDC_ICONE_FICHIER, "", 10, 200, 20, 20, 0,
                    IDI_FICHIER},
    ControlTemplate{ControlKind::StaticText, IDC_STATIC, "Nom du fichier:", 45, 210, 50, 8},
    ControlTemplate{ControlKind::Edit, IDC_NOM_FICHIER, "", 100, 205, 230, 14,
                    st::Border | st::AutoHScroll | st::TabStop},
    ControlTemplate{ControlKind::CheckBox, IDC_AUTO_MODIF, "Autoriser la modification", 100, 225,
                    90, 10, st::Hidden | st::Disabled | st::TabStop},
    ControlTemplate{ControlKind::DefPushButton, IDOK, "Valider", 365, 200, 50, 14, st::TabStop},
    ControlTemplate{ControlKind::PushButton, IDCANCEL, "Annuler", 365, 220, 50, 14, st::TabStop},
};

constexpr std::array kDialogs{
    DialogTemplate{IDD_ABOUTBOX, "A propos de Quervane", 235, 55, kFont, 8, kDialog, kAboutControls,
                   ""},
    DialogTemplate{IDD_QUERVANE_DIALOG, "Quervane", 320, 120, kFont, 8,
                   kDialog | ds::AppWindow | ds::MinimizeBox, kMainControls, ""},
    DialogTemplate{IDD_SAISIE_EXEMPLAIRES, "Saisie du nombre d'exemplaires", 202, 114, kFont, 8,
                   kDialog, kSaisieControls, ""},
    DialogTemplate{IDD_ERREURS_SAC, "Liste des sacs non existant", 167, 251, kFont, 8, kDialog,
                   kErreursSacControls, "missing-bags"},
    DialogTemplate{IDD_LECTEUR, "Choix du chemin de lecture de la base", 450, 86, kFont, 8, kDialog,
                   kLecteurControls, "drive-chooser"},
    DialogTemplate{IDD_LOADFILE, "Sélectionner un fichier", 420, 240, kFont, 8, kDialog,
                   kLoadFileControls, "file-picker"},
};

}  // namespace

namespace plat::ui {

const DialogTemplate* FindDialogTemplate(UINT id) {
    for (const DialogTemplate& dialog : kDialogs) {
        if (dialog.id == id) return &dialog;
    }
    return nullptr;
}

}  // namespace plat::ui
