#include "ui/Framework.h"

#include <cstdio>
#include <cstdlib>

#include "ui/Backend.h"

using namespace fw;

namespace ui {

namespace {
Backend* g_pBackend = nullptr;
}

NativeWindow::NativeWindow() = default;

NativeWindow::~NativeWindow() {
    if (m_pOwner != nullptr && m_pOwner->m_hWnd == this) {
        m_pOwner->m_hWnd = nullptr;
    }
    if (m_pPermanent) {
        m_pPermanent->m_hWnd = nullptr;
    }
}

Backend::~Backend() = default;

Backend* GetBackend() {
    return g_pBackend;
}

Backend* SetBackend(Backend* pBackend) {
    Backend* pOld = g_pBackend;
    g_pBackend = pBackend;
    return pOld;
}

LRESULT SendMessageTo(NativeWindow* pWindow, UINT message, WPARAM wParam, LPARAM lParam) {
    if (pWindow == nullptr) {
        return 0;
    }
    if (pWindow->m_pOwner != nullptr) {
        return pWindow->m_pOwner->WindowProc(message, wParam, lParam);
    }
    return pWindow->DefaultProc(message, wParam, lParam);
}

}  // namespace ui

// ---------------------------------------------------------------------------------------------
// Message maps

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, nullptr}};
    static const AFX_MSGMAP map = {nullptr, &entries[0]};
    return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const {
    return GetThisMessageMap();
}

bool CCmdTarget::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    for (const AFX_MSGMAP* pMap = GetMessageMap(); pMap != nullptr;
         pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* p = pMap->lpEntries; p->pfn != nullptr; ++p) {
            if (p->nMessage != message) {
                continue;
            }
            if (message == WM_COMMAND && (p->nID != LOWORD(wParam) || p->nCode != HIWORD(wParam))) {
                continue;
            }
            *pResult = p->pfn(this, wParam, lParam);
            return true;
        }
    }
    return false;
}

// ---------------------------------------------------------------------------------------------
// CWnd

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

void ui::ProgrammingError(const char* pszWhat, long nId) {
    std::fprintf(stderr, "lorixlog: programming error: %s %ld\n", pszWhat, nId);
#if !defined(NDEBUG)
    std::abort();
#endif
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

// ---------------------------------------------------------------------------------------------
// CDialog

namespace {
ui::ModalObserver g_pModalObserver = nullptr;
void* g_pModalObserverContext = nullptr;
}  // namespace

void ui::SetModalObserver(ModalObserver pObserver, void* pContext) {
    g_pModalObserver = pObserver;
    g_pModalObserverContext = pContext;
}

BOOL CPaintDC::DrawIcon(int x, int y, HICON hIcon) {
    if (m_pWnd == nullptr || m_pWnd->m_hWnd == nullptr || hIcon == nullptr) {
        return FALSE;
    }
    m_pWnd->m_hWnd->PaintIcon(x, y, hIcon);
    return TRUE;
}

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}

CDialog::~CDialog() {
    ReleaseWindow();
}

const AFX_MSGMAP* CDialog::GetThisMessageMap() {
    using ThisClass = CDialog;
    static const AFX_MSGMAP_ENTRY entries[] = {{WM_INITDIALOG, 0, 0,
                                                [](CCmdTarget* p, WPARAM, LPARAM) -> LRESULT {
                                                    return static_cast<CDialog*>(p)->OnInitDialog();
                                                }},
                                               ON_COMMAND(IDOK, OnOK)          //
                                               ON_COMMAND(IDCANCEL, OnCancel)  //
                                               ON_WM_CLOSE()                   //
                                               {0, 0, 0, nullptr}};
    static const AFX_MSGMAP map = {&CWnd::GetThisMessageMap, &entries[0]};
    return &map;
}

const AFX_MSGMAP* CDialog::GetMessageMap() const {
    return GetThisMessageMap();
}

INT_PTR CDialog::DoModal() {
    ui::Backend* pBackend = ui::GetBackend();
    if (pBackend == nullptr) {
        return -1;
    }
    CWnd* pOwner = m_pParentWnd;
    if (pOwner == nullptr) {
        pOwner = AfxGetMainWnd();
        if (pOwner == this) {
            pOwner = nullptr;
        }
    }
    HWND hWnd =
        pBackend->CreateDialogWindow(m_nIDTemplate, this, pOwner ? pOwner->m_hWnd : nullptr);
    if (hWnd == nullptr) {
        ui::ProgrammingError("DoModal: there is no dialog template", m_nIDTemplate);
        return -1;
    }
    m_hWnd = hWnd;
    hWnd->m_pOwner = this;
    m_nModalResult = -1;
    SendMessage(WM_INITDIALOG);
    if (g_pModalObserver != nullptr) {
        g_pModalObserver(this, g_pModalObserverContext);
    }
    const INT_PTR nResult = pBackend->RunModal(hWnd);
    DestroyWindow();
    return nResult;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd) {
    ui::Backend* pBackend = ui::GetBackend();
    if (pBackend == nullptr || m_hWnd != nullptr) {
        return FALSE;
    }
    m_nIDTemplate = nIDTemplate;
    m_pParentWnd = pParentWnd;
    HWND hWnd =
        pBackend->CreateDialogWindow(nIDTemplate, this, pParentWnd ? pParentWnd->m_hWnd : nullptr);
    if (hWnd == nullptr) {
        ui::ProgrammingError("Create: there is no dialog template", nIDTemplate);
        return FALSE;
    }
    m_hWnd = hWnd;
    hWnd->m_pOwner = this;
    m_nModalResult = -1;
    SendMessage(WM_INITDIALOG);
    if (m_hWnd != nullptr) {
        pBackend->ShowModeless(m_hWnd);
    }
    return TRUE;
}

