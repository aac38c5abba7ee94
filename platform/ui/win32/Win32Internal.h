// The dialog framework on the native Windows dialog manager and controls: the backend's own
// classes, shared by its files (one concern each, paired with the Qt backend's files of the same
// names: text, window, dialog, keys, menu, file dialog, backend; the controls, one a file, in
// Win32Controls.h).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Win32.h"
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
    /// Shows the window's own pictures at the size for the pixels per inch given (96: their own
    /// size; 144: half as large again); nothing for a window without pictures.
    virtual void ScaleTo(UINT /*nDpi*/) {}

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

// ---- Win32Scale.cpp: the pixels per inch of a screen, and icons for them ----
/// The pixels per inch of the screen the window is on.
UINT DpiOf(::HWND hwnd);
/// An icon resource at the size for the pixels per inch given, big (ICON_BIG) or small; owned by
/// the backend.
::HICON IconAtDpi(const Icon& icon, bool bBig, UINT nDpi);

// ---- Win32Template.cpp: the dialog template as the dialog manager reads it ----
/// The template as a DLGTEMPLATEEX with its items.
std::vector<WORD> SerializeTemplate(const DialogTemplate& dialog);

// ---- Win32Dialog.cpp: dialogs from the templates, and their modal loops ----
/// The dialog of the template, hidden; pOwner may be null. Null when Windows cannot make it.
Window* MakeDialog(const DialogTemplate& dialog, Window* pOwner);
fw::INT_PTR RunModalDialog(NativeWindow* pDialog);
/// Shows a dialog without a modal loop, no larger than the work area of its screen.
void ShowModelessDialog(NativeWindow* pDialog);
void EndModalDialog(NativeWindow* pDialog, fw::INT_PTR nResult);
/// The dialog window that a native window belongs to, or null.
Window* DialogOf(::HWND hwnd);

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
