#include <QListWidget>
#include <QMouseEvent>

#include <cstring>
#include <functional>

#include "QtControls.h"

namespace ui::qt {

namespace {

/// A list widget that behaves as a single-selection list box: once an item is selected, no
/// click takes the selection away (Ctrl+click, a click below the last item), and a double click
/// anywhere in the list is a double click on the list, as LBN_DBLCLK is.
class LxListWidget final : public QListWidget {
public:
    explicit LxListWidget(QWidget* pParent) : QListWidget(pParent) {}
    std::function<void()> onDoubleClick;

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* pEvent) const override {
        QItemSelectionModel::SelectionFlags flags = QListWidget::selectionCommand(index, pEvent);
        if ((flags & (QItemSelectionModel::Deselect | QItemSelectionModel::Toggle)) != 0) {
            flags = index.isValid() ? QItemSelectionModel::ClearAndSelect
                                    : QItemSelectionModel::NoUpdate;
        }
        return flags;
    }
    void mousePressEvent(QMouseEvent* pEvent) override {
        if (!indexAt(pEvent->position().toPoint()).isValid()) {
            setFocus(Qt::MouseFocusReason);
            pEvent->accept();
            return;
        }
        QListWidget::mousePressEvent(pEvent);
    }
    void mouseDoubleClickEvent(QMouseEvent* pEvent) override {
        if (!indexAt(pEvent->position().toPoint()).isValid()) {
            pEvent->accept();
            if (onDoubleClick) {
                onDoubleClick();
            }
            return;
        }
        QListWidget::mouseDoubleClickEvent(pEvent);
    }
};

class ListBoxWindow final : public QtWindow {
public:
    ListBoxWindow(int nID, QtWindow* pParent, QWidget* pDialog, DWORD dwStyle)
        : QtWindow(nID, pParent),
          m_pList(new LxListWidget(pDialog)),
          m_bNotify((dwStyle & LBS_NOTIFY) != 0),
          m_contextMenuRelay(this) {
        m_pList->setSelectionMode(QAbstractItemView::SingleSelection);
        ShowFocusFrame(m_pList);
        m_pList->setSortingEnabled(false);
        m_pList->setVerticalScrollBarPolicy(
            (dwStyle & LBS_DISABLENOSCROLL) ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAsNeeded);
        // A line is shown whole: wider than the list, it scrolls sideways (WS_HSCROLL) or is cut
        // at the edge, as a list box does; never shortened with an ellipsis.
        m_pList->setTextElideMode(Qt::ElideNone);
        m_pList->setHorizontalScrollBarPolicy((dwStyle & WS_HSCROLL) ? Qt::ScrollBarAsNeeded
                                                                     : Qt::ScrollBarAlwaysOff);
        m_pList->installEventFilter(&m_contextMenuRelay);
        m_pList->viewport()->installEventFilter(&m_contextMenuRelay);
        QObject::connect(m_pList, &QListWidget::currentRowChanged, &m_context, [this](int) {
            if (!m_bProgrammatic && m_bNotify) {
                Notify(LBN_SELCHANGE);
            }
        });
        QObject::connect(m_pList, &QListWidget::itemDoubleClicked, &m_context,
                         [this](QListWidgetItem*) { DoubleClicked(); });
        m_pList->onDoubleClick = [this] { DoubleClicked(); };
    }
    QWidget* Widget() const override { return m_pList; }
    QListWidget* List() const { return m_pList; }

    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
            case LB_ADDSTRING:
                m_pList->addItem(FromBytes(reinterpret_cast<const char*>(lParam)));
                return m_pList->count() - 1;
            case LB_SETCURSEL: {
                const int nIndex = static_cast<int>(static_cast<std::intptr_t>(wParam));
                m_bProgrammatic = true;
                m_pList->setCurrentRow(nIndex >= 0 && nIndex < m_pList->count() ? nIndex : -1);
                if (nIndex < 0) {
                    m_pList->clearSelection();
                }
                m_bProgrammatic = false;
                return nIndex >= 0 && nIndex < m_pList->count() ? nIndex : LB_ERR;
            }
            case LB_GETCURSEL: {
                const QList<QListWidgetItem*> selected = m_pList->selectedItems();
                return selected.isEmpty() ? LB_ERR : m_pList->row(selected.front());
            }
            case LB_GETCOUNT:
                return m_pList->count();
            case WM_CONTEXTMENU:
                // A list box has no menu of its own: the dialog may show one.
                return SendMessageTo(m_pParent, WM_CONTEXTMENU, wParam, lParam);
            case LB_GETTEXT: {
                const int nIndex = static_cast<int>(static_cast<std::intptr_t>(wParam));
                if (nIndex < 0 || nIndex >= m_pList->count()) {
                    return LB_ERR;
                }
                const std::string text = ToBytes(m_pList->item(nIndex)->text());
                std::memcpy(reinterpret_cast<char*>(lParam), text.c_str(), text.size() + 1);
                return static_cast<LRESULT>(text.size());
            }
            default:
                return 0;
        }
    }

private:
    void DoubleClicked() {
        if (m_bNotify) {
            Notify(LBN_DBLCLK);
        }
    }

    LxListWidget* m_pList;
    bool m_bNotify;
    ContextMenuRelay m_contextMenuRelay;
    bool m_bProgrammatic = false;
    QObject m_context;  // ends the connections with this object
};

}  // namespace

std::unique_ptr<QtWindow> MakeListBox(const ControlTemplate& control, QtWindow* pDialog,
                                      QWidget* pContent) {
    return std::make_unique<ListBoxWindow>(control.nID, pDialog, pContent, control.dwStyle);
}

}  // namespace ui::qt
