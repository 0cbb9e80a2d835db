#include <cerrno>
#include <cstdlib>
#include <limits>

#include "platform/ui/dialog.h"
#include "platform/ui/message_box.h"

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// A decimal integer with optional blanks around it and an optional sign,
// within [low, high].
bool ParseInteger(std::string_view text, long long low, long long high, long long& value) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) return false;
    const unsigned long long limit = negative ? 0ULL - static_cast<unsigned long long>(low)
                                              : static_cast<unsigned long long>(high);
    unsigned long long magnitude = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        const unsigned digit = static_cast<unsigned>(c - '0');
        if (magnitude > (limit - digit) / 10) return false;
        magnitude = magnitude * 10 + digit;
    }
    if (negative && low == 0 && magnitude != 0) return false;
    value = negative ? static_cast<long long>(0ULL - magnitude) : static_cast<long long>(magnitude);
    return true;
}

template <class T>
void ExchangeInteger(CDataExchange* pDX, int nIDC, T& value) {
    pDX->PrepareCtrl(nIDC);
    CWnd* control = pDX->m_pDlgWnd->GetDlgItem(nIDC);
    if (control == nullptr) return;
    if (!pDX->m_bSaveAndValidate) {
        control->SetWindowText(std::to_string(value));
        return;
    }
    long long parsed = 0;
    if (!ParseInteger(control->GetWindowText(), std::numeric_limits<T>::min(),
                      std::numeric_limits<T>::max(), parsed)) {
        AfxMessageBox("Tapez un nombre entier.", MB_ICONEXCLAMATION);
        pDX->Fail();
    }
    value = static_cast<T>(parsed);
}

}  // namespace

void DDX_Text(CDataExchange* pDX, int nIDC, std::string& value) {
    pDX->PrepareCtrl(nIDC);
    CWnd* control = pDX->m_pDlgWnd->GetDlgItem(nIDC);
    if (control == nullptr) return;
    if (pDX->m_bSaveAndValidate) {
        value = control->GetWindowText();
    } else {
        control->SetWindowText(value);
    }
}

void DDX_Text(CDataExchange* pDX, int nIDC, int& value) {
    ExchangeInteger(pDX, nIDC, value);
}

void DDX_Text(CDataExchange* pDX, int nIDC, long& value) {
    ExchangeInteger(pDX, nIDC, value);
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value) {
    pDX->PrepareCtrl(nIDC);
    auto* button = pDX->m_pDlgWnd->GetControl<CButton>(nIDC);
    if (button == nullptr) return;
    if (pDX->m_bSaveAndValidate) {
        value = button->GetCheck();
    } else {
        button->SetCheck(value);
    }
}

namespace {

void ExchangeIndex(CDataExchange* pDX, int nIDC, int& index) {
    pDX->PrepareCtrl(nIDC);
    auto* list = pDX->m_pDlgWnd->GetControl<CItemList>(nIDC);
    if (list == nullptr) return;
    if (pDX->m_bSaveAndValidate) {
        index = list->GetCurSel();
    } else {
        list->SetCurSel(index);
    }
}

}  // namespace

void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index) {
    ExchangeIndex(pDX, nIDC, index);
}

void DDX_LBIndex(CDataExchange* pDX, int nIDC, int& index) {
    ExchangeIndex(pDX, nIDC, index);
}
