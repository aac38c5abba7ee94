// The dialog framework: windows, dialogs, controls, message maps and the application object.
//
// These classes carry the names and the behaviour that the program's dialogs are written against
// (CWnd, CDialogEx, CEdit, CWinApp, message maps with On... handlers). They link no toolkit: every
// window is a ui::NativeWindow made by the installed ui::Backend (see Backend.h). Without a backend
// no window exists, and every operation on a window quietly does nothing, which is how the report
// and the device search run in tools and tests that have no display.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ui/Types.h"

namespace fw {

class CCmdTarget;
class CWnd;

/// One entry of a message map. For WM_COMMAND entries nCode is the notification code and nID the
/// control identifier; for other messages both are 0. pfn calls the handler on the object.
struct AFX_MSGMAP_ENTRY {
    UINT nMessage;
    UINT nCode;
    UINT nID;
    LRESULT (*pfn)(CCmdTarget* pTarget, WPARAM wParam, LPARAM lParam);
};

/// A class's message map: its own entries (ending with an entry whose pfn is null) and the map of
/// its base class, searched after its own.
struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

#define DECLARE_MESSAGE_MAP()                     \
protected:                                        \
    static const AFX_MSGMAP* GetThisMessageMap(); \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)          \
    const AFX_MSGMAP* theClass::GetMessageMap() const { \
        return GetThisMessageMap();                     \
    }                                                   \
    const AFX_MSGMAP* theClass::GetThisMessageMap() {   \
        using ThisClass = theClass;                     \
        using TheBaseClass = baseClass;                 \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {
#define END_MESSAGE_MAP()                                                                         \
    { 0, 0, 0, nullptr }                                                                          \
    }                                                                                             \
    ;                                                                                             \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]}; \
    return &messageMap;                                                                           \
    }

#define ON_CONTROL(code, id, memberFxn)                          \
    {WM_COMMAND, static_cast<UINT>(code), static_cast<UINT>(id), \
     [](CCmdTarget* p, WPARAM, LPARAM) -> LRESULT {              \
         static_cast<ThisClass*>(p)->memberFxn();                \
         return 0;                                               \
     }},
#define ON_COMMAND(id, memberFxn) ON_CONTROL(0, id, memberFxn)
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_LBN_DBLCLK(id, memberFxn) ON_CONTROL(LBN_DBLCLK, id, memberFxn)
#define ON_LBN_SELCHANGE(id, memberFxn) ON_CONTROL(LBN_SELCHANGE, id, memberFxn)
#define ON_MESSAGE_VOID(message, memberFxn)                        \
    {message, 0, 0, [](CCmdTarget* p, WPARAM, LPARAM) -> LRESULT { \
         static_cast<ThisClass*>(p)->memberFxn();                  \
         return 0;                                                 \
     }},
/// A message to a handler taking (wParam, lParam) and returning its result.
#define ON_MESSAGE(message, memberFxn)                                 \
    {message, 0, 0, [](CCmdTarget* p, WPARAM w, LPARAM l) -> LRESULT { \
         return static_cast<ThisClass*>(p)->memberFxn(w, l);           \
     }},
#define ON_WM_DESTROY() ON_MESSAGE_VOID(WM_DESTROY, OnDestroy)
#define ON_WM_PAINT() ON_MESSAGE_VOID(WM_PAINT, OnPaint)
#define ON_WM_CLOSE() ON_MESSAGE_VOID(WM_CLOSE, OnClose)
#define ON_WM_QUERYDRAGICON()                                                             \
    {WM_QUERYDRAGICON, 0, 0, [](CCmdTarget* p, WPARAM, LPARAM) -> LRESULT {               \
         return reinterpret_cast<LRESULT>(static_cast<ThisClass*>(p)->OnQueryDragIcon()); \
     }},
/// WM_CONTEXTMENU to a handler taking (the window the user asked it of: the control, or the
/// window itself; the point in screen coordinates); the point is (-1, -1) when the user asked
/// from the keyboard.
#define ON_WM_CONTEXTMENU()                                                             \
    {WM_CONTEXTMENU, 0, 0, [](CCmdTarget* p, WPARAM w, LPARAM l) -> LRESULT {           \
         const POINT point{static_cast<short>(LOWORD(static_cast<std::uintptr_t>(l))),  \
                           static_cast<short>(HIWORD(static_cast<std::uintptr_t>(l)))}; \
         CWnd* pWnd = CWnd::FromHandle(reinterpret_cast<HWND>(w));                      \
         static_cast<ThisClass*>(p)->OnContextMenu(                                     \
             pWnd != nullptr ? pWnd : static_cast<ThisClass*>(p), point);               \
         return 0;                                                                      \
     }},
