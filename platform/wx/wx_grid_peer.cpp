// The grid control as a wxGrid. The model's first fixed row is shown as the
// grid's column header; further fixed rows, if any, as grey cells. The
// model decides what a click does: wx's own selection and cursor are kept
// out of the way.
#include <wx/grid.h>
#include <wx/settings.h>

#include <algorithm>
#include <vector>

#include "platform/wx/wx_dialog.h"
#include "platform/wx/wx_peers.h"

using plat::ui::Change;
using plat::ui::ControlChange;

namespace plat::wx {
namespace {

// A grid row is 240 twips high, as on Windows.
constexpr long kRowHeightTwips = 240;

void Alignment(short flexAlignment, int& horizontal, int& vertical) {
    static constexpr int kHorizontal[] = {wxALIGN_LEFT, wxALIGN_CENTRE, wxALIGN_RIGHT};
    static constexpr int kVertical[] = {wxALIGN_TOP, wxALIGN_CENTRE, wxALIGN_BOTTOM};
    const int a = flexAlignment >= 0 && flexAlignment <= 8 ? flexAlignment : 0;
    horizontal = kHorizontal[a / 3];
    vertical = kVertical[a % 3];
}

class GridPeer : public ControlPeer {
public:
    GridPeer(CGrid& model, DialogWindow& dialog, wxGrid* grid)
        : ControlPeer(model, dialog, grid), grid_(grid), model_(model) {
        grid->CreateGrid(0, 0);
        grid->EnableEditing(false);
        grid->SetRowLabelSize(0);
        grid->SetCellHighlightPenWidth(0);
        grid->SetCellHighlightROPenWidth(0);
        grid->DisableDragRowSize();
        grid->SetDefaultRowSize(TwipsToPixels(kRowHeightTwips));
        grid->SetColLabelSize(TwipsToPixels(kRowHeightTwips) + 2);
        grid->SetLabelFont(grid->GetParent()->GetFont());
        grid->SetDefaultCellFont(grid->GetParent()->GetFont());
        grid->SetLabelBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE));

        grid->Bind(wxEVT_GRID_CELL_LEFT_CLICK, [this](wxGridEvent& e) {
            Dialog().Input([this, row = e.GetRow(), col = e.GetCol()] {
                model_.InputClick(row + HeaderRows(), col);
            });
        });
        grid->Bind(wxEVT_GRID_CELL_LEFT_DCLICK, [this](wxGridEvent& e) {
            Dialog().Input([this, row = e.GetRow(), col = e.GetCol()] {
                model_.InputDoubleClick(row + HeaderRows(), col);
            });
        });
        grid->Bind(wxEVT_GRID_LABEL_LEFT_CLICK, [this](wxGridEvent& e) {
            if (e.GetCol() < 0 || HeaderRows() == 0) return;
            Dialog().Input([this, col = e.GetCol()] { model_.InputClick(0, col); });
        });
        grid->Bind(wxEVT_GRID_LABEL_LEFT_DCLICK, [](wxGridEvent&) {});
        grid->Bind(wxEVT_GRID_RANGE_SELECTING, [](wxGridRangeSelectEvent& e) { e.Veto(); });
        grid->Bind(wxEVT_KEY_DOWN, &GridPeer::OnKey, this);
        // The current cell is framed while the keyboard works in the grid,
        // not after a click: a click shows its choice by the row's colour.
        grid->GetGridWindow()->Bind(wxEVT_SET_FOCUS, [this](wxFocusEvent& e) {
            ShowCursor(true);
            e.Skip();
        });
        grid->GetGridWindow()->Bind(wxEVT_KILL_FOCUS, [this](wxFocusEvent& e) {
            ShowCursor(false);
            e.Skip();
        });
        grid->GetGridWindow()->Bind(wxEVT_LEFT_DOWN, [this](wxMouseEvent& e) {
            ShowCursor(false);
            e.Skip();
        });
    }

protected:
    void ApplyText() override {}
    void ApplySpecific(const ControlChange& change) override {
        switch (change.what) {
            case Change::GridShape:
                ApplyShape();
                break;
            case Change::GridCell:
                ApplyCell(change.row, change.col);
                break;
            case Change::GridColumn:
                ApplyColumn(change.col);
                break;
            case Change::GridLines:
                grid_->SetGridLineColour(ToColour(model_.GetGridColor()));
                break;
            default:
                break;
        }
    }
    void ApplyAllSpecific() override {
        grid_->SetGridLineColour(ToColour(model_.GetGridColor()));
        ApplyShape();
    }

private:
    void ShowCursor(bool shown) {
        const int width = shown ? 2 : 0;
        if (grid_->GetCellHighlightPenWidth() == width) return;
        grid_->SetCellHighlightPenWidth(width);
        grid_->SetCellHighlightROPenWidth(width);
        grid_->Refresh();
    }

