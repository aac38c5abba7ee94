// The dialog framework on the native Windows dialog manager and controls: the backend's own
// classes, shared by its files (one concern each, paired with the Qt backend's files of the same
// names: text, window, controls, edit, dialog, keys, backend).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Win32.h"
#include "Win32Backend.h"
#include "ui/PostedMessages.h"

namespace ui {

class Icon {
public:
    ::HICON hIcon = nullptr;  ///< at the system's size
    int nID = 0;              ///< its resource, for other sizes
};
class Cursor {
public:
    ::HCURSOR hCursor = nullptr;
};

namespace win32 {

// ---- Win32Text.cpp: text between the program's Windows-1252 and Windows' UTF-16 ----
/// Windows-1252 bytes as UTF-16, one unit a byte. With bPictures, control characters other than
/// the "\r\n" of a line end are shown as their visible pictures (U+2400 + code), as the Qt
/// backend shows them; byte positions and character positions stay the same.
std::wstring WideFrom1252(std::string_view text, bool bPictures = false);
/// UTF-16 as Windows-1252; characters it cannot hold become '?', pictures their control bytes.
std::string Bytes1252FromWide(std::wstring_view text);

// ---- Win32Window.cpp: the window base, the registry of live windows, posted messages ----
/// The private message that reminds the program's message window to deliver the oldest posted
/// framework message; one reminder waits in Windows' queue for each.
constexpr UINT kDeliverPosted = WM_APP + 0x4C;
/// The private message with which a dialog, once the dialog manager has moved the focus, brings
/// the focused control into view.
constexpr UINT kShowFocus = WM_APP + 0x4D;
/// Queues a framework message for the window (see Backend.h for the promises): all posted
/// messages wait in one queue, so that they are delivered in the order of posting across all
/// windows, to dialogs and controls alike, and dropped when their window is gone.
/// Makes the thread's loop deliver a posted message (the framework's queue): the wake call.
void WakeForPosted();

/// One native window (a dialog or a control) as the framework sees it.
class Window : public NativeWindow {
public:
    Window(::HWND hwnd, int nID, Window* pParent);
    ~Window() override;

    ::HWND Handle() const { return m_hwnd; }
    /// A number no other window of the process ever has: posted messages find their window by it.
    std::uint64_t Serial() const { return m_nSerial; }
    /// The live window object of a native handle, or null.
    static Window* FromHandle(::HWND hwnd);
    /// Whether the object is a live window.
    static bool IsLive(const NativeWindow* pWindow);

    int GetDlgCtrlID() const override { return m_nID; }
    NativeWindow* GetChild(int) override { return nullptr; }
    NativeWindow* GetParentWindow() override { return m_pParent; }
    fw::LRESULT DefaultProc(fw::UINT message, fw::WPARAM wParam, fw::LPARAM lParam) override;
    void SetText(const char* pszText) override;
    std::string GetText() const override;
    void Enable(bool bEnable) override { ::EnableWindow(m_hwnd, bEnable ? TRUE : FALSE); }
    bool IsEnabled() const override { return ::IsWindowEnabled(m_hwnd) != FALSE; }
    void Show(int nCmdShow) override { ::ShowWindow(m_hwnd, nCmdShow); }
    bool IsVisible() const override { return ::IsWindowVisible(m_hwnd) != FALSE; }
    fw::RECT GetWindowRect() const override;
    fw::RECT GetClientRect() const override;
    void Move(int x, int y, int nWidth, int nHeight, bool bRepaint) override;
    void SetFocus() override { ::SetFocus(m_hwnd); }
    bool IsIconic() const override { return ::IsIconic(m_hwnd) != FALSE; }
    void Post(fw::UINT message, fw::WPARAM wParam, fw::LPARAM lParam) override;
    void Update() override;
    void PaintIcon(int x, int y, fw::HICON hIcon) override;

protected:
    /// Takes the native window over: its messages come to ControlProc first.
    void Subclass();
    /// Enters the window in the registry of live windows (once it has its handle).
    void Register();
    /// What a subclassed control does with a message before its own processing; returns true
    /// with *pResult when it handled it.
    virtual bool OnNativeMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    LRESULT CallOriginal(UINT message, WPARAM wParam, LPARAM lParam);