BOOL CDialog::DestroyWindow() {
    if (ui::GetBackend() == nullptr || m_hWnd == nullptr) {
        return FALSE;
    }
    SendMessage(WM_DESTROY);
    ReleaseWindow();
    return TRUE;
}

void CDialog::ReleaseWindow() {
    CWinApp* pApp = AfxGetApp();
    if (pApp != nullptr && pApp->m_pMainWnd == this) {
        pApp->m_pMainWnd = nullptr;
    }
    ui::Backend* pBackend = ui::GetBackend();
    if (pBackend != nullptr && m_hWnd != nullptr) {
        HWND hDestroy = m_hWnd;
        m_hWnd = nullptr;
        hDestroy->m_pOwner = nullptr;
        pBackend->DestroyWindow(hDestroy);
    }
}

void CDialog::EndDialog(int nResult) {
    m_nModalResult = nResult;
    ui::Backend* pBackend = ui::GetBackend();
    if (pBackend != nullptr && m_hWnd != nullptr) {
        pBackend->EndModal(m_hWnd, nResult);
    }
}

BOOL CDialog::OnInitDialog() {
    return TRUE;
}

void CDialog::OnOK() {
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void CDialog::OnClose() {
    SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

// ---------------------------------------------------------------------------------------------
// CWinApp

namespace {
CWinApp* g_pApp = nullptr;
}

CWinApp::CWinApp(const char*) {
    g_pApp = this;
}

CWinApp::~CWinApp() {
    if (g_pApp == this) {
        g_pApp = nullptr;
    }
}

const AFX_MSGMAP* CWinApp::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, nullptr}};
    static const AFX_MSGMAP map = {&CCmdTarget::GetThisMessageMap, &entries[0]};
    return &map;
}

const AFX_MSGMAP* CWinApp::GetMessageMap() const {
    return GetThisMessageMap();
}

BOOL CWinApp::InitInstance() {
    return TRUE;
}

int CWinApp::ExitInstance() {
    return 0;
}

BOOL CWinApp::PreTranslateMessage(MSG* pMsg) {
    // The framework's own pre-translation: the target window's, then its parents'.
    for (HWND hWnd = pMsg ? pMsg->hwnd : nullptr; hWnd != nullptr; hWnd = hWnd->GetParentWindow()) {
        if (hWnd->m_pOwner != nullptr && hWnd->m_pOwner->PreTranslateMessage(pMsg)) {
            return TRUE;
        }
    }
    return FALSE;
}

CWinApp* fw::AfxGetApp() {
    return g_pApp;
}

CWnd* fw::AfxGetMainWnd() {
    return g_pApp ? g_pApp->m_pMainWnd : nullptr;
}

HCURSOR fw::AfxWaitCursor() {
    ui::Backend* pBackend = ui::GetBackend();
    return pBackend ? pBackend->WaitCursor() : nullptr;
}

HCURSOR fw::SetCursor(HCURSOR hCursor) {
    ui::Backend* pBackend = ui::GetBackend();
    return pBackend ? pBackend->SetCursor(hCursor) : nullptr;
}

int fw::AfxMessageBox(const char* pszText) {
    ui::Backend* pBackend = ui::GetBackend();
    if (pBackend == nullptr) {
        std::fprintf(stderr, "%s\n", pszText);
        return IDOK;
    }
    CWnd* pMain = AfxGetMainWnd();
    pBackend->MessageBox(pMain != nullptr ? pMain->m_hWnd : nullptr, pszText);
    return IDOK;
}

HICON fw::AfxLoadIcon(int nID) {
    ui::Backend* pBackend = ui::GetBackend();
    return pBackend ? pBackend->LoadIcon(nID) : nullptr;
}

int fw::GetSystemMetrics(int nIndex) {
    ui::Backend* pBackend = ui::GetBackend();
    return pBackend ? pBackend->GetSystemMetrics(nIndex) : 0;
}
