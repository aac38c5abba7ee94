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
// (also from a read-only multiline edit, which does not take Enter for itself; an editable one,
// ES_WANTRETURN, takes it for a new line).
//
// Painting while busy. A handler may keep the thread busy for seconds (the device search).
// Windows change on the screen only when painted; NativeWindow::Update (CWnd::UpdateWindow) paints
// the window's changes at once and shows them, without delivering input or posted messages, and
// Backend::PumpWhileBusy (CWnd::PumpWhileBusy) lets the window system's events through and takes
// the user's input without acting on it. The framework never relies on painting between two
// messages of one handler without them.
//
// Destruction. DestroyWindow destroys the window and its controls. Afterwards every handle to
// them (HWND, the NativeWindow objects, the CWnd stand-ins of unsubclassed controls) is invalid,
// IsWindow is false for them, and their queued posted messages are dropped. The framework sends
// WM_DESTROY itself, before it asks the backend to destroy the window; a backend does not forward
// the toolkit's own destruction notice. EndModal may come before RunModal (a dialog that ends in
// its initialisation): RunModal then returns the result at once, and the dialog is never shown.
//
// Context menus. When the user asks for a control's context menu (a right click, the menu key,
// Shift+F10), the control gets WM_CONTEXTMENU: wParam its NativeWindow, lParam the point in
// screen coordinates (x in the low word, y in the high word, each signed), or -1 from the
// keyboard. Its default processing shows the toolkit's own menu of the control, if it has one
// (the edit control), else sends the message on to its dialog, as Windows' default window
// procedure does. A right click on a list box line selects it first (LBN_SELCHANGE).
//
// Size. A dialog is never larger than the work area of its screen: when it is shown, a dialog
// that would be is made as large as the work area, and its controls, laid out at the template's
// size, can be scrolled into view (its scroll bars, the mouse wheel, and the keyboard focus,
// which brings its control into view). A dialog with WS_THICKFRAME has a sizing border: it can
// be made larger than its template, never smaller than its template or the work area, and its
// controls then follow their anchors (ControlTemplate::nAnchor, ui/Layout.h). A list box with
// WS_HSCROLL scrolls sideways when a line is wider than the list.
//
// Modal dialogs. RunModal shows the dialog, disables its owner, and runs a loop until EndModal;
// the owner is enabled again before the dialog hides, so that it becomes the active window.
// Text. Every text crosses the interface as the program's Windows-1252 bytes; a backend converts
// at its edge and shows control characters as visible pictures, one character a byte.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ui/MenuItem.h"
#include "ui/Types.h"

namespace fw {
class CWnd;
}  // namespace fw

namespace ui {

/// One native window or control. HWND points to one of these. A backend creates them in
/// Backend::CreateDialogWindow (the dialog and all its controls at once) and deletes them in
/// Backend::DestroyWindow (the dialog's controls with it); the framework never creates or deletes
/// one itself.
class NativeWindow {
public:
    NativeWindow();
    /// Clears the m_hWnd of the owner object and of the stand-in, so that no CWnd keeps a handle
    /// to a deleted window.
    virtual ~NativeWindow();
    NativeWindow(const NativeWindow&) = delete;
    NativeWindow& operator=(const NativeWindow&) = delete;

    /// The object that receives this window's messages; null for a control nobody subclassed.
    /// Set and cleared by the framework only; not owned.
    fw::CWnd* m_pOwner = nullptr;
    /// The framework's stand-in object for a control that no object has subclassed; owned, made
    /// by the framework on first use.
    std::unique_ptr<fw::CWnd> m_pPermanent;

