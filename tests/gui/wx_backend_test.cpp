// The wx backend with real windows (run under a virtual X server): dialogs
// built from templates in dialog units, a long handler on its own thread
// while the window stays alive and ignores input, the status line with any
// 1252 text, the grid, the close box. Each dialog scripts itself with its
// own timer, the way an operator would act on it.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/gauge.h>
#include <wx/grid.h>
#include <wx/init.h>

#include <array>
#include <atomic>
#include <cstdlib>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "app/QuervaneDlg.h"
#include "platform/codepage.h"
#include "platform/fs/fs.h"
#include "platform/ui/ui.h"
#include "platform/wx/wx_backend.h"
#include "platform/wx/wx_dialog.h"
#include "platform/wx/wx_support.h"
#include "tests/unit/test_support.h"

namespace {

using plat::ui::ControlKind;
using plat::ui::ControlTemplate;
using plat::ui::DialogTemplate;
namespace st = plat::ui::style;
namespace ds = plat::ui::dialog_style;

constexpr int kStatus = 1002;
constexpr int kProgress = 1003;
constexpr int kStart = 1000;
constexpr int kGrid = 1105;

constexpr std::array kControls{
    ControlTemplate{ControlKind::DefPushButton, IDOK, "OK", 270, 0, 50, 14},
    ControlTemplate{ControlKind::PushButton, kStart, "Lire les données", 70, 65, 154, 14},
    ControlTemplate{ControlKind::Edit, kStatus, "", 15, 30, 280, 15, st::Border},
    ControlTemplate{ControlKind::ProgressBar, kProgress, "", 20, 98, 270, 14,
                    st::Border | st::Hidden},
    ControlTemplate{ControlKind::Grid, kGrid, "", 0, 120, 300, 60},
};
constexpr DialogTemplate kTemplate{9001, "Fenêtre d'essai",         320,       180, "MS Sans Serif",
                                   8,    ds::Caption | ds::SysMenu, kControls, ""};

plat::wx::WxBackend* g_backend = nullptr;

// A dialog that acts on itself the way an operator would: a timer of the
// test (not of the model, whose handlers wait while a long handler works)
// runs the next step every 20 milliseconds; a step that returns false runs
// again at the next tick. When the steps are done the dialog ends with IDOK.
class ScriptedDialog : public CDialog {
public:
    ScriptedDialog() : CDialog(&kTemplate, kTemplate.id) {
        ticker_.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { Tick(); });
    }

    using CDialog::BindFunction;

    void Then(std::function<void()> step) {
        steps_.push_back([step] {
            step();
            return true;
        });
    }
    void WaitFor(std::function<bool()> condition) { steps_.push_back(std::move(condition)); }

    std::function<void()> onInit;
    std::function<void(UINT_PTR)> onTimer;

    plat::wx::DialogWindow& Window() const { return *g_backend->WindowOf(this); }
    plat::wx::ControlPeer& Peer(int id) const { return *Window().PeerOf(*GetDlgItem(id)); }

protected:
    bool OnInitDialog() override {
        CDialog::OnInitDialog();
        if (onInit) onInit();
        ticker_.Start(20);
        return true;
    }
    void OnTimer(UINT_PTR id) override {
        if (onTimer) onTimer(id);
    }

private:
    void Tick() {
        if (!IsOpen()) return;
        if (next_ < steps_.size()) {
            if (steps_[next_]()) ++next_;
        } else if (g_backend->WindowOf(this)->AcceptsInput()) {
            ticker_.Stop();
            EndDialog(IDOK);
        }
    }

    wxTimer ticker_;
    std::vector<std::function<bool()>> steps_;
    std::size_t next_ = 0;
};

