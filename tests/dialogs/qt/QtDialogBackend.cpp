#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyleOptionGroupBox>
#include <QTimer>

#include <map>

#include "../DialogBackend.h"
#include "QtBackend.h"
#include "text/Windows1252.h"
#include "ui/Backend.h"

namespace dialogtest {

namespace {

QWidget* WidgetOf(fw::CWnd& dialog, int nID) {
    fw::CWnd* pControl = nID == 0 ? &dialog : dialog.GetDlgItem(nID);
    return pControl ? ui::qt::WidgetOf(pControl->m_hWnd) : nullptr;
}

/// Counts the paint events of every widget.
class PaintCounter final : public QObject {
public:
    std::map<QObject*, int> counts;
    bool eventFilter(QObject* pObject, QEvent* pEvent) override {
        if (pEvent->type() == QEvent::Paint) {
            ++counts[pObject];
        } else if (pEvent->type() == QEvent::Hide) {
            counts.erase(pObject);
        }
        return false;
    }
};
PaintCounter* g_pPaintCounter = nullptr;

QScrollBar* VerticalBar(fw::CWnd& dialog, int nID) {
    auto* pEdit = qobject_cast<QPlainTextEdit*>(WidgetOf(dialog, nID));
    return pEdit ? pEdit->verticalScrollBar() : nullptr;
}

}  // namespace

void StartBackend(int argc, char** argv) {
    // No display needed: the offscreen platform, unless the caller chose one.
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    static int nArgc = argc;
    // For the life of the process: destroyed among the exit handlers it would outlive Qt's own.
    static QApplication* pApplication = new QApplication(nArgc, argv);
    (void)pApplication;
    ui::qt::InstallBackend();
    g_pPaintCounter = new PaintCounter;
    QCoreApplication::instance()->installEventFilter(g_pPaintCounter);
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

namespace dialogtest {

void PressKey(fw::CWnd& dialog, int nID, Key key) {
    QWidget* pWidget = WidgetOf(dialog, nID);
    if (pWidget == nullptr) {
        return;
    }
    // Keys go to the active window, as they do on a desktop.
    QApplication::setActiveWindow(pWidget->window());
    pWidget->setFocus();
    int nKey = Qt::Key_Escape;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
    QString text;
    switch (key) {
        case Key::Escape:
            text = QStringLiteral("\x1b");
            break;
        case Key::Tab:
            nKey = Qt::Key_Tab;
            text = QStringLiteral("\t");
            break;
        case Key::CtrlA:
            nKey = Qt::Key_A;
            modifiers = Qt::ControlModifier;
            text = QStringLiteral("\x01");
            break;
        case Key::Plus:
            nKey = Qt::Key_Plus;
            text = QStringLiteral("+");
            break;
    }
    QKeyEvent press(QEvent::KeyPress, nKey, modifiers, text);
    QCoreApplication::sendEvent(pWidget, &press);
    QKeyEvent release(QEvent::KeyRelease, nKey, modifiers, text);
    QCoreApplication::sendEvent(pWidget, &release);
}

bool IsDefaultButton(fw::CWnd& dialog, int nID) {
    auto* pButton = qobject_cast<QPushButton*>(WidgetOf(dialog, nID));
    return pButton != nullptr && pButton->isDefault();
}

void DragThumb(fw::CWnd& dialog, int nID, bool bDown) {
    if (QScrollBar* pBar = VerticalBar(dialog, nID)) {
        pBar->setSliderDown(bDown);
        if (bDown) {
            pBar->setValue(0);
        }
    }
}

void ScrollPosition(fw::CWnd& dialog, int nID, int* pnValue, int* pnMaximum) {
    QScrollBar* pBar = VerticalBar(dialog, nID);
    *pnValue = pBar ? pBar->value() : -1;
    *pnMaximum = pBar ? pBar->maximum() : -1;
}

bool ShowsProgramIcon(fw::CWnd& dialog) {
    QWidget* pDialog = WidgetOf(dialog, 0);
    return pDialog != nullptr && !pDialog->windowIcon().isNull();
}

bool IsPainted(fw::CWnd& dialog) {
    QWidget* pDialog = WidgetOf(dialog, 0);
    // The controls stand on the dialog's client area, in the scroll area that fills it.
    const auto* pScroll = pDialog != nullptr ? pDialog->findChild<QScrollArea*>() : nullptr;
    QWidget* pClient = pScroll != nullptr ? pScroll->widget() : pDialog;
    if (pDialog == nullptr || !pDialog->isVisible() || g_pPaintCounter->counts[pClient] == 0) {
        return false;
    }
    for (QWidget* pChild : pClient->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (pChild->isVisible() && g_pPaintCounter->counts[pChild] == 0) {
            return false;
        }
    }
    return true;
}

void QueueInput(fw::CWnd& dialog, Input input) {
    QWidget* pDialog = WidgetOf(dialog, 0);
    auto click = [](QWidget* pButton) {
        if (pButton == nullptr) {
            return;
        }
        const QPointF at = QRectF(pButton->rect()).center();
        QCoreApplication::postEvent(
            pButton, new QMouseEvent(QEvent::MouseButtonPress, at, pButton->mapToGlobal(at),
                                     Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
        QCoreApplication::postEvent(
            pButton, new QMouseEvent(QEvent::MouseButtonRelease, at, pButton->mapToGlobal(at),
                                     Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
    };
    switch (input) {
        case Input::Escape: {
            QWidget* pFocus = pDialog ? pDialog->focusWidget() : nullptr;
            QCoreApplication::postEvent(pFocus ? pFocus : pDialog,
                                        new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape,
                                                      Qt::NoModifier, QStringLiteral("\x1b")));
            break;
        }
        case Input::CloseBox:
            QCoreApplication::postEvent(pDialog, new QCloseEvent);
            break;
        case Input::ClickQuit:
            click(WidgetOf(dialog, 1001));
            break;
        case Input::ClickOpenDevice:
            click(WidgetOf(dialog, 1002));
            break;
        case Input::ClickSearchAgain:
            click(WidgetOf(dialog, 1008));
            break;
        case Input::Enter: {
            QWidget* pFocus = pDialog ? pDialog->focusWidget() : nullptr;
            QCoreApplication::postEvent(pFocus ? pFocus : pDialog,
                                        new QKeyEvent(QEvent::KeyPress, Qt::Key_Return,
                                                      Qt::NoModifier, QStringLiteral("\r")));
            break;
        }
    }
}

std::vector<std::string> ContextMenu(fw::CWnd& dialog, int nID, bool bKeyboard,
                                     const char* pszChoose) {
    QWidget* pControl = WidgetOf(dialog, nID);
    if (pControl == nullptr) {
        return {};
    }
    std::vector<std::string> items;
    // Runs inside the menu's own loop, once it is open.
    QTimer::singleShot(0, [&items, pszChoose] {
        auto* pMenu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (pMenu == nullptr) {
            return;
        }
        int nKey = Qt::Key_Escape;
        for (QAction* pAction : pMenu->actions()) {
            const std::string text =
                text::Windows1252FromUtf8(pAction->text().toUtf8().toStdString());
            items.push_back(pAction->isSeparator() ? "-"
                            : pAction->isEnabled() ? text
                                                   : "(disabled) " + text);
            const std::size_t nMark = text.find('&');
            if (pszChoose != nullptr && text == pszChoose && nMark + 1 < text.size()) {
                nKey =
                    Qt::Key_A + (std::toupper(static_cast<unsigned char>(text[nMark + 1])) - 'A');
            }
        }
        QKeyEvent press(QEvent::KeyPress, nKey, Qt::NoModifier,
                        nKey == Qt::Key_Escape ? QString() : QString(QChar(nKey).toLower()));
        QCoreApplication::sendEvent(pMenu, &press);
    });
    auto* pScrolling = qobject_cast<QAbstractScrollArea*>(pControl);
    QWidget* pTarget = bKeyboard || pScrolling == nullptr ? pControl : pScrolling->viewport();
    const QPoint at(5, 5);
    if (!bKeyboard) {
        // The right button goes down and up, then the window system asks for the menu.
        QMouseEvent press(QEvent::MouseButtonPress, at, pTarget->mapToGlobal(at), Qt::RightButton,
                          Qt::RightButton, Qt::NoModifier);
        QCoreApplication::sendEvent(pTarget, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, at, pTarget->mapToGlobal(at),
                            Qt::RightButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(pTarget, &release);
    }
    QContextMenuEvent request(bKeyboard ? QContextMenuEvent::Keyboard : QContextMenuEvent::Mouse,
                              at, pTarget->mapToGlobal(at));
    QCoreApplication::sendEvent(pTarget, &request);
    return items;
}

std::string ClipboardText() {
    return text::Windows1252FromUtf8(QGuiApplication::clipboard()->text().toUtf8().toStdString());
}

void AnswerNextFileDialog(FileDialogAnswer* pAnswer) {
    auto* pTimer = new QTimer;
    pTimer->setInterval(10);
    QObject::connect(pTimer, &QTimer::timeout, [pTimer, pAnswer] {
        auto* pDialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (pDialog == nullptr || !pDialog->isVisible()) {
            return;
        }
        pTimer->stop();
        pTimer->deleteLater();
        pAnswer->bShown = true;
        pAnswer->title = text::Windows1252FromUtf8(pDialog->windowTitle().toUtf8().toStdString());
        for (const QString& filter : pDialog->nameFilters()) {
            pAnswer->filters.push_back(text::Windows1252FromUtf8(filter.toUtf8().toStdString()));
        }
        if (pAnswer->name.empty()) {
            pDialog->reject();
            return;
        }
        // As the user does it: the kind from the list of kinds, the name typed, then Save.
        if (auto* pKinds = pDialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"))) {
            pKinds->setCurrentIndex(pAnswer->nFilter);
            emit pKinds->activated(pAnswer->nFilter);
            emit pKinds->textActivated(pKinds->currentText());
        }
        pDialog->setDirectory(QString::fromStdString(pAnswer->folder));
        if (auto* pName = pDialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
            pName->setText(QString::fromStdString(pAnswer->name));
        }
        static_cast<QDialog*>(pDialog)->accept();  // Save, with the dialog's own checks
    });
    pTimer->start();
}

int HorizontalScrollRange(fw::CWnd& dialog, int nID) {
    auto* pScrolling = qobject_cast<QAbstractScrollArea*>(WidgetOf(dialog, nID));
    if (pScrolling == nullptr) {
        return -1;
    }
    QCoreApplication::processEvents();  // the view lays its items out when it gets to it
    return pScrolling->horizontalScrollBar()->maximum();
}

bool IsInView(fw::CWnd& dialog, int nID) {
    QWidget* pControl = WidgetOf(dialog, nID);
    QWidget* pDialog = WidgetOf(dialog, 0);
    if (pControl == nullptr || pDialog == nullptr) {
        return false;
    }
    QCoreApplication::processEvents();
    const QRect control(pControl->mapToGlobal(QPoint(0, 0)), pControl->size());
    // What the dialog shows of its client area: the scroll area's viewport.
    const auto* pScroll = pDialog->findChild<QScrollArea*>();
    const QWidget* pView = pScroll != nullptr ? pScroll->viewport() : pDialog;
    const QRect view(pView->mapToGlobal(QPoint(0, 0)), pView->size());
    return view.contains(control) && pDialog->screen()->availableGeometry().contains(control);
}

bool CaptionShownWhole(fw::CWnd& dialog, const char* pszCaption) {
    QWidget* pDialog = WidgetOf(dialog, 0);
    const QString caption = QString::fromStdString(text::Utf8From1252(pszCaption));
    for (QGroupBox* pBox :
         pDialog != nullptr ? pDialog->findChildren<QGroupBox*>() : QList<QGroupBox*>{}) {
        if (pBox->title() != caption) {
            continue;
        }
        QCoreApplication::processEvents();
        QStyleOptionGroupBox option;
        option.initFrom(pBox);
        option.text = pBox->title();
        option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
        const QRect label = pBox->style()->subControlRect(QStyle::CC_GroupBox, &option,
                                                          QStyle::SC_GroupBoxLabel, pBox);
        return pBox->isVisible() &&
               label.width() >= pBox->fontMetrics().horizontalAdvance(pBox->title()) &&
               label.right() < pBox->width();
    }
    return false;
}

void MeasureMessageBox(const char* pszText, int* pnHeight, int* pnWorkArea, bool bCommandLine) {
    *pnHeight = -1;
    *pnWorkArea = -1;
    if (bCommandLine) {
        return;  // the terminal's
    }
    QTimer timer;
    timer.setInterval(10);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        QWidget* pBox = QApplication::activeModalWidget();
        if (pBox == nullptr || !pBox->isVisible()) {
            return;
        }
        timer.stop();
        *pnHeight = pBox->frameGeometry().height();
        *pnWorkArea = pBox->screen()->availableGeometry().height();
        pBox->close();
    });
    timer.start();
    ui::GetBackend()->MessageBox(nullptr, pszText);
}

}  // namespace dialogtest
