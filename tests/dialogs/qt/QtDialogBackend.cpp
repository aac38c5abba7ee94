#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>

#include "../DialogBackend.h"
#include "QtBackend.h"

namespace dialogtest {

void StartBackend(int argc, char** argv) {
    // No display needed: the offscreen platform, unless the caller chose one.
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    static int nArgc = argc;
    // For the life of the process: destroyed among the exit handlers it would outlive Qt's own.
    static QApplication* pApplication = new QApplication(nArgc, argv);
    (void)pApplication;
    ui::qt::InstallBackend();
}

void Pump() {
    for (int i = 0; i < 20; ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        QCoreApplication::sendPostedEvents();
    }
}

void Click(fw::CWnd& dialog, int nID) {
    fw::CWnd* pButton = dialog.GetDlgItem(nID);
    if (auto* p =
            qobject_cast<QPushButton*>(pButton ? ui::qt::WidgetOf(pButton->m_hWnd) : nullptr)) {
        p->click();
    }
}

void PressEnter(fw::CWnd& dialog, int nID) {
    fw::CWnd* pControl = dialog.GetDlgItem(nID);
    if (QWidget* pWidget = pControl ? ui::qt::WidgetOf(pControl->m_hWnd) : nullptr) {
        pWidget->setFocus();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
        QCoreApplication::sendEvent(pWidget, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier);
        QCoreApplication::sendEvent(pWidget, &release);
    }
}

bool HasFocus(fw::CWnd& dialog, int nID) {
    fw::CWnd* pControl = dialog.GetDlgItem(nID);
    QWidget* pWidget = pControl ? ui::qt::WidgetOf(pControl->m_hWnd) : nullptr;
    return pWidget != nullptr && pWidget->hasFocus();
}

}  // namespace dialogtest
