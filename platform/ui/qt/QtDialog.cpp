#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>

#include <algorithm>

#include "QtControls.h"
#include "ui/Layout.h"

namespace ui::qt {

class DialogWindow;

/// The client area of a dialog, where its controls stand: at least as large as the template, in
/// a scroll area that fills the dialog (scroll bars only when the dialog is smaller than that).
class LxContent final : public QWidget {
public:
    LxContent(DialogWindow* pWindow, QWidget* pParent) : QWidget(pParent), m_pWindow(pWindow) {}
    void resizeEvent(QResizeEvent* pEvent) override;

    DialogWindow* m_pWindow;
};

/// The Qt dialog of a DialogWindow: forwards closing and painting to the window object.
class LxDialog final : public QDialog {
public:
    LxDialog(DialogWindow* pWindow, QWidget* pParent) : QDialog(pParent), m_pWindow(pWindow) {}
    void closeEvent(QCloseEvent* pEvent) override;
    void paintEvent(QPaintEvent* pEvent) override;
    void reject() override;

    DialogWindow* m_pWindow;
    bool m_bInPaint = false;
};

class DialogWindow final : public QtWindow {
public:
    DialogWindow(const DialogTemplate& dialog, QtWindow* pOwner)
        : QtWindow(0, pOwner),
          m_pDialog(new LxDialog(this, pOwner ? pOwner->Widget()->window() : nullptr)) {
        m_pDialog->setProperty("lxWindow",
                               QVariant::fromValue<quintptr>(reinterpret_cast<quintptr>(this)));
        Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint;
        if ((dialog.dwStyle & WS_MINIMIZEBOX) != 0) {
            flags |= Qt::WindowMinimizeButtonHint;
        }
        if ((dialog.dwExStyle & WS_EX_APPWINDOW) != 0) {
            flags = (flags & ~Qt::Dialog) | Qt::Window;
        }
        m_pDialog->setWindowFlags(flags);
        m_pDialog->setWindowTitle(FromBytes(dialog.pszCaption));
        // A dialog over another shows its owner's icon (the program's).
        if (pOwner != nullptr) {
            m_pDialog->setWindowIcon(pOwner->Widget()->window()->windowIcon());
        }

        SetDialogUnits(dialog.nPointSize);

        auto* pLayout = new QVBoxLayout(m_pDialog);
        pLayout->setContentsMargins(0, 0, 0, 0);
        m_pScroll = new QScrollArea(m_pDialog);
        m_pScroll->setFrameShape(QFrame::NoFrame);
        m_pScroll->setFocusPolicy(Qt::NoFocus);
        m_pScroll->setWidgetResizable(true);
        m_pContent = new LxContent(this, m_pScroll);
        m_pScroll->setWidget(m_pContent);
        pLayout->addWidget(m_pScroll);
        PlaceControls(dialog.controls);

        const QRect client = ToPixels(dialog.x, dialog.y, dialog.cx, dialog.cy);
        m_templateSize = client.size();
        m_bSizable = (dialog.dwStyle & WS_THICKFRAME) != 0;
        m_pContent->setMinimumSize(m_templateSize);
        if (m_bSizable) {
            m_pDialog->setMinimumSize(m_templateSize);
            m_pDialog->resize(m_templateSize);
        } else {
            m_pDialog->setFixedSize(m_templateSize);
        }
        m_pDialog->move(client.topLeft());
    }

    /// Places the controls by their anchors in a client area larger than the template.
    void LayOut() {
        const int nGrowX = m_pContent->width() - m_templateSize.width();
        const int nGrowY = m_pContent->height() - m_templateSize.height();
        for (const Placed& placed : m_layout) {
            if (placed.nAnchor != 0) {
                const RECT r = AnchoredRect(placed.original, placed.nAnchor, nGrowX, nGrowY);
                placed.pWidget->setGeometry(static_cast<int>(r.left), static_cast<int>(r.top),
                                            static_cast<int>(r.right - r.left),
                                            static_cast<int>(r.bottom - r.top));
            }
        }
    }