/// A scroll message (WM_HSCROLL or WM_VSCROLL) to a handler taking (code, position, scroll bar).
#define ON_SCROLL_MESSAGE(message, memberFxn)                                     \
    {message, 0, 0, [](CCmdTarget* p, WPARAM w, LPARAM l) -> LRESULT {            \
         static_cast<ThisClass*>(p)->memberFxn(LOWORD(w), HIWORD(w),              \
                                               reinterpret_cast<CScrollBar*>(l)); \
         return 0;                                                                \
     }},

/// Root of the class tree.
class CObject {
public:
    virtual ~CObject() = default;
};

/// A class that can receive messages through a message map.
class CCmdTarget : public CObject {
public:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;

    /// Looks the message up in this object's message map chain and runs the handler. Returns
    /// true, with the handler's result in *pResult, when an entry matched.
    bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
};

class CScrollBar;

/// A window: a dialog or a control. m_hWnd is null while no native window is attached; every
/// operation then does nothing and returns 0, false or null.
class CWnd : public CCmdTarget {
public:
    CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
    ~CWnd() override;

    HWND m_hWnd = nullptr;

    HWND GetSafeHwnd() const { return m_hWnd; }
    /// The object of a window: the one that subclassed it, else the framework's stand-in; null
    /// for null.
    static CWnd* FromHandle(HWND hWnd);

    /// The child control with the identifier, or null. Controls that no object has subclassed are
    /// represented by a plain CWnd that the framework keeps for the control's lifetime.
    CWnd* GetDlgItem(int nID) const;
    /// The parent of a control (its dialog), or the owner of a dialog; null when there is none.
    CWnd* GetParent() const;
    int GetDlgCtrlID() const;

    /// Sends the message to this window: its message map first, then the default processing.
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    /// Queues the message for this window; it is handled after the current handler returns, in
    /// the order of posting. Returns FALSE when there is no window.
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

    /// Paints the window's changes now, while a handler keeps the thread busy.
    void UpdateWindow();
    /// While a handler keeps the thread busy for long: paints, and takes the user's input without
    /// acting on it (see ui::Backend::PumpWhileBusy). Appends what the user asked of this window's
    /// dialog meanwhile to *pCommands: IDCANCEL for a request to close it, or the id of a push
    /// button clicked. Call it at least every 100 ms.
    void PumpWhileBusy(std::vector<int>* pCommands);
    void SetWindowText(const char* pszText);
    std::string GetWindowText() const;
    BOOL EnableWindow(BOOL bEnable = TRUE);
    BOOL IsWindowEnabled() const;
    BOOL ShowWindow(int nCmdShow);
    BOOL IsWindowVisible() const;
    CWnd* SetFocus();
    void GetWindowRect(RECT* pRect) const;
    void GetClientRect(RECT* pRect) const;
    void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE);
    BOOL IsIconic() const;
    void SetIcon(HICON hIcon, BOOL bBigIcon);
    /// Shows the text in a modal message box over this window (an error the user must read);
    /// returns IDOK once it is closed. Without a backend, writes it to standard error.
    int MessageBox(const char* pszText);

    /// Attaches this object to the control nID of pParent, so that the control's messages reach
    /// this object's message map first. Returns FALSE when there is no such control.
    BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
    /// Detaches this object from its window without destroying the window.
    HWND UnsubclassWindow();

    /// Processes one message: message map, then DefWindowProc.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    /// The window's own (native) processing of a message.
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    /// Called for every message taken from the queue before it is dispatched; TRUE consumes it.
    virtual BOOL PreTranslateMessage(MSG* pMsg);

    /// Runs the default processing of the message being handled.
    LRESULT Default();

    static const AFX_MSGMAP* GetThisMessageMap();
    const AFX_MSGMAP* GetMessageMap() const override;

protected:
    UINT m_nCurrentMessage = 0;
    WPARAM m_nCurrentWParam = 0;
    LPARAM m_nCurrentLParam = 0;
};

/// Whether the handle names a window that still exists.
BOOL IsWindow(HWND hWnd);

/// A scroll bar (only ever passed along with scroll messages).
class CScrollBar : public CWnd {};

/// An edit control.
class CEdit : public CWnd {
public:
    void SetSel(int nStart, int nEnd) { SendMessage(EM_SETSEL, static_cast<WPARAM>(nStart), nEnd); }
    UINT GetLimitText() const;
    void SetLimitText(UINT nMax) { SendMessage(EM_LIMITTEXT, nMax, 0); }
    void LineScroll(int nLines, int nChars = 0) { SendMessage(EM_LINESCROLL, nChars, nLines); }
};