    // The arrows move the current cell (the grid does it); Enter acts on
    // its row as a click then a double click would (a folder row is
    // entered, a file row picked and confirmed); Tab leaves the grid.
    void OnKey(wxKeyEvent& event) {
        switch (event.GetKeyCode()) {
            case WXK_RETURN:
            case WXK_NUMPAD_ENTER: {
                const int row = grid_->GetGridCursorRow();
                const int col = std::max(0, grid_->GetGridCursorCol());
                if (row < 0) return;
                Dialog().Input([this, row = row + HeaderRows(), col] {
                    model_.InputClick(row, col);
                    if (Dialog().Model().IsOpen()) model_.InputDoubleClick(row, col);
                });
                // The model may have hidden the grid while it refilled it,
                // which took the focus away: the keyboard stays in the grid.
                if (Dialog().Model().IsOpen() && grid_->IsShown()) {
                    grid_->SetFocus();
                    grid_->GoToCell(0, 0);
                }
                return;
            }
            case WXK_TAB:
                FocusNeighbour(event.ShiftDown());
                return;
            default:
                ShowCursor(true);
                event.Skip();
        }
    }

    // The next (or previous) control of the dialog, in its order, that can
    // take the focus; the grid's own sub-windows are not left otherwise.
    void FocusNeighbour(bool backward) {
        const wxWindowList& children = grid_->GetParent()->GetChildren();
        std::vector<wxWindow*> order(children.begin(), children.end());
        if (backward) std::reverse(order.begin(), order.end());
        auto at = std::find(order.begin(), order.end(), grid_);
        if (at == order.end()) return;
        for (auto next = std::next(at); next != at; ++next) {
            if (next == order.end()) next = order.begin();
            if (next == at) break;
            wxWindow* w = *next;
            if (w->IsShown() && w->IsEnabled() && w->CanAcceptFocusFromKeyboard()) {
                w->SetFocus();
                return;
            }
        }
    }

    int HeaderRows() const { return model_.GetFixedRows() > 0 ? 1 : 0; }

    void ApplyShape() {
        wxGridUpdateLocker batch(grid_);
        const int rows = std::max(0, model_.GetRows() - HeaderRows());
        const int cols = std::max(0, model_.GetCols());
        if (grid_->GetNumberRows() < rows) grid_->AppendRows(rows - grid_->GetNumberRows());
        if (grid_->GetNumberRows() > rows) grid_->DeleteRows(rows, grid_->GetNumberRows() - rows);
        if (grid_->GetNumberCols() < cols) grid_->AppendCols(cols - grid_->GetNumberCols());
        if (grid_->GetNumberCols() > cols) grid_->DeleteCols(cols, grid_->GetNumberCols() - cols);
        if (HeaderRows() == 0) grid_->SetColLabelSize(0);
        for (int col = 0; col < cols; ++col) {
            ApplyColumn(col);
            for (int row = 0; row < model_.GetRows(); ++row) ApplyCell(row, col);
        }
    }

    void ApplyColumn(int col) {
        if (col >= 0 && col < grid_->GetNumberCols())
            grid_->SetColSize(col, TwipsToPixels(model_.GetColWidth(col)));
    }

    void ApplyCell(int row, int col) {
        const CGrid::Cell* cell = model_.GetCell(row, col);
        if (!cell || col >= grid_->GetNumberCols()) return;
        int horizontal = 0, vertical = 0;
        Alignment(cell->alignment, horizontal, vertical);
        if (row < HeaderRows()) {
            grid_->SetColLabelValue(col, ToWx(cell->text));
            return;
        }
        const int gridRow = row - HeaderRows();
        if (gridRow >= grid_->GetNumberRows()) return;
        grid_->SetCellValue(gridRow, col, ToWx(cell->text));
        grid_->SetCellAlignment(gridRow, col, horizontal, vertical);
        const bool fixed = row < model_.GetFixedRows() || col < model_.GetFixedCols();
        grid_->SetCellBackgroundColour(
            gridRow, col,
            fixed ? wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE) : ToColour(cell->back));
        grid_->RefreshBlock(gridRow, col, gridRow, col);
    }

    wxGrid* grid_;
    CGrid& model_;
};

}  // namespace

std::unique_ptr<ControlPeer> MakeGridPeer(CGrid& model, DialogWindow& dialog, wxPoint position,
                                          wxSize size) {
    auto* grid = new wxGrid(&dialog, wxID_ANY, position, size, wxBORDER_SUNKEN | wxWANTS_CHARS);
    return std::make_unique<GridPeer>(model, dialog, grid);
}

}  // namespace plat::wx
