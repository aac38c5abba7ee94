// The dialog framework on Qt 6 Widgets: the backend's own classes, shared by its files (one
// concern each, paired with the Win32 backend's files of the same names: text, window, dialog,
// keys, menu, file dialog, backend; the controls, one a file, in QtControls.h).
#pragma once

#include <QDialog>
#include <QIcon>
#include <QPointer>
#include <QWidget>
#include <QWindow>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ui/Backend.h"
#include "ui/Framework.h"
#include "ui/PostedMessages.h"
#include "ui/Resources.h"

class QKeyEvent;

namespace ui {

class Icon {
public:
    QIcon icon;
};
class Cursor {
public:
    Qt::CursorShape shape;
};

namespace qt {

using namespace fw;

extern const Cursor kArrowCursor;
extern const Cursor kWaitCursor;

// ---- QtText.cpp: text between the program's Windows-1252 and Qt's strings ----
QString FromBytes(std::string_view text);
std::string ToBytes(const QString& text);
/// Report text for display: "\r\n" becomes one line break, other control characters their
/// visible pictures, so that every other byte stays one character.
QString DisplayText(const std::string& text, std::vector<std::size_t>* pLineEnds);

// ---- QtWindow.cpp: the window base and how the event loop delivers posted messages ----
class QtWindow;
/// Makes Qt's event loop deliver the posted messages (the framework's queue): the wake call.
void SchedulePump();
/// Shows what was painted while a handler keeps the thread busy (a search): lets the window
/// system events through, but no input and no posted message.
void FlushDisplay();
/// The busy pump of Backend::PumpWhileBusy.
void PumpWhileBusy(NativeWindow* pWindow, std::vector<int>* pCommands);

// ---- QtMenu.cpp: popup menus ----
/// Backend::TrackPopupMenu.
UINT TrackMenu(NativeWindow* pOwner, const std::vector<MenuItem>& items, int x, int y);

// ---- QtFileDialog.cpp: the save dialog ----
/// Backend::ChooseSaveFile.
bool ChooseFile(NativeWindow* pOwner, const SaveFileRequest& request, SaveFileChoice* pChoice);

/// One dialog or control.
class QtWindow : public NativeWindow {
public:
    QtWindow(int nID, QtWindow* pParent)
        : m_nID(nID), m_pParent(pParent), m_nSerial(AddLiveWindow(this)) {}
    ~QtWindow() override { RemoveLiveWindow(m_nSerial); }

    int GetDlgCtrlID() const override { return m_nID; }
    NativeWindow* GetChild(int) override { return nullptr; }
    NativeWindow* GetParentWindow() override { return m_pParent; }
    LRESULT DefaultProc(UINT, WPARAM, LPARAM) override { return 0; }
    void SetText(const char* pszText) override { Widget()->setWindowTitle(FromBytes(pszText)); }
    std::string GetText() const override { return ToBytes(Widget()->windowTitle()); }
    void Enable(bool bEnable) override { Widget()->setEnabled(bEnable); }
    bool IsEnabled() const override { return Widget()->isEnabled(); }
    void Show(int nCmdShow) override { Widget()->setVisible(nCmdShow != SW_HIDE); }
    bool IsVisible() const override { return Widget()->isVisible(); }
    RECT GetWindowRect() const override {
        QWidget* w = Widget();
        if (w->isWindow()) {
            QRect r = w->frameGeometry();
            if (!w->isVisible()) {
                // Not shown yet: the frame the window system will add is known once the native
                // window exists.
                w->winId();
                const QMargins margins =
                    w->windowHandle() ? w->windowHandle()->frameMargins() : QMargins();
                r = w->geometry().marginsAdded(margins);
            }
            return RECT{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
        }
        const QPoint p = w->mapToGlobal(QPoint(0, 0));
        return RECT{p.x(), p.y(), p.x() + w->width(), p.y() + w->height()};
    }
    RECT GetClientRect() const override {
        return RECT{0, 0, Widget()->width(), Widget()->height()};
    }
    void Move(int x, int y, int nWidth, int nHeight, bool bRepaint) override {
        QWidget* w = Widget();
        if (w->isWindow()) {
            const QRect frame = w->frameGeometry();
            const QRect inner = w->geometry();
            w->move(x, y);
            w->resize(nWidth - (frame.width() - inner.width()),
                      nHeight - (frame.height() - inner.height()));
        } else {
            w->setGeometry(x, y, nWidth, nHeight);
        }
        if (bRepaint) {
            w->update();
        }
    }
    void SetFocus() override { Widget()->setFocus(Qt::OtherFocusReason); }
    bool IsIconic() const override { return Widget()->window()->isMinimized(); }
    void Post(UINT message, WPARAM wParam, LPARAM lParam) override {
        QueuePosted(m_nSerial, message, wParam, lParam);
    }
    void PaintIcon(int, int, HICON) override {}
    void Update() override {
        Widget()->repaint();
        FlushDisplay();
    }

    virtual QWidget* Widget() const = 0;
    /// Called once the dialog has put the control at its template's place: a control whose
    /// size is its own (a picture) takes it.
    virtual void FitToTemplate() {}
    std::uint64_t Serial() const { return m_nSerial; }

protected:
    /// Tells the dialog's window object about a control's notification.
    void Notify(UINT nCode) {
        if (m_pParent != nullptr) {
            SendMessageTo(m_pParent, WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(m_nID), nCode),
                          reinterpret_cast<LPARAM>(static_cast<NativeWindow*>(this)));
        }
    }

    int m_nID;
    QtWindow* m_pParent;
    std::uint64_t m_nSerial;
};

/// Turns the toolkit's request for a context menu of a control (a right click, the menu key)
/// into WM_CONTEXTMENU to the control's window object. Installed on the control and on its
/// viewport.
class ContextMenuRelay final : public QObject {
public:
    explicit ContextMenuRelay(NativeWindow* pWindow) : m_pWindow(pWindow) {}
    bool eventFilter(QObject* pObject, QEvent* pEvent) override;

private:
    NativeWindow* m_pWindow;
};

/// The window object of a widget or of its nearest ancestor that has one.
QtWindow* FromWidget(QWidget* pWidget);
/// Makes the keyboard focus on a framed control (the report, the device list) visible: the
/// desktop's style shows none on them.
void ShowFocusFrame(QWidget* pControl);

// ---- QtDialog.cpp: dialogs from the templates, and their modal loops ----
/// The dialog of the template, hidden; pOwner may be null.
QtWindow* MakeDialog(const DialogTemplate& dialog, QtWindow* pOwner);
INT_PTR RunModalDialog(NativeWindow* pDialog);
/// Shows a dialog without a modal loop, no larger than the work area of its screen.
void ShowModelessDialog(NativeWindow* pDialog);
void EndModalDialog(NativeWindow* pDialog, INT_PTR nResult);
/// The dialog window that a widget belongs to, or null.
QtWindow* DialogOf(QWidget* pWidget);

// ---- QtKeys.cpp: the message pre-translation and the dialog manager's keys ----
class KeyFilter final : public QObject {
public:
    bool eventFilter(QObject* pObject, QEvent* pEvent) override;

private:
    QKeyEvent* m_pLastEvent = nullptr;
    QPointer<QWidget> m_pLastReceiver;
};

}  // namespace qt
}  // namespace ui
