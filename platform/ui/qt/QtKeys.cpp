#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>

#include "QtInternal.h"

namespace ui::qt {

/// The character code of a key press, as WM_CHAR would carry it; 0 for keys without one.
WPARAM CharacterCode(const QKeyEvent& event) {
    if ((event.modifiers() & Qt::ControlModifier) != 0 && event.key() >= Qt::Key_A &&
        event.key() <= Qt::Key_Z) {
        return static_cast<WPARAM>(event.key() - Qt::Key_A + 1);
    }
    const QString text = event.text();
    if (text.isEmpty()) {
        return 0;
    }
    const std::string bytes = ToBytes(text.left(1));
    return bytes.empty() ? 0 : static_cast<unsigned char>(bytes[0]);
}

/// The message pre-translation and the dialog manager's keys, for every key the program gets.
bool KeyFilter::eventFilter(QObject* pObject, QEvent* pEvent) {
    if (pEvent->type() != QEvent::KeyPress || !pObject->isWidgetType()) {
        return false;
    }
    auto* pKey = static_cast<QKeyEvent*>(pEvent);
    auto* pWidget = static_cast<QWidget*>(pObject);
    if (pKey == m_pLastEvent && m_pLastReceiver != nullptr && m_pLastReceiver != pWidget &&
        pWidget->isAncestorOf(m_pLastReceiver)) {
        return false;  // the same event, passed on to a parent of the widget that had it
    }
    m_pLastEvent = pKey;
    m_pLastReceiver = pWidget;

    if (const WPARAM nChar = CharacterCode(*pKey)) {
        MSG msg{FromWidget(pWidget), WM_CHAR, nChar, 0};
        if (CWinApp* pApp = AfxGetApp(); pApp != nullptr && pApp->PreTranslateMessage(&msg)) {
            return true;
        }
    }

    QtWindow* pDialog = DialogOf(pWidget);
    if (pDialog == nullptr) {
        return false;
    }
    switch (pKey->key()) {
        case Qt::Key_Escape:
            SendMessageTo(pDialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter: {
            if (auto* pText = qobject_cast<QPlainTextEdit*>(pWidget);
                pText != nullptr && !pText->isReadOnly()) {
                return false;  // an editable multiline edit takes Enter for a new line
            }
            if (auto* pButton = qobject_cast<QPushButton*>(pWidget);
                pButton != nullptr && pButton->window() == pDialog->Widget()) {
                pButton->click();
                return true;
            }
            // No push button has the focus: the default button is clicked, if the dialog has
            // one, else the dialog gets the OK command.
            for (QPushButton* pButton : pDialog->Widget()->findChildren<QPushButton*>()) {
                if (pButton->isDefault()) {
                    if (pButton->isEnabled() && pButton->isVisible()) {
                        pButton->click();
                    }
                    return true;
                }
            }
            SendMessageTo(pDialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            return true;
        }
        default:
            return false;
    }
}

}  // namespace ui::qt