/// A list box.
class CListBox : public CWnd {
public:
    int AddString(const char* psz) {
        return static_cast<int>(SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(psz)));
    }
    int GetCurSel() { return static_cast<int>(SendMessage(LB_GETCURSEL)); }
    int SetCurSel(int n) {
        return static_cast<int>(SendMessage(LB_SETCURSEL, static_cast<WPARAM>(n)));
    }
    int GetCount() { return static_cast<int>(SendMessage(LB_GETCOUNT)); }
};

/// A modal dialog made from a dialog template.
class CDialog : public CWnd {
public:
    CDialog(UINT nIDTemplate, CWnd* pParentWnd);
    /// Destroys a window that is still there.
    ~CDialog() override;

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;

    /// The result given to EndDialog; -1 while the dialog has not been ended.
    INT_PTR m_nModalResult = -1;

    /// Creates the dialog from its template (owner: the parent given, else the application's main
    /// window), runs OnInitDialog and the modal loop, destroys the window and returns the result
    /// given to EndDialog. Returns -1 when no window can be created (the window system refused
    /// it, or there is no such template: a programming error).
    virtual INT_PTR DoModal();
    /// Ends the modal loop with the result once the current handler returns; during
    /// OnInitDialog it keeps the dialog from being shown at all.
    void EndDialog(int nResult);
    /// Creates the dialog as a modeless window, runs OnInitDialog and shows it. Returns FALSE when
    /// no window can be created.
    BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    /// Destroys a window made by Create.
    BOOL DestroyWindow();
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    void OnClose();

    static const AFX_MSGMAP* GetThisMessageMap();
    const AFX_MSGMAP* GetMessageMap() const override;

private:
    /// Destroys the native window, if there is one, without sending it any message.
    void ReleaseWindow();
};

/// The extended dialog; it adds nothing the program uses.
class CDialogEx : public CDialog {
public:
    CDialogEx(UINT nIDTemplate, CWnd* pParent = nullptr) : CDialog(nIDTemplate, pParent) {}
};

/// The application object: one per program, started by the framework's entry point.
class CWinApp : public CCmdTarget {
public:
    explicit CWinApp(const char* pszAppName = nullptr);
    ~CWinApp() override;

    CWnd* m_pMainWnd = nullptr;
    DWORD m_dwRestartManagerSupportFlags = 0;
    const char* m_pszRegistryKey = nullptr;

    virtual BOOL InitInstance();
    virtual int ExitInstance();
    /// Called for every message that the thread takes from its queue, before it is dispatched.
    virtual BOOL PreTranslateMessage(MSG* pMsg);

    void SetRegistryKey(const char* pszKey) { m_pszRegistryKey = pszKey; }
    void OnHelp() {}

    static const AFX_MSGMAP* GetThisMessageMap();
    const AFX_MSGMAP* GetMessageMap() const override;
};

constexpr DWORD AFX_RESTART_MANAGER_SUPPORT_RESTART = 0x01;

/// A device context for painting during WM_PAINT.
class CPaintDC {
public:
    explicit CPaintDC(CWnd* pWnd) : m_pWnd(pWnd) {}
    /// Handle of the context, as WM_ICONERASEBKGND carries it.
    WPARAM GetSafeHdc() const { return reinterpret_cast<WPARAM>(this); }
    /// Draws the icon at its size with its top left corner at (x, y) of the client area.
    BOOL DrawIcon(int x, int y, HICON hIcon);

private:
    CWnd* m_pWnd;
};

}  // namespace fw

namespace ui {
/// Called by CDialog::DoModal after OnInitDialog and before the modal loop; the seam through
/// which tests look at and end modal dialogs (null: none).
using ModalObserver = void (*)(fw::CDialog* pDialog, void* pContext);
void SetModalObserver(ModalObserver pObserver, void* pContext);
}  // namespace ui

namespace fw {

/// The one application object, or null before it is constructed.
CWinApp* AfxGetApp();
/// The application's main window, or null.
CWnd* AfxGetMainWnd();

/// The wait cursor, and setting the cursor (returns the cursor it replaces).
HCURSOR AfxWaitCursor();
HCURSOR SetCursor(HCURSOR hCursor);
/// The icon with the resource identifier, or null.
HICON AfxLoadIcon(int nID);
/// Shows the text in a modal message box with an OK button, over the main window if there is
/// one; returns IDOK. Without a backend, writes it to standard error.
int AfxMessageBox(const char* pszText);
/// Metrics of the display (SM_CXICON, SM_CYICON).
int GetSystemMetrics(int nIndex);
/// Puts the text (Windows-1252) on the clipboard; FALSE when it cannot (or without a backend).
BOOL AfxSetClipboardText(const char* pszText);

}  // namespace fw
