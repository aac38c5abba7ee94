#include <QApplication>
#include <QCoreApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>

#include <deque>

#include "QtInternal.h"

namespace ui::qt {

/// Messages posted to windows, handled one at a time in the order of posting, each after the
/// handler that is running returns. While the display is being brought up to date in the middle
/// of a handler, none is handled.
struct PostedMessage {
    std::uint64_t nSerial;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
std::deque<PostedMessage> g_posted;
bool g_bPumpScheduled = false;
bool g_bFlushingDisplay = false;

void SchedulePump();

void Pump() {
    g_bPumpScheduled = false;
    if (g_posted.empty()) {
        return;
    }
    if (g_bFlushingDisplay) {
        SchedulePump();
        return;
    }
    const PostedMessage posted = g_posted.front();
    g_posted.pop_front();
    if (!g_posted.empty()) {
        SchedulePump();
    }
    auto it = LiveWindows().find(posted.nSerial);
    if (it != LiveWindows().end()) {
        SendMessageTo(reinterpret_cast<NativeWindow*>(it->second), posted.message, posted.wParam,
                      posted.lParam);
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
            case QEvent::KeyPress:
                if (bOurs && static_cast<QKeyEvent*>(pEvent)->key() == Qt::Key_Escape) {
                    m_pCommands->push_back(IDCANCEL);
                }
                return true;
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

std::map<std::uint64_t, QtWindow*>& LiveWindows() {
    static std::map<std::uint64_t, QtWindow*> windows;
    return windows;
}
namespace {
std::uint64_t g_nNextSerial = 1;
}  // namespace

std::uint64_t NextSerial() {
    return g_nNextSerial++;
}

void QueuePosted(std::uint64_t nSerial, UINT message, WPARAM wParam, LPARAM lParam) {
    g_posted.push_back(PostedMessage{nSerial, message, wParam, lParam});
    SchedulePump();
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
        for (const auto& [nSerial, pWindow] : LiveWindows()) {
            if (pWindow->Widget() == w) {
                return pWindow;
            }
        }
    }
    return nullptr;
}

}  // namespace ui::qt
