#include <algorithm>

#include "platform/ui/controls.h"

using plat::ui::Change;
using plat::ui::Event;

CGrid::Cell* CGrid::CellAt(int row, int col) {
    if (row < 0 || row >= rows_ || col < 0 || col >= cols_) return nullptr;
    return &cells_[static_cast<std::size_t>(row) * cols_ + col];
}

const CGrid::Cell* CGrid::GetCell(int row, int col) const {
    return const_cast<CGrid*>(this)->CellAt(row, col);
}

void CGrid::Reshape(int rows, int cols) {
    rows = std::max(rows, 0);
    cols = std::max(cols, 0);
    if (rows == rows_ && cols == cols_) return;
    std::vector<Cell> cells(static_cast<std::size_t>(rows) * cols);
    if (cols == cols_) {
        const std::size_t keep = static_cast<std::size_t>(std::min(rows, rows_)) * cols;
        std::move(cells_.begin(), cells_.begin() + keep, cells.begin());
    } else {
        for (int r = 0; r < std::min(rows, rows_); ++r) {
            for (int c = 0; c < std::min(cols, cols_); ++c) {
                cells[static_cast<std::size_t>(r) * cols + c] =
                    std::move(cells_[static_cast<std::size_t>(r) * cols_ + c]);
            }
        }
    }
    cells_ = std::move(cells);
    rows_ = rows;
    cols_ = cols;
    widths_.resize(cols, 960);
    fixedRows_ = std::min(fixedRows_, rows_);
    fixedCols_ = std::min(fixedCols_, cols_);
    row_ = std::clamp(row_, 0, std::max(rows_ - 1, 0));
    col_ = std::clamp(col_, 0, std::max(cols_ - 1, 0));
    NotifyChange(Change::GridShape);
}

void CGrid::SetRows(int rows) {
    Reshape(rows, cols_);
}

void CGrid::SetCols(int cols) {
    Reshape(rows_, cols);
}

void CGrid::SetFixedRows(int rows) {
    rows = std::clamp(rows, 0, rows_);
    if (rows == fixedRows_) return;
    fixedRows_ = rows;
    NotifyChange(Change::GridShape);
}

void CGrid::SetFixedCols(int cols) {
    cols = std::clamp(cols, 0, cols_);
    if (cols == fixedCols_) return;
    fixedCols_ = cols;
    NotifyChange(Change::GridShape);
}

void CGrid::SetRow(int row) {
    if (row >= 0 && row < rows_) row_ = row;
}

void CGrid::SetCol(int col) {
    if (col >= 0 && col < cols_) col_ = col;
}

void CGrid::SetText(std::string_view text) {
    SetTextMatrix(row_, col_, text);
}

void CGrid::SetTextMatrix(int row, int col, std::string_view text) {
    Cell* cell = CellAt(row, col);
    if (cell == nullptr || cell->text == text) return;
    cell->text = text;
    NotifyChange(Change::GridCell, -1, row, col);
}

std::string CGrid::GetTextMatrix(int row, int col) const {
    const Cell* cell = GetCell(row, col);
    return cell ? cell->text : std::string();
}

void CGrid::SetCellAlignment(short alignment) {
    Cell* cell = CellAt(row_, col_);
    if (cell == nullptr || cell->alignment == alignment) return;
    cell->alignment = alignment;
    NotifyChange(Change::GridCell, -1, row_, col_);
}

short CGrid::GetCellAlignment() const {
    const Cell* cell = GetCell(row_, col_);
    return cell ? cell->alignment : GRID_ALIGN_LEFT_TOP;
}

void CGrid::SetCellBackColor(COLORREF color) {
    Cell* cell = CellAt(row_, col_);
    if (cell == nullptr || cell->back == color) return;
    cell->back = color;
    NotifyChange(Change::GridCell, -1, row_, col_);
}

COLORREF CGrid::GetCellBackColor() const {
    const Cell* cell = GetCell(row_, col_);
    return cell ? cell->back : RGB(255, 255, 255);
}

void CGrid::SetColWidth(int col, long width) {
    if (col < 0 || col >= cols_ || widths_[col] == width) return;
    widths_[col] = width;
    NotifyChange(Change::GridColumn, -1, -1, col);
}

long CGrid::GetColWidth(int col) const {
    return col >= 0 && col < cols_ ? widths_[col] : 0;
}

void CGrid::SetGridColor(COLORREF color) {
    if (gridColor_ == color) return;
    gridColor_ = color;
    NotifyChange(Change::GridLines);
}

void CGrid::PointAt(int row, int col) {
    mouseRow_ = row;
    mouseCol_ = col;
    // A click on the header does not move the current cell.
    if (row >= fixedRows_ && row < rows_) row_ = row;
    if (col >= fixedCols_ && col < cols_) col_ = col;
}

void CGrid::InputClick(int row, int col) {
    PointAt(row, col);
    FireOwnEvent(Event::Clicked);
}

void CGrid::InputDoubleClick(int row, int col) {
    PointAt(row, col);
    FireOwnEvent(Event::DoubleClicked);
}

int CGrid::FindRow(int col, std::string_view text) const {
    for (int r = fixedRows_; r < rows_; ++r) {
        if (GetCell(r, col) != nullptr && GetCell(r, col)->text == text) return r;
    }
    return -1;
}