TEST(WxBackend, BuildsTheWindowFromTheTemplateInDialogUnits) {
    ScriptedDialog dlg;
    wxRect button, status, dialog;
    wxString caption;
    bool progressShown = true;
    dlg.Then([&] {
        caption = dlg.Window().GetTitle();
        dialog = wxRect(wxPoint(), dlg.Window().GetClientSize());
        button = dlg.Peer(kStart).Window()->GetRect();
        status = dlg.Peer(kStatus).Window()->GetRect();
        progressShown = dlg.Peer(kProgress).Window()->IsShown();
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(caption, wxString::FromUTF8("Fenêtre d'essai"));
    // A 6 x 13 pixel base: x * 6 / 4, y * 13 / 8.
    EXPECT_EQ(dialog.GetSize(), wxSize(480, 293));
    EXPECT_EQ(button, wxRect(105, 106, 231, 23));
    EXPECT_EQ(status, wxRect(23, 49, 420, 24));
    EXPECT_FALSE(progressShown);
}

TEST(WxBackend, TheStatusLineShowsAnyTextAsTheOperatorReadsIt) {
    std::string everyHighByte;
    for (int c = 0x80; c <= 0xFF; ++c) everyHighByte += static_cast<char>(c);
    const std::string longText(2000, 'x');
    const std::string accented =
        "Lecture du routage: \xC9"
        "dition \x80 \x9C";
    struct Case {
        std::string text;
        wxString shown;
    } cases[] = {
        {everyHighByte, wxString::FromUTF8(plat::Utf8FromCp1252(everyHighByte))},
        {longText, wxString(longText.size(), 'x')},
        {accented, wxString::FromUTF8("Lecture du routage: Édition € œ")},
        {"", wxString()},
    };
    ScriptedDialog dlg;
    std::vector<wxString> seen;
    std::vector<bool> fieldShown;
    for (const Case& c : cases) {
        dlg.Then([&dlg, &c] { dlg.GetDlgItem(kStatus)->PaintLine(c.text); });
        dlg.Then([&] {
            seen.push_back(dlg.Peer(kStatus).PaintedText());
            fieldShown.push_back(dlg.Peer(kStatus).Window()->IsShown());
        });
    }
    EXPECT_EQ(dlg.DoModal(), IDOK);
    ASSERT_EQ(seen.size(), std::size(cases));
    for (std::size_t i = 0; i < seen.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(seen[i], cases[i].shown);
    }
    EXPECT_EQ(seen[0].length(), 128u) << "one character per byte";
    // While a line is drawn the field shows it; an empty line gives the
    // field back.
    EXPECT_EQ(fieldShown, (std::vector<bool>{false, false, false, true}));
}

// The long handler: a run that shows status texts, moves the progress bar
// and asks a question, all from its own thread.
class RunDialog : public ScriptedDialog {
public:
    RunDialog() {
        BindFunction(
            kStart, plat::ui::Event::Clicked, [this] { Run(); }, plat::ui::HandlerKind::LongRun);
    }

    std::atomic<int> runs{0};
    std::atomic<bool> onMainThread{true};
    std::atomic<bool> painted{false};
    std::atomic<bool> mayFinish{false};
    int answer = 0;

private:
    void Run() {
        ++runs;
        onMainThread = wxIsMainThread();
        auto* progress = dynamic_cast<CProgressCtrl*>(GetDlgItem(kProgress));
        progress->ShowWindow(SW_SHOW);
        progress->SetRange(0, 100);
        for (int i = 0; i <= 50; ++i) {
            GetDlgItem(kStatus)->PaintLine("lecture des journaux " + std::to_string(i));
            progress->SetPos(i);
        }
        painted = true;
        while (!mayFinish) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        answer = MessageBox("Continuer ?", "Essai", MB_YESNO);
    }
};

// Answers message boxes without showing them, on the thread that would show them.
class AnsweringBackend : public plat::wx::WxBackend {
public:
    int MessageBox(CWnd*, std::string_view text, std::string_view, UINT) override {
        int result = IDCANCEL;
        plat::wx::RunOnUiThread([&] {
            asked.push_back(std::string(text));
            askedOnMainThread = wxIsMainThread();
            result = IDNO;
        });
        return result;
    }
    std::vector<std::string> asked;
    bool askedOnMainThread = false;
};

TEST(WxBackend, ALongHandlerRunsApartWhileTheWindowTakesNoInput) {
    AnsweringBackend backend;
    plat::ui::ScopedBackend installed(backend);
    plat::wx::WxBackend* previous = g_backend;
    g_backend = &backend;

    RunDialog dlg;
    int modelTicks = 0, modelTicksDuringRun = -1;
    dlg.onTimer = [&](UINT_PTR id) {
        if (id == 8) ++modelTicks;
    };
    bool acceptedDuringRun = true;
    int gauge = -1;
    wxString line;
    dlg.Then([&] {
        dlg.SetTimer(8, 10);
        dlg.Window().PressButton(kStart);
        modelTicks = 0;
    });
    dlg.WaitFor([&] { return dlg.painted.load(); });
    // This thread still runs while the handler works, but the model's own
    // timer is held back, and a second click, a close or Escape does nothing.
    dlg.Then([&] {
        acceptedDuringRun = dlg.Window().AcceptsInput();
        dlg.Window().PressButton(kStart);
        dlg.Window().Close();
        wxKeyEvent escape(wxEVT_CHAR_HOOK);
        escape.m_keyCode = WXK_ESCAPE;
        dlg.Window().ProcessWindowEvent(escape);
        gauge = static_cast<wxGauge*>(dlg.Peer(kProgress).Window())->GetValue();
        line = dlg.Peer(kStatus).PaintedText();
    });
    dlg.Then([&] {
        modelTicksDuringRun = modelTicks;
        dlg.mayFinish = true;
    });
    dlg.WaitFor([&] { return dlg.Window().AcceptsInput(); });
    dlg.WaitFor([&] { return modelTicks > 0; });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    g_backend = previous;

    EXPECT_EQ(dlg.runs, 1);
    EXPECT_FALSE(dlg.onMainThread) << "the handler works on its own thread";
    EXPECT_FALSE(acceptedDuringRun);
    EXPECT_EQ(modelTicksDuringRun, 0);
    EXPECT_GT(modelTicks, 0) << "the model's timer ticks again after the run";
    EXPECT_EQ(gauge, 50);
    EXPECT_EQ(line, wxString::FromUTF8("lecture des journaux 50"));
    EXPECT_EQ(backend.asked, std::vector<std::string>{"Continuer ?"});
    EXPECT_TRUE(backend.askedOnMainThread) << "the box is shown by the window's thread";
    EXPECT_EQ(dlg.answer, IDNO);
}

TEST(WxBackend, TheGridShowsTheModelAndReportsClicksInModelRows) {
    ScriptedDialog dlg;
    std::vector<std::pair<int, int>> clicks;
    dlg.onInit = [&] {
        auto* grid = dlg.GetControl<CGrid>(kGrid);
        grid->SetRows(3);
        grid->SetCols(2);
        grid->SetColWidth(0, 1500);
        grid->SetTextMatrix(0, 0, "Nom");
        grid->SetTextMatrix(0, 1, "Taille (Octets)");
        grid->SetTextMatrix(1, 0, "[ARCH]");
        grid->SetTextMatrix(2, 0, "A.ZIP");
        grid->SetTextMatrix(2, 1, "9");
        grid->SetRow(2);
        grid->SetCellBackColor(RGB(180, 180, 255));
    };
    dlg.BindFunction(kGrid, plat::ui::Event::Clicked, [&] {
        auto* grid = dlg.GetControl<CGrid>(kGrid);
        clicks.emplace_back(grid->GetMouseRow(), grid->GetMouseCol());
    });
    wxString header, first, second;
    wxColour selected;
    int width = 0, rows = 0;
    dlg.Then([&] {
        auto* grid = static_cast<wxGrid*>(dlg.Peer(kGrid).Window());
        rows = grid->GetNumberRows();
        header = grid->GetColLabelValue(1);
        first = grid->GetCellValue(0, 0);
        second = grid->GetCellValue(1, 0) + wxString::FromUTF8("/") + grid->GetCellValue(1, 1);
        selected = grid->GetCellBackgroundColour(1, 0);
        width = grid->GetColSize(0);
        wxGridEvent cell(grid->GetId(), wxEVT_GRID_CELL_LEFT_CLICK, grid, 1, 1);
        grid->ProcessWindowEvent(cell);
        wxGridEvent label(grid->GetId(), wxEVT_GRID_LABEL_LEFT_CLICK, grid, -1, 0);
        grid->ProcessWindowEvent(label);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(rows, 2) << "the fixed row is the grid's header";
    EXPECT_EQ(header, wxString::FromUTF8("Taille (Octets)"));
    EXPECT_EQ(first, wxString::FromUTF8("[ARCH]"));
    EXPECT_EQ(second, wxString::FromUTF8("A.ZIP/9"));
    EXPECT_EQ(selected, wxColour(180, 180, 255));
    EXPECT_EQ(width, 100) << "1500 twips";
    EXPECT_EQ(clicks, (std::vector<std::pair<int, int>>{{2, 1}, {0, 0}}));
}

TEST(WxBackend, TheCloseBoxCancelsAndEnterPressesTheDefaultButton) {
    ScriptedDialog closed;
    closed.Then([&] { closed.Window().Close(); });
    closed.Then([&] { ADD_FAILURE() << "still open after the close box"; });
    EXPECT_EQ(closed.DoModal(), IDCANCEL);

    ScriptedDialog entered;
    bool okPressed = false;
    entered.BindFunction(IDOK, plat::ui::Event::Clicked, [&] {
        okPressed = true;
        entered.EndDialog(IDRETRY);
    });
    entered.Then([&] {
        // Enter in the edit field (on a button, it presses that button).
        entered.Peer(kStatus).Window()->SetFocus();
        wxKeyEvent enter(wxEVT_CHAR_HOOK);
        enter.m_keyCode = WXK_RETURN;
        entered.Window().ProcessWindowEvent(enter);
    });
    EXPECT_EQ(entered.DoModal(), IDRETRY);
    EXPECT_TRUE(okPressed);
}

TEST(WxBackend, ADialogEndedWhileItOpensIsNeverShown) {
    ScriptedDialog dlg;
    dlg.onInit = [&] { dlg.EndDialog(IDABORT); };
    dlg.Then([] { ADD_FAILURE() << "the dialog ran its steps"; });
    EXPECT_EQ(dlg.DoModal(), IDABORT);
}

// The product's main window, driven from a timer of the test.
TEST(WxBackend, TheMainWindowShowsEveryStatusTextAndOffersTheAboutBox) {
    auto dlg = std::make_unique<CQuervaneDlg>();
    std::string everyHighByte;
    for (int c = 0x80; c <= 0xFF; ++c) everyHighByte += static_cast<char>(c);
    const std::vector<std::string> texts = {std::string(2000, 'W') + "\xE9", everyHighByte,
                                            "FIN NORMALE"};
    std::vector<wxString> shown;
    std::vector<CMenu::Item> menu;
    std::size_t step = 0;
    wxTimer ticker;
    ticker.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        plat::wx::DialogWindow* window = g_backend->WindowOf(dlg.get());
        if (!window || !dlg->IsOpen()) return;
        if (step < texts.size()) {
            dlg->Afficher(texts[step++]);
            shown.push_back(window->PeerOf(*dlg->GetDlgItem(kStatus))->PaintedText());
        } else {
            if (const CMenu* systemMenu = dlg->SystemMenu()) menu = systemMenu->Items();
            ticker.Stop();
            dlg->EndDialog(IDOK);
        }
    });
    ticker.Start(50);
    EXPECT_EQ(dlg->DoModal(), IDOK);
    ASSERT_EQ(shown.size(), texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(shown[i], wxString::FromUTF8(plat::Utf8FromCp1252(texts[i])));
    }
    EXPECT_EQ(shown[0].Last(), wxUniChar(0xE9));
    EXPECT_EQ(dlg->sDisplayMessage, "FIN NORMALE");
    ASSERT_EQ(menu.size(), 2u);
    EXPECT_EQ(menu[1].text, "&A propos de Quervane...");
    EXPECT_EQ(menu[1].id, 16u);
}

// Picks a file in the open-file dialog the way the operator would: the
// location field (Ctrl+L), the name, Enter.
void TypeIntoFileChooser(const std::string& path) {
    const std::string command =
        "for i in $(seq 1 100); do w=$(xdotool search --onlyvisible --name '^Ouvrir$' | head -1);"
        " [ -n \"$w\" ] && break; sleep 0.1; done;"
        " [ -n \"$w\" ] && sleep 0.5 && xdotool windowfocus --sync $w key ctrl+l && sleep 0.3"
        " && xdotool type --delay 10 '" +
        path + "' && sleep 0.3 && xdotool key Return";
    std::system(command.c_str());
}

TEST(WxBackend, TheOpenFileDialogReturnsThePickedFile) {
    const test_support::TempFolder temp("quervane-pick");
    ASSERT_TRUE(temp.ok());
    const std::string folder = temp.path().string();
    const std::string picked = folder + "/b.zip";
    for (const char* name : {"/A.ZIP", "/b.zip", "/c.txt"}) {
        plat::File file = plat::File::Open(folder + name, "wb");
        ASSERT_TRUE(file.IsOpen());
    }
    // A filter that ends with "|" and upper-case patterns, as the run gives.
    CFileDialog dialog(true, "ZIP", folder + "\\*.ZIP", OFN_HIDEREADONLY | OFN_FILEMUSTEXIST,
                       "Fichiers ZIP|*.ZIP|Tous|*.*|");
    std::thread operatorActs(TypeIntoFileChooser, picked);
    const int result = dialog.DoModal();
    operatorActs.join();
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(dialog.GetPathName(), picked);
    EXPECT_EQ(dialog.GetFileName(), "b.zip");
}

TEST(WxBackend, TheOpenFileDialogEndsItsFiltersWithEveryFile) {
    struct Case {
        const char* initial;
        const char* filter;
        const char* wildcard;
    } cases[] = {
        {"..\\import\\*.jo", "Fichier abonnés  (*.jo)|*.jo|Zip (*.ZIP)|*.ZIP",
         "*.jo|*.[Jj][Oo]|Fichier abonnés  (*.jo)|*.[Jj][Oo]|Zip (*.ZIP)|*.[Zz][Ii][Pp]|"
         "Tous les fichiers (*.*)|*"},
        {"..\\import\\JOURNAL.CYB", "Fichiers CYB|*.CYB|",
         "Fichiers CYB|*.[Cc][Yy][Bb]|"
         "Tous les fichiers (*.*)|*"},
        {"", "", "Tous les fichiers (*.*)|*"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.initial);
        CFileDialog::Request request;
        request.initialFile = plat::Cp1252FromUtf8(c.initial);
        request.filter = plat::Cp1252FromUtf8(c.filter);
        EXPECT_EQ(plat::wx::FileDialogWildcard(request).utf8_string(), c.wildcard);
    }
}

// GTK, loaded by wx, looked up in the running process: its headers are not
// part of the build.
struct GtkCalls {
    using ForAll = void (*)(void*, void (*)(void*, void*), void*);
    using TypeGetter = unsigned long (*)();
    using IsA = int (*)(void*, unsigned long);
    using Text = const char* (*)(void*);
    using List = void* (*)(void*);
    using Nth = void* (*)(void*, unsigned);

    template <class F>
    static F Find(const char* name) {
        return reinterpret_cast<F>(dlsym(RTLD_DEFAULT, name));
    }
    ForAll forall = Find<ForAll>("gtk_container_forall");
    TypeGetter containerType = Find<TypeGetter>("gtk_container_get_type");
    TypeGetter labelType = Find<TypeGetter>("gtk_label_get_type");
    TypeGetter buttonType = Find<TypeGetter>("gtk_button_get_type");
    TypeGetter treeViewType = Find<TypeGetter>("gtk_tree_view_get_type");
    IsA isA = Find<IsA>("g_type_check_instance_is_a");
    Text labelText = Find<Text>("gtk_label_get_text");
    Text buttonLabel = Find<Text>("gtk_button_get_label");
    List columns = Find<List>("gtk_tree_view_get_columns");
    Text columnTitle = Find<Text>("gtk_tree_view_column_get_title");
    List filters = Find<List>("gtk_file_chooser_list_filters");
    Text filterName = Find<Text>("gtk_file_filter_get_name");
    Nth nth = Find<Nth>("g_slist_nth_data");
    Nth listNth = Find<Nth>("g_list_nth_data");
    using Toplevels = void* (*)();
    Toplevels toplevels = Find<Toplevels>("gtk_window_list_toplevels");
    TypeGetter chooserDialogType = Find<TypeGetter>("gtk_file_chooser_dialog_get_type");
    using Visible = int (*)(void*);
    Visible visible = Find<Visible>("gtk_widget_get_visible");
    using Respond = void (*)(void*, int);
    Respond respond = Find<Respond>("gtk_dialog_response");

    bool Ok() const {
        return forall && containerType && labelType && buttonType && treeViewType && isA &&
               labelText && buttonLabel && columns && columnTitle && filters && filterName && nth &&
               listNth && toplevels && chooserDialogType && visible && respond;
    }

    // Every text that the widget and its children show, mnemonics removed.
    void Texts(void* widget, std::set<std::string>& texts) const {
        auto add = [&texts](const char* text) {
            if (!text) return;
            std::string shown(text);
            std::erase(shown, '_');
            if (!shown.empty()) texts.insert(shown);
        };
        if (isA(widget, labelType())) add(labelText(widget));
        if (isA(widget, buttonType())) add(buttonLabel(widget));
        if (isA(widget, treeViewType())) {
            void* list = columns(widget);
            for (unsigned i = 0; void* column = listNth(list, i); ++i) add(columnTitle(column));
        }
        if (isA(widget, containerType())) {
            struct Walk {
                const GtkCalls* gtk;
                std::set<std::string>* texts;
            } walk{this, &texts};
            forall(
                widget,
                [](void* child, void* data) {
                    auto* w = static_cast<Walk*>(data);
                    w->gtk->Texts(child, *w->texts);
                },
                &walk);
        }
    }
};

TEST(WxBackend, TheOpenFileDialogSpeaksFrench) {
    const GtkCalls gtk;
    ASSERT_TRUE(gtk.Ok());
    const test_support::TempFolder temp("quervane-french");
    ASSERT_TRUE(temp.ok());
    CFileDialog dialog(true, "jo", temp.path().string() + "\\*.jo",
                       OFN_HIDEREADONLY | OFN_FILEMUSTEXIST,
                       plat::Cp1252FromUtf8("Fichier abonnés  (*.jo)|*.jo|"));
    std::set<std::string> texts;
    std::vector<std::string> filters;
    wxTimer ticker;
    ticker.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        void* windows = gtk.toplevels();
        for (unsigned i = 0; void* window = gtk.listNth(windows, i); ++i) {
            if (!gtk.isA(window, gtk.chooserDialogType()) || !gtk.visible(window)) continue;
            ticker.Stop();
            gtk.Texts(window, texts);
            void* list = gtk.filters(window);
            for (unsigned f = 0; void* filter = gtk.nth(list, f); ++f)
                filters.emplace_back(gtk.filterName(filter));
            constexpr int kResponseCancel = -6;
            gtk.respond(window, kResponseCancel);
            return;
        }
    });
    ticker.Start(100);
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    for (const char* french :
         {"Annuler", "Ouvrir", "Nom", "Taille", "Modifié", "Autres emplacements"})
        EXPECT_EQ(texts.count(french), 1u) << french;
    for (const char* english : {"Cancel", "Open", "Name", "Size", "Modified", "Other Locations"})
        EXPECT_EQ(texts.count(english), 0u) << english;
    EXPECT_EQ(filters, (std::vector<std::string>{"*.jo", "Fichier abonnés  (*.jo)",
                                                 "Tous les fichiers (*.*)"}));
}

void FailOnAssert(const wxString& file, int line, const wxString&, const wxString& condition,
                  const wxString& message) {
    ADD_FAILURE_AT(file.utf8_string().c_str(), line)
        << "wx assertion " << condition.utf8_string() << ": " << message.utf8_string();
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    plat::wx::PrepareFrenchToolkitTexts();
    wxApp::SetInstance(new wxApp);
    if (!wxEntryStart(argc, argv)) {
        std::fprintf(stderr, "no display\n");
        return 1;
    }
    wxSetAssertHandler(FailOnAssert);
    plat::wx::ApplyDialogStyleSheet();
    plat::wx::LoadFrenchToolkitCatalog();
    plat::wx::WxBackend backend;
    g_backend = &backend;
    int status = 0;
    {
        plat::ui::ScopedBackend installed(backend);
        status = RUN_ALL_TESTS();
    }
    wxEntryCleanup();
    return status;
}
