// The interface between the dialog framework and the toolkit that draws its windows.
//
// A backend makes the native windows of dialogs and their controls from the dialog templates,
// runs modal loops, delivers posted messages and reports user input as window messages to the
// window's CWnd (NativeWindow::m_pOwner). The framework itself never touches a toolkit. Two
// backends implement it: qt/ (Qt 6 Widgets) and win32/ (the Windows dialog manager), with files
// of the same names for the same concerns.
//
// What every backend promises (code against this text, not against the other backend):
//
// Posted messages. NativeWindow::Post queues a message; it is delivered with SendMessageTo after
// the handler that is running has returned, never inside it. Messages are delivered one at a
// time in the order they were posted, across all windows of the program. A message posted to a
// window that is destroyed before its turn is dropped, silently.
//
// Keys. Every key message (on Windows every WM_KEYDOWN .. WM_CHAR, on Qt each key press as the
// WM_CHAR code it produces) goes to CWinApp::PreTranslateMessage first, with MSG::hwnd the window
// that has the focus, before the dialog manager acts on it (Tab, Enter, Escape, arrows). When
// PreTranslateMessage returns TRUE the key goes no further. The dialog manager's keys: Escape
// sends IDCANCEL to the dialog; Enter clicks the push button that has the focus, else sends IDOK
// (also from a read-only multiline edit, which does not take Enter for itself).
//
// Painting while busy. A handler may keep the thread busy for seconds (the device search).
// Windows change on the screen only when painted; NativeWindow::Update (CWnd::UpdateWindow) paints
// the window's changes at once and shows them, without delivering input or posted messages. The
// framework never relies on painting between two messages of one handler without it.
//
// Destruction. DestroyWindow destroys the window and its controls. Afterwards every handle to
// them (HWND, the NativeWindow objects, the CWnd stand-ins of unsubclassed controls) is invalid,
// IsWindow is false for them, and their queued posted messages are dropped. The framework sends
// WM_DESTROY itself, before it asks the backend to destroy the window; a backend does not forward
// the toolkit's own destruction notice. EndModal may come before RunModal (a dialog that ends in
// its initialisation): RunModal then returns the result at once, and the dialog is never shown.
//
// Modal dialogs. RunModal shows the dialog, disables its owner, and runs a loop until EndModal;
// the owner is enabled again before the dialog hides, so that it becomes the active window.
// Text. Every text crosses the interface as the program's Windows-1252 bytes; a backend converts
// at its edge and shows control characters as visible pictures, one character a byte.
#pragma once

#include <memory>
#include <string>

#include "ui/Types.h"

namespace fw {
class CWnd;
}  // namespace fw

namespace ui {

/// One native window or control. HWND points to one of these.
class NativeWindow {
public:
    NativeWindow();
    virtual ~NativeWindow();
    NativeWindow(const NativeWindow&) = delete;
    NativeWindow& operator=(const NativeWindow&) = delete;

    /// The object that receives this window's messages; null for a control nobody subclassed.
    fw::CWnd* m_pOwner = nullptr;
    /// The framework's stand-in object for a control that no object has subclassed.
    std::unique_ptr<fw::CWnd> m_pPermanent;

    virtual int GetDlgCtrlID() const = 0;
    /// The child control with the identifier, or null.
    virtual NativeWindow* GetChild(int nID) = 0;
    /// A control's dialog, or a dialog's owner; null when there is none.
    virtual NativeWindow* GetParentWindow() = 0;
    /// The window's native processing of a message (edit and list-box messages, WM_SETICON,
    /// WM_NEXTDLGCTL, ...). Returns 0 for messages it does not know.
    virtual fw::LRESULT DefaultProc(fw::UINT message, fw::WPARAM wParam, fw::LPARAM lParam) = 0;
    virtual void SetText(const char* pszText) = 0;
    virtual std::string GetText() const = 0;
    virtual void Enable(bool bEnable) = 0;
    virtual bool IsEnabled() const = 0;
    virtual void Show(int nCmdShow) = 0;
    virtual bool IsVisible() const = 0;
    virtual fw::RECT GetWindowRect() const = 0;
    virtual fw::RECT GetClientRect() const = 0;
    virtual void Move(int x, int y, int nWidth, int nHeight, bool bRepaint) = 0;
    virtual void SetFocus() = 0;
    virtual bool IsIconic() const = 0;
    /// Queues a message; the backend later hands it to SendMessageTo(this, ...), unless the window
    /// has been destroyed by then.
    virtual void Post(fw::UINT message, fw::WPARAM wParam, fw::LPARAM lParam) = 0;
    /// Draws an icon while the window handles WM_PAINT.
    virtual void PaintIcon(int x, int y, fw::HICON hIcon) = 0;
    /// Paints what has changed now, and shows it, although the handler that changed it keeps the
    /// thread busy (the search blocks it for seconds); input and posted messages wait.
    virtual void Update() = 0;
};

/// Delivers a message to a window: to its owner object's WindowProc, or, when it has none, to its
/// native processing.
fw::LRESULT SendMessageTo(NativeWindow* pWindow, fw::UINT message, fw::WPARAM wParam,
                          fw::LPARAM lParam);

/// The toolkit behind the framework.
class Backend {
public:
    virtual ~Backend();
    /// Makes the window of dialog template nIDTemplate, with its controls, hidden; pOwner may be
    /// null. Returns null when there is no such template.
    virtual NativeWindow* CreateDialogWindow(fw::UINT nIDTemplate, fw::CWnd* pDialog,
                                             NativeWindow* pOwner) = 0;
    /// Shows the dialog, disables its owner and runs a modal loop until EndModal; returns the
    /// result. Returns at once when EndModal came first.
    virtual fw::INT_PTR RunModal(NativeWindow* pDialog) = 0;
    virtual void EndModal(NativeWindow* pDialog, fw::INT_PTR nResult) = 0;
    /// Shows a dialog made by CreateDialogWindow without a modal loop.
    virtual void ShowModeless(NativeWindow* pDialog) = 0;
    /// Destroys the window and its controls; handles to them become invalid.
    virtual void DestroyWindow(NativeWindow* pWindow) = 0;
    virtual bool IsWindow(NativeWindow* pWindow) const = 0;
    virtual fw::HCURSOR SetCursor(fw::HCURSOR hCursor) = 0;
    virtual fw::HCURSOR WaitCursor() = 0;
    virtual fw::HICON LoadIcon(int nID) = 0;
    virtual int GetSystemMetrics(int nIndex) = 0;
    /// A modal message box with the text and an OK button, over pOwner (may be null), in the
    /// style of the platform's errors; returns when the user closed it.
    virtual void MessageBox(NativeWindow* pOwner, const char* pszText) = 0;
};

/// The installed backend, or null (then no window is ever created).
Backend* GetBackend();

/// Installs a backend; returns the previous one.
Backend* SetBackend(Backend* pBackend);

/// A call the program should never make with a backend installed (a dialog template or a control
/// id that does not exist): writes one line to standard error, and in debug builds stops the
/// program there, as a failed assertion does. Without a backend such calls stay quiet, for tests
/// of the framework's own logic.
void ProgrammingError(const char* pszWhat, long nId);

}  // namespace ui
