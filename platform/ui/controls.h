// Control models. Each keeps its state and tells the backend of every change
// while its dialog is open. Methods named Input... are operator input: a
// backend calls them to bring the model up to what the operator did (they do
// not echo back to the backend) and they fire the control's event.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/wnd.h"

// Push button, default push button, check box.
class CButton : public CWnd {
public:
    void SetCheck(int nCheck);  // 0 unchecked, 1 checked
    int GetCheck() const { return check_; }
    bool IsDefault() const { return GetKind() == plat::ui::ControlKind::DefPushButton; }

    void InputCheck(int nCheck);  // the operator toggled the check box

private:
    int check_ = 0;
};

class CEdit : public CWnd {
public:
    void SetReadOnly(bool bReadOnly = true);
    bool GetReadOnly() const;

    void InputText(std::string_view text);  // the operator typed: fires TextChanged

private:
    friend class CDialog;
    bool readOnly_ = false;
};

// Static text or static icon.
class CStatic : public CWnd {
public:
    HICON SetIcon(HICON hIcon);  // returns the previous icon
    HICON GetIcon() const { return icon_; }

private:
    friend class CDialog;
    HICON icon_ = 0;
};

// Progress bar, slider and scroll bar share range and position.
class CRangeCtrl : public CWnd {
public:
    void GetRange(int& lower, int& upper) const {
        lower = lower_;
        upper = upper_;
    }
    int GetPos() const { return pos_; }
    // The scroll bar part of the control, enabled or not.
    void EnableScrollBar(bool bEnable);
    bool IsScrollBarEnabled() const { return scrollEnabled_; }

protected:
    void SetRangeValues(int lower, int upper);
    int SetPosValue(int pos);  // returns the previous position

private:
    int lower_ = 0;
    int upper_ = 100;
    int pos_ = 0;
    bool scrollEnabled_ = true;
};

class CProgressCtrl : public CRangeCtrl {
public:
    void SetRange(short nLower, short nUpper) { SetRangeValues(nLower, nUpper); }
    void SetRange32(int nLower, int nUpper) { SetRangeValues(nLower, nUpper); }
    int SetStep(int nStep);  // returns the previous step
    int GetStep() const { return step_; }
    int SetPos(int nPos) { return SetPosValue(nPos); }
    int StepIt() { return SetPosValue(GetPos() + step_); }

private:
    int step_ = 10;
};

class CSliderCtrl : public CRangeCtrl {
public:
    void SetRange(int nMin, int nMax, bool bRedraw = false);
    void SetPos(int nPos) { SetPosValue(nPos); }
};

class CScrollBar : public CRangeCtrl {
public:
    void SetScrollRange(int nMinPos, int nMaxPos, bool bRedraw = true);
    int SetScrollPos(int nPos, bool bRedraw = true);
    int GetScrollPos() const { return GetPos(); }
};

// The item list shared by list boxes and combo boxes (1252 texts).
class CItemList : public CWnd {
public:
    void ResetContent();
    int AddString(std::string_view text);                 // sorted controls insert in order
    int InsertString(int nIndex, std::string_view text);  // -1 appends
    int DeleteString(int nIndex);                         // returns the remaining count, or LB_ERR
    int GetCount() const { return static_cast<int>(items_.size()); }
    int GetCurSel() const { return sel_; }
    int SetCurSel(int nSelect);  // -1 clears; returns LB_ERR for a bad index
    // Exact comparison without regard to case (ASCII letters), from nStartAfter + 1.
    int FindStringExact(int nStartAfter, std::string_view text) const;
    const std::vector<std::string>& Items() const { return items_; }

    void InputSelect(int nIndex);  // the operator selected an item: fires SelectionChanged

protected:
    std::string ItemText(int nIndex) const;
    void ClearSelectionSilently() { sel_ = -1; }
    // Called after SetCurSel.
    virtual void SelectionSet() {}

private:
    std::vector<std::string> items_;
    int sel_ = -1;
};

class CListBox : public CItemList {
public:
    int GetText(int nIndex, std::string& text) const;  // length, or LB_ERR
    std::string GetText(int nIndex) const { return ItemText(nIndex); }
    int GetTextLen(int nIndex) const;
};

// Drop-down combo box with an edit field. Selecting an item puts its text
// into the edit field; typing clears the selection.
class CComboBox : public CItemList {
public:
    int GetLBText(int nIndex, std::string& text) const;  // length, or CB_ERR
    std::string GetLBText(int nIndex) const { return ItemText(nIndex); }
    int GetLBTextLen(int nIndex) const;

    void InputText(std::string_view text);  // the operator typed: fires TextChanged

protected:
    void SelectionSet() override;
};

// Cell alignments of the grid.
constexpr short GRID_ALIGN_LEFT_TOP = 0;
constexpr short GRID_ALIGN_LEFT_CENTER = 1;
constexpr short GRID_ALIGN_CENTER_CENTER = 4;

// A grid of text cells: rows and columns, the first FixedRows rows are the
// header. One cell is current (Row, Col); Text, CellAlignment and
// CellBackColor act on it. Widths are in twips. Events: Clicked and
// DoubleClicked, with MouseRow and MouseCol telling where.
class CGrid : public CWnd {
public:
    struct Cell {
        std::string text;
        short alignment = GRID_ALIGN_LEFT_TOP;
        COLORREF back = RGB(255, 255, 255);
    };

    void SetRows(int rows);
    int GetRows() const { return rows_; }
    void SetCols(int cols);
    int GetCols() const { return cols_; }
    void SetFixedRows(int rows);
    int GetFixedRows() const { return fixedRows_; }
    void SetFixedCols(int cols);
    int GetFixedCols() const { return fixedCols_; }

    void SetRow(int row);  // ignored outside the grid
    int GetRow() const { return row_; }
    void SetCol(int col);
    int GetCol() const { return col_; }

    void SetText(std::string_view text);
    std::string GetText() const { return GetTextMatrix(row_, col_); }
    void SetTextMatrix(int row, int col, std::string_view text);
    std::string GetTextMatrix(int row, int col) const;  // empty outside the grid
    void SetCellAlignment(short alignment);
    short GetCellAlignment() const;
    void SetCellBackColor(COLORREF color);
    COLORREF GetCellBackColor() const;
    const Cell* GetCell(int row, int col) const;  // nullptr outside the grid

    void SetColWidth(int col, long width);
    long GetColWidth(int col) const;
    void SetGridColor(COLORREF color);
    COLORREF GetGridColor() const { return gridColor_; }

    int GetMouseRow() const { return mouseRow_; }
    int GetMouseCol() const { return mouseCol_; }

    // The operator clicked or double-clicked cell (row, col): MouseRow and
    // MouseCol take it, a data cell becomes current, then the event fires.
    void InputClick(int row, int col);
    void InputDoubleClick(int row, int col);
    // Finds the first data row whose cell in column col holds text; -1 if none.
    int FindRow(int col, std::string_view text) const;

private:
    Cell* CellAt(int row, int col);
    void Reshape(int rows, int cols);
    void PointAt(int row, int col);

    int rows_ = 2, cols_ = 2, fixedRows_ = 1, fixedCols_ = 0;
    int row_ = 1, col_ = 0;
    int mouseRow_ = 0, mouseCol_ = 0;
    COLORREF gridColor_ = RGB(192, 192, 192);
    std::vector<Cell> cells_ = std::vector<Cell>(4);
    std::vector<long> widths_ = std::vector<long>(2, 960);
};
