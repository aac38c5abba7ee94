// CDialog: dialogs made from the templates, modal and modeless, and painting in them.
#include "ui/Backend.h"
#include "ui/Framework.h"
#include "ui/Resources.h"

using namespace fw;

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
    if (ui::FindDialogTemplate(m_nIDTemplate) == nullptr) {
        ui::ProgrammingError("DoModal: there is no dialog template", m_nIDTemplate);
        return -1;
    }
    HWND hWnd =
        pBackend->CreateDialogWindow(m_nIDTemplate, this, pOwner ? pOwner->m_hWnd : nullptr);
    if (hWnd == nullptr) {
        return -1;  // the window system made no window
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