    /// Shows the dialog no larger than the work area of its screen, and within it.
    void ShowOnScreen() {
        const RECT frame = GetWindowRect();
        const QScreen* pScreen =
            QGuiApplication::screenAt(QPoint(static_cast<int>((frame.left + frame.right) / 2),
                                             static_cast<int>((frame.top + frame.bottom) / 2)));
        if (pScreen == nullptr && m_pParent != nullptr) {
            pScreen = m_pParent->Widget()->screen();
        }
        if (pScreen == nullptr) {
            pScreen = QGuiApplication::primaryScreen();
        }
        if (pScreen != nullptr) {
            const QRect work = pScreen->availableGeometry();
            const RECT fitted =
                FitIntoWorkArea(frame, RECT{work.left(), work.top(), work.left() + work.width(),
                                            work.top() + work.height()});
            const QSize frameExtra(
                static_cast<int>(frame.right - frame.left) - m_pDialog->width(),
                static_cast<int>(frame.bottom - frame.top) - m_pDialog->height());
            const QSize inner(static_cast<int>(fitted.right - fitted.left) - frameExtra.width(),
                              static_cast<int>(fitted.bottom - fitted.top) - frameExtra.height());
            if (m_bSizable) {
                m_pDialog->setMinimumSize(m_templateSize.boundedTo(inner));
                m_pDialog->resize(m_pDialog->size().boundedTo(inner));
            } else if (inner != m_pDialog->size()) {
                m_pDialog->setFixedSize(m_templateSize.boundedTo(inner));
            }
            m_pDialog->move(static_cast<int>(fitted.left), static_cast<int>(fitted.top));
        }
        m_pDialog->show();
    }

    ~DialogWindow() override {
        m_pContent->m_pWindow = nullptr;
        m_layout.clear();
        m_children.clear();
        if (m_pDialog != nullptr) {
            m_pDialog->m_pWindow = nullptr;
            m_pDialog->hide();
            delete m_pDialog;
        }
    }

    QWidget* Widget() const override { return m_pDialog; }
    NativeWindow* GetChild(int nID) override {
        for (const auto& pChild : m_children) {
            if (pChild->GetDlgCtrlID() == nID) {
                return pChild.get();
            }
        }
        return nullptr;
    }
    void SetText(const char* pszText) override { m_pDialog->setWindowTitle(FromBytes(pszText)); }
    void Show(int nCmdShow) override {
        if (nCmdShow == SW_HIDE) {
            m_pDialog->hide();
        } else {
            m_pDialog->show();
        }
    }

    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
            case WM_SETICON:
                if (const auto* pIcon = reinterpret_cast<const Icon*>(lParam)) {
                    m_pDialog->setWindowIcon(pIcon->icon);
                }
                return 0;
            case WM_NEXTDLGCTL: {
                // lParam TRUE: wParam is the control that gets the focus; a push button also
                // becomes the default button.
                QtWindow* pTarget = nullptr;
                if (lParam != 0) {
                    for (const auto& pChild : m_children) {
                        if (reinterpret_cast<WPARAM>(static_cast<NativeWindow*>(pChild.get())) ==
                            wParam) {
                            pTarget = pChild.get();
                        }
                    }
                }
                if (pTarget != nullptr) {
                    SetDefaultButton(pTarget);
                    pTarget->Widget()->setFocus(Qt::TabFocusReason);
                }
                return 0;
            }
            case DM_SETDEFID:
                SetDefaultButton(GetChild(static_cast<int>(wParam)));
                return TRUE;
            default:
                return 0;
        }
    }

    void PaintIcon(int x, int y, HICON hIcon) override {
        if (m_pDialog->m_bInPaint && hIcon != nullptr) {
            QPainter painter(m_pDialog);
            painter.drawPixmap(x, y, hIcon->icon.pixmap(32, 32));
        }
    }

    /// Makes the control the default button when it is a push button, and no other.
    void SetDefaultButton(NativeWindow* pControl) {
        for (const auto& pChild : m_children) {
            if (auto* pButton = qobject_cast<QPushButton*>(pChild->Widget())) {
                pButton->setDefault(pChild.get() == pControl);
            }
        }
    }

    INT_PTR RunModal() {
        if (m_bEnded) {
            return m_nResult;
        }
        // Application-modal: the owner takes no input while the dialog is up.
        m_pDialog->setWindowModality(Qt::ApplicationModal);
        QWidget* pOwner = m_pParent ? m_pParent->Widget() : nullptr;
        ShowOnScreen();
        m_pDialog->raise();
        m_pDialog->activateWindow();
        QEventLoop loop;
        m_pLoop = &loop;
        if (!m_bEnded) {
            loop.exec(QEventLoop::DialogExec);
        }
        m_pLoop = nullptr;
        if (pOwner != nullptr) {
            pOwner->activateWindow();
        }
        m_pDialog->hide();
        return m_nResult;
    }

    void EndModal(INT_PTR nResult) {
        m_nResult = nResult;
        m_bEnded = true;
        if (m_pLoop != nullptr) {
            m_pLoop->quit();
        }
    }

    LxDialog* m_pDialog;

