// Message maps: a class's table of the messages it handles, searched up its base classes.
#include "ui/Framework.h"

using namespace fw;

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
