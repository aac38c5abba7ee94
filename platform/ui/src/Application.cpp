// CWinApp and the framework's global functions (Afx...).
#include <cstdio>

#include "ui/Application.h"
#include "ui/Backend.h"
#include "ui/Framework.h"

using namespace fw;

namespace {
CWinApp* g_pApp = nullptr;
void (*g_pfnSayNoDisplay)(const char*) = nullptr;
}  // namespace

void ui::SetNoDisplayMessage(void (*pfnSay)(const char* pszReason)) {
    g_pfnSayNoDisplay = pfnSay;
}

void ui::SayNoDisplay(const char* pszReason) {
    if (g_pfnSayNoDisplay != nullptr) {
        g_pfnSayNoDisplay(pszReason);
    } else {
        std::fprintf(stderr, "%s\n", pszReason);
    }
    std::fflush(stderr);
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
    // The program may be started again after the system ended it for an update or a restart.
    ui::Backend* pBackend = ui::GetBackend();
    if (pBackend != nullptr &&
        (m_dwRestartManagerSupportFlags & AFX_RESTART_MANAGER_SUPPORT_RESTART) != 0) {
        pBackend->RegisterRestart();
    }
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

BOOL fw::AfxSetClipboardText(const char* pszText) {
    ui::Backend* pBackend = ui::GetBackend();
    return pBackend != nullptr && pBackend->SetClipboardText(pszText != nullptr ? pszText : "")
               ? TRUE
               : FALSE;
}
