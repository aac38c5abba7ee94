#include <QApplication>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>

#include "QtInternal.h"

namespace ui::qt {

// The posted messages are the framework's (ui/PostedMessages.h): Qt's event loop delivers one
// at a time, each after the handler that is running returns. While the display is being brought
// up to date in the middle of a handler, none is delivered.
bool g_bPumpScheduled = false;
bool g_bFlushingDisplay = false;

void SchedulePump();

void Pump() {
    g_bPumpScheduled = false;
    if (!PostedWaiting()) {
        return;
    }
    if (g_bFlushingDisplay) {
        SchedulePump();
        return;
    }
    if (DeliverOnePosted()) {
        SchedulePump();
    }
}

void SchedulePump() {
    if (!g_bPumpScheduled) {
        g_bPumpScheduled = true;
        QMetaObject::invokeMethod(qApp, &Pump, Qt::QueuedConnection);
    }
}

void FlushDisplay() {
    if (g_bFlushingDisplay) {
        return;
    }
    g_bFlushingDisplay = true;
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    g_bFlushingDisplay = false;
}

namespace {

/// Takes the user's input while a handler keeps the thread busy: nothing reaches a widget, and
/// what the user asked of the busy dialog is noted.
class BusyFilter final : public QObject {
public:
    BusyFilter(QWidget* pDialog, std::vector<int>* pCommands)
        : m_pDialog(pDialog), m_pCommands(pCommands) {}

    bool eventFilter(QObject* pObject, QEvent* pEvent) override {
        // Input comes to the window system's window first, then to the widget under the mouse or
        // with the focus: both are the busy dialog's when the window is.
        QWidget* pWidget = pObject->isWidgetType() ? static_cast<QWidget*>(pObject) : nullptr;
        const bool bDialogWindow = m_pDialog != nullptr && pObject == m_pDialog->windowHandle();
        if (bDialogWindow) {
            pWidget = m_pDialog;
            if (pEvent->type() == QEvent::MouseButtonRelease) {
                const QPoint at = static_cast<QMouseEvent*>(pEvent)->position().toPoint();
                if (QWidget* pChild = m_pDialog->childAt(at)) {
                    pWidget = pChild;
                }
            }
        }
        const bool bOurs = pWidget != nullptr && pWidget->window() == m_pDialog;
        switch (pEvent->type()) {
            case QEvent::KeyPress: {
                const int nKey = static_cast<QKeyEvent*>(pEvent)->key();
                if (bOurs && nKey == Qt::Key_Escape) {
                    m_pCommands->push_back(IDCANCEL);
                } else if (bOurs && (nKey == Qt::Key_Return || nKey == Qt::Key_Enter)) {
                    if (const int nCommand = EnterCommand(pWidget)) {
                        m_pCommands->push_back(nCommand);
                    }
                }
                return true;
            }
            case QEvent::MouseButtonRelease: {
                auto* pButton = qobject_cast<QPushButton*>(pWidget);
                if (bOurs && pButton != nullptr && pButton->isEnabled() && pButton->isVisible()) {
                    if (QtWindow* pWindow = FromWidget(pButton)) {
                        m_pCommands->push_back(pWindow->GetDlgCtrlID());
                    }
                }
                return true;
            }
            case QEvent::Close:
                if (pWidget == m_pDialog) {
                    m_pCommands->push_back(IDCANCEL);
                }
                pEvent->ignore();
                return true;
            case QEvent::KeyRelease:
            case QEvent::ShortcutOverride:
            case QEvent::Shortcut:
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonDblClick:
            case QEvent::Wheel:
            case QEvent::ContextMenu:
            case QEvent::TouchBegin:
            case QEvent::TouchUpdate:
            case QEvent::TouchEnd:
                return true;
            default:
                return false;
        }
    }

private:
    /// What Enter asks for, as the dialog manager has it: the focused push button, else the
    /// default button (0 when that is disabled), else the OK command.
    int EnterCommand(QWidget* pFocus) const {
        auto* pButton = qobject_cast<QPushButton*>(pFocus);
        if (pButton == nullptr || !pButton->isEnabled() || !pButton->isVisible()) {
            pButton = nullptr;
            for (QPushButton* pCandidate : m_pDialog->findChildren<QPushButton*>()) {
                if (pCandidate->isDefault()) {
                    if (!pCandidate->isEnabled() || !pCandidate->isVisible()) {
                        return 0;
                    }
                    pButton = pCandidate;
                }
            }
        }
        if (pButton == nullptr) {
            return IDOK;
        }
        QtWindow* pWindow = FromWidget(pButton);
        return pWindow != nullptr ? pWindow->GetDlgCtrlID() : 0;
    }

    QWidget* m_pDialog;
    std::vector<int>* m_pCommands;
};

}  // namespace

void PumpWhileBusy(NativeWindow* pWindow, std::vector<int>* pCommands) {
    auto* pQtWindow = static_cast<QtWindow*>(pWindow);
    BusyFilter filter(pQtWindow != nullptr ? pQtWindow->Widget()->window() : nullptr, pCommands);
    // The last filter installed sees every event first: no key reaches the pre-translation.
    qApp->installEventFilter(&filter);
    const bool bWasFlushing = g_bFlushingDisplay;
    g_bFlushingDisplay = true;  // posted messages wait
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    g_bFlushingDisplay = bWasFlushing;
    qApp->removeEventFilter(&filter);
}

bool ContextMenuRelay::eventFilter(QObject*, QEvent* pEvent) {
    if (pEvent->type() == QEvent::KeyPress) {
        // Shift+F10 opens the menu from the keyboard as the menu key does, as on Windows and in
        // the desktops' own lists.
        const auto* pKey = static_cast<QKeyEvent*>(pEvent);
        if (pKey->key() != Qt::Key_F10 || pKey->modifiers() != Qt::ShiftModifier) {
            return false;
        }
        SendMessageTo(m_pWindow, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(m_pWindow), -1);
        return true;
    }
    if (pEvent->type() != QEvent::ContextMenu) {
        return false;
    }
    const auto* pMenuEvent = static_cast<QContextMenuEvent*>(pEvent);
    const QPoint at = pMenuEvent->globalPos();
    const LPARAM lPoint = pMenuEvent->reason() == QContextMenuEvent::Keyboard
                              ? -1
                              : static_cast<LPARAM>(MAKEWPARAM(static_cast<unsigned>(at.x()),
                                                               static_cast<unsigned>(at.y())));
    SendMessageTo(m_pWindow, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(m_pWindow), lPoint);
    return true;
}

void ShowFocusFrame(QWidget* pControl) {
    // The same room for the frame with and without the focus, so that nothing moves.
    pControl->setStyleSheet(
        QStringLiteral("%1 { border: 1px solid palette(dark); padding: 1px; }"
                       "%1:focus { border: 2px solid palette(highlight); padding: 0px; }")
            .arg(QString::fromLatin1(pControl->metaObject()->className())));
}

QtWindow* FromWidget(QWidget* pWidget) {
    for (QWidget* w = pWidget; w != nullptr; w = w->parentWidget()) {
        const QVariant v = w->property("lxWindow");
        if (v.isValid()) {
            return reinterpret_cast<QtWindow*>(v.value<quintptr>());
        }
        for (NativeWindow* pWindow : LiveWindows()) {
            auto* pQtWindow = static_cast<QtWindow*>(pWindow);
            if (pQtWindow->Widget() == w) {
                return pQtWindow;
            }
        }
    }
    return nullptr;
}

}  // namespace ui::qt
