// CWnd and its controls: a window object over the backend's native window.
#include <cstdio>

#include "ui/Backend.h"
#include "ui/Framework.h"

using namespace fw;

CWnd::~CWnd() {
    if (m_hWnd != nullptr && m_hWnd->m_pOwner == this) {
        m_hWnd->m_pOwner = nullptr;
    }
}

const AFX_MSGMAP* CWnd::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, nullptr}};
    static const AFX_MSGMAP map = {&CCmdTarget::GetThisMessageMap, &entries[0]};
    return &map;
}

const AFX_MSGMAP* CWnd::GetMessageMap() const {
    return GetThisMessageMap();
}

static CWnd* FromNative(ui::NativeWindow* pWindow) {
    if (pWindow == nullptr) {
        return nullptr;
    }
    if (pWindow->m_pOwner != nullptr) {
        return pWindow->m_pOwner;
    }
    if (!pWindow->m_pPermanent) {
        pWindow->m_pPermanent = std::make_unique<CWnd>();
        pWindow->m_pPermanent->m_hWnd = pWindow;
    }
    return pWindow->m_pPermanent.get();
}

CWnd* CWnd::FromHandle(HWND hWnd) {
    return FromNative(hWnd);
}

CWnd* CWnd::GetDlgItem(int nID) const {
    return m_hWnd ? FromNative(m_hWnd->GetChild(nID)) : nullptr;
}

CWnd* CWnd::GetParent() const {
    return m_hWnd ? FromNative(m_hWnd->GetParentWindow()) : nullptr;
}

int CWnd::GetDlgCtrlID() const {
    return m_hWnd ? m_hWnd->GetDlgCtrlID() : 0;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ui::SendMessageTo(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_hWnd == nullptr) {
        return FALSE;
    }
    m_hWnd->Post(message, wParam, lParam);
    return TRUE;
}

void CWnd::UpdateWindow() {
    if (m_hWnd != nullptr) {
        m_hWnd->Update();
    }
}

void CWnd::PumpWhileBusy(std::vector<int>* pCommands) {
    ui::Backend* pBackend = ui::GetBackend();
    if (pBackend != nullptr && m_hWnd != nullptr) {
        pBackend->PumpWhileBusy(m_hWnd, pCommands);
    }
}

void CWnd::SetWindowText(const char* pszText) {
    if (m_hWnd != nullptr) {
        m_hWnd->SetText(pszText ? pszText : "");
    }
}

std::string CWnd::GetWindowText() const {
    return m_hWnd ? m_hWnd->GetText() : std::string();
}

BOOL CWnd::EnableWindow(BOOL bEnable) {
    if (m_hWnd == nullptr) {
        return FALSE;
    }
    const BOOL bWasDisabled = m_hWnd->IsEnabled() ? FALSE : TRUE;
    m_hWnd->Enable(bEnable != FALSE);
    return bWasDisabled;
}

BOOL CWnd::IsWindowEnabled() const {
    return m_hWnd && m_hWnd->IsEnabled() ? TRUE : FALSE;
}

BOOL CWnd::ShowWindow(int nCmdShow) {
    if (m_hWnd == nullptr) {
        return FALSE;
    }
    const BOOL bWasVisible = m_hWnd->IsVisible() ? TRUE : FALSE;
    m_hWnd->Show(nCmdShow);
    return bWasVisible;
}

BOOL CWnd::IsWindowVisible() const {
    return m_hWnd && m_hWnd->IsVisible() ? TRUE : FALSE;
}

CWnd* CWnd::SetFocus() {
    if (m_hWnd != nullptr) {
        m_hWnd->SetFocus();
    }
    return nullptr;
}

void CWnd::GetWindowRect(RECT* pRect) const {
    *pRect = m_hWnd ? m_hWnd->GetWindowRect() : RECT{0, 0, 0, 0};
}

void CWnd::GetClientRect(RECT* pRect) const {
    *pRect = m_hWnd ? m_hWnd->GetClientRect() : RECT{0, 0, 0, 0};
}

void CWnd::MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint) {
    if (m_hWnd != nullptr) {
        m_hWnd->Move(x, y, nWidth, nHeight, bRepaint != FALSE);
    }
}

BOOL CWnd::IsIconic() const {
    return m_hWnd && m_hWnd->IsIconic() ? TRUE : FALSE;
}

void CWnd::SetIcon(HICON hIcon, BOOL bBigIcon) {
    SendMessage(WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(hIcon));
}

int CWnd::MessageBox(const char* pszText) {
    ui::Backend* pBackend = ui::GetBackend();
    if (pBackend == nullptr) {
        std::fprintf(stderr, "%s\n", pszText);
        return IDOK;
    }
    pBackend->MessageBox(m_hWnd, pszText);
    return IDOK;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent) {
    if (pParent == nullptr || pParent->m_hWnd == nullptr) {
        return FALSE;
    }
    ui::NativeWindow* pControl = pParent->m_hWnd->GetChild(static_cast<int>(nID));
    if (pControl == nullptr) {
        ui::ProgrammingError("SubclassDlgItem: the dialog has no control with the id", nID);
        return FALSE;
    }
    m_hWnd = pControl;
    pControl->m_pOwner = this;
    return TRUE;
}

HWND CWnd::UnsubclassWindow() {
    HWND hWnd = m_hWnd;
    if (hWnd != nullptr && hWnd->m_pOwner == this) {
        hWnd->m_pOwner = nullptr;
    }
    m_hWnd = nullptr;
    return hWnd;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    // Keep the message for Default(); restore the outer one for nested sends.
    const UINT nOuterMessage = m_nCurrentMessage;
    const WPARAM nOuterWParam = m_nCurrentWParam;
    const LPARAM nOuterLParam = m_nCurrentLParam;
    m_nCurrentMessage = message;
    m_nCurrentWParam = wParam;
    m_nCurrentLParam = lParam;
    LRESULT lResult = 0;
    if (!OnWndMsg(message, wParam, lParam, &lResult)) {
        lResult = DefWindowProc(message, wParam, lParam);
    }
    m_nCurrentMessage = nOuterMessage;
    m_nCurrentWParam = nOuterWParam;
    m_nCurrentLParam = nOuterLParam;
    return lResult;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return m_hWnd ? m_hWnd->DefaultProc(message, wParam, lParam) : 0;
}

LRESULT CWnd::Default() {
    return DefWindowProc(m_nCurrentMessage, m_nCurrentWParam, m_nCurrentLParam);
}

BOOL CWnd::PreTranslateMessage(MSG*) {
    return FALSE;
}

BOOL fw::IsWindow(HWND hWnd) {
    ui::Backend* pBackend = ui::GetBackend();
    return hWnd != nullptr && pBackend != nullptr && pBackend->IsWindow(hWnd) ? TRUE : FALSE;
}

UINT CEdit::GetLimitText() const {
    return static_cast<UINT>(const_cast<CEdit*>(this)->SendMessage(EM_GETLIMITTEXT));
}
