#include <QMenu>

#include "QtInternal.h"

namespace ui::qt {

UINT TrackMenu(NativeWindow* pOwner, const std::vector<MenuItem>& items, int x, int y) {
    auto* pWindow = dynamic_cast<QtWindow*>(pOwner);
    QMenu menu(pWindow != nullptr ? pWindow->Widget() : nullptr);
    for (const MenuItem& item : items) {
        if (item.bSeparator) {
            menu.addSeparator();
            continue;
        }
        // Qt marks the keyboard letter with '&' as Windows does.
        QAction* pAction = menu.addAction(FromBytes(item.text));
        pAction->setData(item.nID);
        pAction->setEnabled(item.bEnabled);
    }
    const QAction* pChosen = menu.exec(QPoint(x, y));
    return pChosen != nullptr ? pChosen->data().toUInt() : 0;
}

}  // namespace ui::qt