    /// The control's identifier from its template; 0 for a dialog.
    virtual int GetDlgCtrlID() const = 0;
    /// A dialog's control with the identifier (the first, when several share it); null when
    /// there is none, and always null for a control. Not owned by the caller.
    virtual NativeWindow* GetChild(int nID) = 0;
    /// A control's dialog, or a dialog's owner; null when there is none. Not owned.
    virtual NativeWindow* GetParentWindow() = 0;
    /// The window's native processing of a message, as Windows' default window procedure would do
    /// it, in the program's terms (text as Windows-1252 bytes, icons as HICON). Every backend
    /// handles: for a dialog WM_SETICON, WM_NEXTDLGCTL (wParam a NativeWindow* when lParam is
    /// TRUE), DM_SETDEFID (wParam the id of the push button that becomes the default button;
    /// IDOK or an id without a push button: none is), WM_ICONERASEBKGND while it paints; for an
    /// edit control EM_LIMITTEXT, EM_GETLIMITTEXT, EM_GETSEL (the start and the end into the DWORDs
    /// that wParam and lParam point to, where they are not null; the result holds the start in its
    /// low word and the end in its high word, or -1 when either is beyond 65,535), EM_SETSEL
    /// (positions in bytes, "\r\n" counting two; -1 and -1 clear the selection and do not scroll),
    /// EM_REPLACESEL (lParam the text, which replaces the selection and leaves the caret behind
    /// it), EM_SCROLLCARET and EM_LINESCROLL, WM_HSCROLL and WM_VSCROLL (scrolls as the code says);
    /// for a list box LB_ADDSTRING (lParam the text), LB_GETTEXT (lParam a buffer large enough),
    /// LB_SETCURSEL, LB_GETCURSEL, LB_GETCOUNT. Returns 0 for any other message.
    virtual fw::LRESULT DefaultProc(fw::UINT message, fw::WPARAM wParam, fw::LPARAM lParam) = 0;
    /// A dialog's caption or a control's text, as the program's 8-bit text (never null).
    virtual void SetText(const char* pszText) = 0;
    virtual std::string GetText() const = 0;
    virtual void Enable(bool bEnable) = 0;
    virtual bool IsEnabled() const = 0;
    /// SW_HIDE hides, anything else shows.
    virtual void Show(int nCmdShow) = 0;
    virtual bool IsVisible() const = 0;
    /// The outer rectangle in screen coordinates (a dialog's with its frame, once the window
    /// system knows it).
    virtual fw::RECT GetWindowRect() const = 0;
    /// The client area, with its top left corner at (0, 0).
    virtual fw::RECT GetClientRect() const = 0;
    /// Moves and sizes by the outer rectangle: in screen coordinates for a dialog, in its
    /// dialog's client coordinates for a control.
    virtual void Move(int x, int y, int nWidth, int nHeight, bool bRepaint) = 0;
    virtual void SetFocus() = 0;
    virtual bool IsIconic() const = 0;
    /// Queues a message; the backend later hands it to SendMessageTo(this, ...), unless the window
    /// has been destroyed by then. Any window may be posted to, a control as well as a dialog.
    virtual void Post(fw::UINT message, fw::WPARAM wParam, fw::LPARAM lParam) = 0;
    /// Draws an icon while the window handles WM_PAINT; nothing at any other time.
    virtual void PaintIcon(int x, int y, fw::HICON hIcon) = 0;
    /// Paints what has changed now, and shows it, although the handler that changed it keeps the
    /// thread busy (the search blocks it for seconds); input and posted messages wait.
    virtual void Update() = 0;
};

/// Delivers a message to a window: to its owner object's WindowProc, or, when it has none, to its
/// native processing. Null delivers nothing and returns 0.
fw::LRESULT SendMessageTo(NativeWindow* pWindow, fw::UINT message, fw::WPARAM wParam,
                          fw::LPARAM lParam);

/// What a save dialog asks the user for.
struct SaveFileRequest {
    std::string title;  ///< the dialog's caption (Windows-1252)
    /// The kinds of file the user chooses among: a label (Windows-1252) and the extension
    /// without its dot ("csv"). At least one.
    std::vector<std::pair<std::string, std::string>> filters;
    int nFilter = 0;          ///< the kind chosen at first (index into filters)
    std::string initialName;  ///< the name offered at first, in the file system's encoding
};

/// What the user chose in a save dialog.
struct SaveFileChoice {
    /// The whole path, in the file system's encoding (UTF-8 on Windows), ending with the
    /// extension of the chosen kind when the user typed a name without an extension.
    std::string path;
    int nFilter = 0;  ///< the kind chosen (index into the request's filters)
};

/// The toolkit behind the framework.
class Backend {
public:
    virtual ~Backend();
    /// Makes the window of dialog template nIDTemplate, with its controls, hidden; pOwner may be
    /// null. The backend owns the window until DestroyWindow. Returns null when there is no such
    /// template; sends no message to pDialog (the framework sends WM_INITDIALOG itself).
    virtual NativeWindow* CreateDialogWindow(fw::UINT nIDTemplate, fw::CWnd* pDialog,
                                             NativeWindow* pOwner) = 0;
    /// Shows the dialog, disables its owner and runs a modal loop until EndModal; returns the
    /// result. Returns at once, without showing the dialog, when EndModal came first. The owner is
    /// enabled again, and made active, before the dialog hides.
    virtual fw::INT_PTR RunModal(NativeWindow* pDialog) = 0;
    /// Ends the modal loop of the dialog with the result once the running handler returns (or
    /// before the loop starts). Nothing for a window that is no dialog.
    virtual void EndModal(NativeWindow* pDialog, fw::INT_PTR nResult) = 0;
    /// Shows a dialog made by CreateDialogWindow without a modal loop.
    virtual void ShowModeless(NativeWindow* pDialog) = 0;
    /// Destroys the window and its controls and deletes their objects; handles to them become
    /// invalid, and their posted messages are dropped. Sends the window no message.
    virtual void DestroyWindow(NativeWindow* pWindow) = 0;
    /// Whether the handle names a window that still exists (null: false).
    virtual bool IsWindow(NativeWindow* pWindow) const = 0;
    /// Sets the cursor of the program's windows; returns the one it replaces. Null: the arrow.
    virtual fw::HCURSOR SetCursor(fw::HCURSOR hCursor) = 0;
    /// The wait cursor; owned by the backend.
    virtual fw::HCURSOR WaitCursor() = 0;
    /// The icon resource nID at every size the program has; owned by the backend (the same
    /// handle for every call). Null when there is none.
    virtual fw::HICON LoadIcon(int nID) = 0;
    /// SM_CXICON and SM_CYICON; 0 for anything else.
    virtual int GetSystemMetrics(int nIndex) = 0;
    /// A modal message box with the text and an OK button, over pOwner (may be null), in the
    /// style of the platform's errors; returns when the user closed it.
    virtual void MessageBox(NativeWindow* pOwner, const char* pszText) = 0;
    /// Shows a popup menu of the items with its top left corner at the point (screen
    /// coordinates), for the window pOwner, and runs its modal loop until the user chooses an
    /// enabled item (returns its nID) or dismisses the menu (returns 0). The menu works from the
    /// keyboard as the platform's menus do: arrows, Enter, Escape, the letters marked by '&'.
    virtual fw::UINT TrackPopupMenu(NativeWindow* pOwner, const std::vector<MenuItem>& items, int x,
                                    int y) = 0;
    /// While a handler keeps the thread busy (the device search), called at least every 100 ms:
    /// paints what changed, lets the window system's own events through (exposure, moving to
    /// another screen), and takes the user's input out of the queue without acting on it: no
    /// handler runs, no control reacts, no posted message is delivered. What the user asked of
    /// pWindow's dialog meanwhile is appended to *pCommands, oldest first: IDCANCEL for a request
    /// to close it (Escape, its close box, Alt+F4, a request of the window system), the id of an
    /// enabled push button of it that was clicked, and for Enter what the dialog manager would
    /// do with it: the id of the focused push button, else of the default button (nothing when
    /// that is disabled), else IDOK. On Windows it also keeps the window from turning "Not
    /// Responding".
    virtual void PumpWhileBusy(NativeWindow* pWindow, std::vector<int>* pCommands) = 0;
    /// The platform's modal dialog in which the user names a file to save to, over pOwner (may
    /// be null): returns true with the choice, or false when the user cancelled. When the file
    /// exists, the platform's own dialog asks before it is chosen. The file itself is neither
    /// created nor opened.
    virtual bool ChooseSaveFile(NativeWindow* pOwner, const SaveFileRequest& request,
                                SaveFileChoice* pChoice) = 0;
    /// Puts the text (Windows-1252) on the clipboard as plain text; false when the clipboard
    /// cannot be had.
    virtual bool SetClipboardText(const char* pszText) = 0;
    /// The work area (the screen without task bars and panels) of the screen that the window is
    /// on, or of the primary screen for null; in screen coordinates.
    virtual fw::RECT WorkArea(NativeWindow* pWindow) = 0;
    /// Asks the operating system to start the program again, with the arguments it was started
    /// with, when it ends the program for an update or a restart (Windows' restart manager).
    /// Nothing on a platform without such a service.
    virtual void RegisterRestart() = 0;
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