    ::HWND m_hwnd;
    int m_nID;
    Window* m_pParent;
    std::uint64_t m_nSerial;
    ::WNDPROC m_pfnOriginal = nullptr;
    ::HDC m_hPaintDC = nullptr;  // while the window paints its minimised icon

private:
    static LRESULT CALLBACK ControlProc(::HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    friend class DialogWindow;
};

// ---- Win32Controls.cpp and Win32Edit.cpp: the controls ----
/// The control object for a child window of a dialog, by the template's kind.
std::unique_ptr<Window> MakeControl(::HWND hwnd, const ControlTemplate& control, Window* pDialog);
/// Shows a picture control's image at the size for the pixels per inch given (96: its own size;
/// 144: half as large again), from the image at twice its size where there is one. Nothing for
/// another control.
void ScalePicture(Window* pControl, UINT nDpi);
/// The pixels per inch of the screen the window is on.
UINT DpiOf(::HWND hwnd);
/// An icon resource at the size for the pixels per inch given, big (ICON_BIG) or small; owned by
/// the backend.
::HICON IconAtDpi(const Icon& icon, bool bBig, UINT nDpi);

// ---- Win32Dialog.cpp: dialogs from the templates, and their modal loops ----
/// The template as the dialog manager reads it (a DLGTEMPLATEEX with its items).
std::vector<WORD> SerializeTemplate(const DialogTemplate& dialog);

/// The dialog of the template, hidden; pOwner may be null. Null when Windows cannot make it.
Window* MakeDialog(const DialogTemplate& dialog, Window* pOwner);
fw::INT_PTR RunModalDialog(NativeWindow* pDialog);
void EndModalDialog(NativeWindow* pDialog, fw::INT_PTR nResult);
/// The dialog window that a native window belongs to, or null.
Window* DialogOf(::HWND hwnd);

class DialogWindow final : public Window {
public:
    /// Makes the dialog of the template, hidden; null when Windows cannot.
    static DialogWindow* Create(const DialogTemplate& dialog, Window* pOwner);
    ~DialogWindow() override;

    NativeWindow* GetChild(int nID) override;
    fw::LRESULT DefaultProc(fw::UINT message, fw::WPARAM wParam, fw::LPARAM lParam) override;
    fw::INT_PTR RunModal();
    void EndModal(fw::INT_PTR nResult);

private:
    DialogWindow(::HWND hwnd, Window* pOwner);
    static INT_PTR CALLBACK DialogProc(::HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR OnDialogMessage(UINT message, WPARAM wParam, LPARAM lParam);

    /// Shows the pictures and icons at the size for the pixels per inch given.
    void ScaleTo(UINT nDpi);

public:
    /// Shows the dialog no larger than the work area of its screen, and within it.
    void ShowOnScreen();

private:
    /// Scrolls the dialog, where it is smaller than its template, so that the control is in view.
    void ScrollIntoView(::HWND hControl);
    /// Places the controls for the dialog's size and scroll position: by their anchors in a
    /// client area larger than the template, shifted by the scroll position in a smaller one, and
    /// shows the scroll bars that a smaller one needs.
    void LayOut();
    /// Scrolls to the position (clamped), in pixels of the template's client area.
    void ScrollTo(int x, int y);
    INT_PTR OnScroll(int nBar, WPARAM wParam);

    /// A control as the template placed it, and how it follows a larger dialog.
    struct Placed {
        ::HWND hwnd;
        ::RECT original;
        int nAnchor;
    };
    std::vector<Placed> m_layout;
    ::SIZE m_templateClient{0, 0};
    ::SIZE m_templateWindow{0, 0};
    bool m_bSizable = false;
    bool m_bLayingOut = false;
    int m_nScrollX = 0;
    int m_nScrollY = 0;

    std::vector<std::unique_ptr<Window>> m_children;
    bool m_bEnded = false;
    fw::INT_PTR m_nResult = -1;
    const Icon* m_pIcons[2] = {nullptr, nullptr};  // ICON_SMALL, ICON_BIG
};

// ---- Win32Keys.cpp: the message loop with the key pre-translation ----
/// Runs the message loop until the flag is set: every key message goes to the application's
/// PreTranslateMessage first, then to the dialog manager of the active dialog, then to the
/// window. Returns false when WM_QUIT came (it is posted again for the outer loop).
bool RunMessageLoop(const bool& bDone);
/// The busy pump of Backend::PumpWhileBusy.
void PumpWhileBusy(NativeWindow* pWindow, std::vector<int>* pCommands);

// ---- Win32Menu.cpp: popup menus ----
/// Backend::TrackPopupMenu.
fw::UINT TrackMenu(NativeWindow* pOwner, const std::vector<MenuItem>& items, int x, int y);

// ---- Win32FileDialog.cpp: the save dialog ----
/// Backend::ChooseSaveFile.
bool ChooseFile(NativeWindow* pOwner, const SaveFileRequest& request, SaveFileChoice* pChoice);

/// The program's module, whose resources hold the icon and the bitmaps.
::HINSTANCE Module();

}  // namespace win32
}  // namespace ui
