#include "ui/Menu.h"

#include "ui/Backend.h"
#include "ui/Framework.h"

using namespace fw;

BOOL CMenu::CreatePopupMenu() {
    m_items.clear();
    m_bCreated = true;
    return TRUE;
}

BOOL CMenu::AppendMenu(UINT nFlags, UINT_PTR nIDNewItem, const char* lpszNewItem) {
    if (!m_bCreated) {
        return FALSE;
    }
    const bool bSeparator = (nFlags & MF_SEPARATOR) != 0;
    m_items.push_back(ui::MenuItem{bSeparator ? 0 : static_cast<UINT>(nIDNewItem),
                                   bSeparator || lpszNewItem == nullptr ? "" : lpszNewItem,
                                   bSeparator, (nFlags & MF_GRAYED) == 0});
    return TRUE;
}

BOOL CMenu::TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd) {
    ui::Backend* pBackend = ui::GetBackend();
    if (!m_bCreated || pBackend == nullptr || pWnd == nullptr || pWnd->m_hWnd == nullptr) {
        return 0;
    }
    const UINT nChosen = pBackend->TrackPopupMenu(pWnd->m_hWnd, m_items, x, y);
    if ((nFlags & TPM_RETURNCMD) != 0) {
        return static_cast<BOOL>(nChosen);
    }
    if (nChosen != 0 && IsWindow(pWnd->m_hWnd)) {
        pWnd->SendMessage(WM_COMMAND, MAKEWPARAM(nChosen, 0), 0);
    }
    return nChosen != 0 ? TRUE : FALSE;
}