private:
    /// Dialog units from the dialog font: the desktop's sans-serif font at the template's size.
    void SetDialogUnits(int nPointSize) {
        QFont font = QApplication::font();
        font.setPointSize(nPointSize);
        m_pDialog->setFont(font);
        const QFontMetrics metrics(font);
        m_nBaseX = std::max(1, (metrics.horizontalAdvance(QStringLiteral(
                                    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) +
                                26) /
                                   52);
        m_nBaseY = std::max(1, metrics.height());
    }

    /// Makes the controls of the template at their places, in its tab order.
    void PlaceControls(const std::vector<ControlTemplate>& controls) {
        QWidget* pPrevious = nullptr;
        for (const ControlTemplate& control : controls) {
            std::unique_ptr<QtWindow> pControl = MakeControl(control, this, m_pContent);
            if (pControl == nullptr) {
                continue;
            }
            QWidget* pWidget = pControl->Widget();
            const QRect rect = ToPixels(control.x, control.y, control.cx, control.cy);
            pWidget->setGeometry(rect);
            m_layout.push_back(Placed{pWidget,
                                      RECT{rect.left(), rect.top(), rect.left() + rect.width(),
                                           rect.top() + rect.height()},
                                      control.nAnchor});
            pWidget->setVisible((control.dwStyle & WS_VISIBLE) != 0);
            pWidget->setEnabled((control.dwStyle & WS_DISABLED) == 0);
            pControl->FitToTemplate();
            if ((control.dwStyle & WS_TABSTOP) != 0) {
                pWidget->setFocusPolicy(Qt::StrongFocus);
                if (pPrevious != nullptr) {
                    QWidget::setTabOrder(pPrevious, pWidget);
                }
                pPrevious = pWidget;
            }
            m_children.push_back(std::move(pControl));
        }
    }

    QRect ToPixels(int x, int y, int cx, int cy) const {
        return QRect(x * m_nBaseX / 4, y * m_nBaseY / 8, cx * m_nBaseX / 4, cy * m_nBaseY / 8);
    }

    /// A control as the template placed it, and how it follows a larger dialog.
    struct Placed {
        QWidget* pWidget;
        RECT original;
        int nAnchor;
    };

    std::vector<std::unique_ptr<QtWindow>> m_children;
    std::vector<Placed> m_layout;
    QScrollArea* m_pScroll = nullptr;
    LxContent* m_pContent = nullptr;
    QSize m_templateSize;
    bool m_bSizable = false;
    int m_nBaseX = 6;
    int m_nBaseY = 13;
    QEventLoop* m_pLoop = nullptr;
    bool m_bEnded = false;
    INT_PTR m_nResult = -1;
};

void LxContent::resizeEvent(QResizeEvent* pEvent) {
    QWidget::resizeEvent(pEvent);
    if (m_pWindow != nullptr) {
        m_pWindow->LayOut();
    }
}

void LxDialog::closeEvent(QCloseEvent* pEvent) {
    // The close box asks the dialog's object; it decides whether and how the dialog ends.
    pEvent->ignore();
    if (m_pWindow != nullptr) {
        SendMessageTo(m_pWindow, WM_CLOSE, 0, 0);
    }
}

void LxDialog::reject() {
    if (m_pWindow != nullptr) {
        SendMessageTo(m_pWindow, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    }
}

void LxDialog::paintEvent(QPaintEvent* pEvent) {
    QDialog::paintEvent(pEvent);
    if (m_pWindow != nullptr) {
        m_bInPaint = true;
        SendMessageTo(m_pWindow, WM_PAINT, 0, 0);
        m_bInPaint = false;
    }
}

QtWindow* DialogOf(QWidget* pWidget) {
    QWidget* pTop = pWidget ? pWidget->window() : nullptr;
    auto* pDialog = dynamic_cast<LxDialog*>(pTop);
    return pDialog ? pDialog->m_pWindow : nullptr;
}

QtWindow* MakeDialog(const DialogTemplate& dialog, QtWindow* pOwner) {
    return new DialogWindow(dialog, pOwner);
}

void ShowModelessDialog(NativeWindow* pDialog) {
    if (auto* p = dynamic_cast<DialogWindow*>(pDialog)) {
        p->ShowOnScreen();
    }
}

INT_PTR RunModalDialog(NativeWindow* pDialog) {
    return static_cast<DialogWindow*>(pDialog)->RunModal();
}

void EndModalDialog(NativeWindow* pDialog, INT_PTR nResult) {
    if (auto* p = dynamic_cast<DialogWindow*>(pDialog)) {
        p->EndModal(nResult);
    }
}

}  // namespace ui::qt
