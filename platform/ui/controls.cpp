#include "platform/ui/controls.h"

#include <algorithm>

#include "platform/ui/dialog_template.h"

using plat::ui::Change;
using plat::ui::Event;

namespace {

unsigned char FoldCase(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
    // 1252 capitals with an accent fold to their small letters (0xD7 is "×").
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 32);
    return c;
}

int CompareNoCase(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char ca = FoldCase(static_cast<unsigned char>(a[i]));
        const unsigned char cb = FoldCase(static_cast<unsigned char>(b[i]));
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

}  // namespace

// ---- CButton ----

void CButton::SetCheck(int nCheck) {
    if (check_ == nCheck) return;
    check_ = nCheck;
    NotifyChange(Change::Check);
}

void CButton::InputCheck(int nCheck) {
    check_ = nCheck;
    FireOwnEvent(Event::Clicked);
}

// ---- CEdit ----

void CEdit::SetReadOnly(bool bReadOnly) {
    if (readOnly_ == bReadOnly) return;
    readOnly_ = bReadOnly;
    NotifyChange(Change::ReadOnly);
}

bool CEdit::GetReadOnly() const {
    return readOnly_;
}

void CEdit::InputText(std::string_view text) {
    StoreText(text);
    FireOwnEvent(Event::TextChanged);
}

// ---- CStatic ----

HICON CStatic::SetIcon(HICON hIcon) {
    const HICON previous = icon_;
    icon_ = hIcon;
    if (previous != hIcon) NotifyChange(Change::Icon);
    return previous;
}

// ---- range controls ----

void CRangeCtrl::SetRangeValues(int lower, int upper) {
    if (lower == lower_ && upper == upper_) return;
    lower_ = lower;
    upper_ = upper;
    NotifyChange(Change::Range);
}

int CRangeCtrl::SetPosValue(int pos) {
    const int previous = pos_;
    const int low = std::min(lower_, upper_);
    const int high = std::max(lower_, upper_);
    pos_ = std::clamp(pos, low, high);
    if (pos_ != previous) NotifyChange(Change::Position);
    return previous;
}

void CRangeCtrl::EnableScrollBar(bool bEnable) {
    if (scrollEnabled_ == bEnable) return;
    scrollEnabled_ = bEnable;
    NotifyChange(Change::Enabled);
}

int CProgressCtrl::SetStep(int nStep) {
    const int previous = step_;
    step_ = nStep;
    return previous;
}

void CSliderCtrl::SetRange(int nMin, int nMax, bool) {
    SetRangeValues(nMin, nMax);
}

void CScrollBar::SetScrollRange(int nMinPos, int nMaxPos, bool) {
    SetRangeValues(nMinPos, nMaxPos);
}

int CScrollBar::SetScrollPos(int nPos, bool) {
    return SetPosValue(nPos);
}

// ---- list and combo boxes ----

void CItemList::ResetContent() {
    items_.clear();
    sel_ = -1;
    NotifyChange(Change::Items);
}

int CItemList::AddString(std::string_view text) {
    int index = GetCount();
    if ((GetStyle() & plat::ui::style::Sorted) != 0) {
        const auto at = std::upper_bound(
            items_.begin(), items_.end(), text,
            [](std::string_view t, const std::string& item) { return CompareNoCase(t, item) < 0; });
        index = static_cast<int>(at - items_.begin());
    }
    return InsertString(index, text);
}

int CItemList::InsertString(int nIndex, std::string_view text) {
    if (nIndex < 0 || nIndex > GetCount()) nIndex = GetCount();
    items_.insert(items_.begin() + nIndex, std::string(text));
    if (sel_ >= nIndex) ++sel_;
    NotifyChange(Change::ItemAdded, nIndex);
    return nIndex;
}

int CItemList::DeleteString(int nIndex) {
    if (nIndex < 0 || nIndex >= GetCount()) return LB_ERR;
    items_.erase(items_.begin() + nIndex);
    if (sel_ == nIndex) {
        sel_ = -1;
    } else if (sel_ > nIndex) {
        --sel_;
    }
    NotifyChange(Change::ItemRemoved, nIndex);
    return GetCount();
}

int CItemList::SetCurSel(int nSelect) {
    if (nSelect < -1 || nSelect >= GetCount()) return LB_ERR;
    if (sel_ != nSelect) {
        sel_ = nSelect;
        NotifyChange(Change::Selection);
    }
    SelectionSet();
    return nSelect < 0 ? LB_ERR : nSelect;
}

int CItemList::FindStringExact(int nStartAfter, std::string_view text) const {
    const int count = GetCount();
    if (count == 0) return LB_ERR;
    const int first = nStartAfter < 0 || nStartAfter >= count ? 0 : nStartAfter + 1;
    for (int k = 0; k < count; ++k) {
        const int i = (first + k) % count;
        if (CompareNoCase(items_[i], text) == 0) return i;
    }
    return LB_ERR;
}

void CItemList::InputSelect(int nIndex) {
    if (nIndex < -1 || nIndex >= GetCount()) return;
    sel_ = nIndex;
    if (nIndex >= 0 && GetKind() == plat::ui::ControlKind::ComboBox) StoreText(items_[nIndex]);
    FireOwnEvent(Event::SelectionChanged);
}

std::string CItemList::ItemText(int nIndex) const {
    if (nIndex < 0 || nIndex >= GetCount()) return {};
    return items_[nIndex];
}

int CListBox::GetText(int nIndex, std::string& text) const {
    if (nIndex < 0 || nIndex >= GetCount()) return LB_ERR;
    text = ItemText(nIndex);
    return static_cast<int>(text.size());
}

int CListBox::GetTextLen(int nIndex) const {
    if (nIndex < 0 || nIndex >= GetCount()) return LB_ERR;
    return static_cast<int>(Items()[nIndex].size());
}

int CComboBox::GetLBText(int nIndex, std::string& text) const {
    if (nIndex < 0 || nIndex >= GetCount()) return CB_ERR;
    text = ItemText(nIndex);
    return static_cast<int>(text.size());
}

int CComboBox::GetLBTextLen(int nIndex) const {
    if (nIndex < 0 || nIndex >= GetCount()) return CB_ERR;
    return static_cast<int>(Items()[nIndex].size());
}

void CComboBox::InputText(std::string_view text) {
    StoreText(text);
    if (GetCurSel() >= 0) ClearSelectionSilently();
    FireOwnEvent(Event::TextChanged);
}

void CComboBox::SelectionSet() {
    if (GetCurSel() >= 0) SetWindowText(ItemText(GetCurSel()));
}
