// The string table and the dialog templates.
#include <gtest/gtest.h>

#include <set>

#include "platform/codepage.h"
#include "platform/ui/message_box.h"
#include "platform/ui/resource.h"
#include "resources/resource.h"

namespace {

TEST(ResourcesTest, StringsAreServedIn1252) {
    const struct {
        UINT id;
        const char* utf8;
    } cases[] = {
        {101, "&A propos de Quervane..."},
        {103, "Erreur de lecture du fichier descriptif des données"},
        {104, "Fichier abonnés  (*.jo)|*.jo|Fichier abonnées zippés (*.ZIP)|*.ZIP"},
        {111, "Fichier abonnés zippés (*.ZIP)|*.ZIP|Fichier abonnées non zippés (*.CYB)|*.CYB|"},
        {165, "Sélection de titre à importer"},
        {63210, "Disque mémoire"},
        {63217,
         "Numero d\"édition dans fichier journal (%s) à l'abonné %ld différent de l'index "
         "édition (%s)"},
        {63220, "Fcihier descriptif %s.ini manquant"},
    };
    for (const auto& c : cases) {
        std::string text;
        ASSERT_TRUE(LoadString(c.id, text)) << c.id;
        EXPECT_EQ(text, plat::Cp1252FromUtf8(c.utf8)) << c.id;
        EXPECT_EQ(plat::Utf8FromCp1252(text), c.utf8) << c.id;
    }
    EXPECT_EQ(LoadString(165).size(), std::string_view("Sélection de titre à importer").size() - 2)
        << "one byte per accented letter";
}

TEST(ResourcesTest, AStringIdWithoutTextGivesNothing) {
    for (UINT id : {0u, 100u, 106u, 110u, 166u, 63212u, 63299u, 65535u}) {
        std::string text = "previous";
        EXPECT_FALSE(LoadString(id, text)) << id;
        EXPECT_EQ(text, "") << id;
    }
}

TEST(ResourcesTest, TemplatesHoldTheirControlsOnce) {
    for (UINT id : {IDD_ABOUTBOX, IDD_QUERVANE_DIALOG, IDD_SAISIE_EXEMPLAIRES, IDD_ERREURS_SAC,
                    IDD_LECTEUR, IDD_LOADFILE}) {
        const plat::ui::DialogTemplate* tmpl = plat::ui::FindDialogTemplate(id);
        ASSERT_NE(tmpl, nullptr) << id;
        EXPECT_EQ(tmpl->id, id);
        EXPECT_FALSE(tmpl->caption.empty());
        std::set<int> ids;
        for (const auto& control : tmpl->controls) {
            if (control.id != IDC_STATIC) {
                EXPECT_TRUE(ids.insert(control.id).second) << id << ": " << control.id;
            }
            EXPECT_LE(control.x + control.cx, tmpl->cx) << id << ": " << control.id;
            if (control.kind != plat::ui::ControlKind::ComboBox) {  // the drop-down may hang out
                EXPECT_LE(control.y + control.cy, tmpl->cy) << id << ": " << control.id;
            }
            if (control.kind == plat::ui::ControlKind::StaticIcon) {
                EXPECT_NE(plat::ui::FindIcon(control.icon), nullptr) << id;
            }
        }
    }
    EXPECT_EQ(plat::ui::FindDialogTemplate(101), nullptr);
}

TEST(ResourcesTest, ScriptRolesNameTheAnsweredDialogs) {
    EXPECT_EQ(plat::ui::FindDialogTemplate(IDD_LOADFILE)->scriptRole, "file-picker");
    EXPECT_EQ(plat::ui::FindDialogTemplate(IDD_LECTEUR)->scriptRole, "drive-chooser");
    EXPECT_EQ(plat::ui::FindDialogTemplate(IDD_ERREURS_SAC)->scriptRole, "missing-bags");
    EXPECT_EQ(plat::ui::FindDialogTemplate(IDD_QUERVANE_DIALOG)->scriptRole, "");
}

TEST(ResourcesTest, IconsHaveTheirPixels) {
    for (UINT id : {IDR_MAINFRAME, IDI_FICHIER}) {
        const plat::ui::IconImage* icon = plat::ui::FindIcon(id);
        ASSERT_NE(icon, nullptr);
        EXPECT_EQ(icon->pixels.size(), static_cast<std::size_t>(icon->width * icon->height));
    }
    EXPECT_EQ(plat::ui::FindIcon(1), nullptr);
}

}  // namespace
