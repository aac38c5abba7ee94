// A dialog of the Win32 backend: made by the dialog manager from the template, its controls
// objects made by the table of controls; its layout and scrolling in Win32DialogLayout.cpp.
#pragma once

#include <memory>
#include <vector>

#include "Win32Internal.h"

namespace ui::win32 {

class DialogWindow final : public Window {
public:
    /// Makes the dialog of the template, hidden; null when Windows cannot.
    static DialogWindow* Create(const DialogTemplate& dialog, Window* pOwner);
    ~DialogWindow() override;

    NativeWindow* GetChild(int nID) override;
    fw::LRESULT DefaultProc(fw::UINT message, fw::WPARAM wParam, fw::LPARAM lParam) override;
    fw::INT_PTR RunModal();
    void EndModal(fw::INT_PTR nResult);
    /// Shows the pictures and icons at the size for the pixels per inch given.
    void ScaleTo(UINT nDpi) override;
    /// Shows the dialog no larger than the work area of its screen, and within it.
    void ShowOnScreen();

private:
    DialogWindow(::HWND hwnd, Window* pOwner);
    static INT_PTR CALLBACK DialogProc(::HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR OnDialogMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // The messages the dialog procedure takes, one handler each.
    INT_PTR OnPaintIconic();
    INT_PTR OnDpiChanged(WPARAM wParam, LPARAM lParam);
    INT_PTR OnShowFocus();
    INT_PTR OnGetMinMaxInfo(::MINMAXINFO* pInfo);
    INT_PTR OnMouseWheel(WPARAM wParam);
    INT_PTR OnContextMenu(WPARAM wParam, LPARAM lParam);
    INT_PTR OnQueryDragIcon();

    // ---- Win32DialogLayout.cpp ----
    /// Scrolls the dialog, where it is smaller than its template, so that the control is in view.
    void ScrollIntoView(::HWND hControl);
    /// Places the controls for the dialog's size and scroll position: by their anchors in a
    /// client area larger than the template, shifted by the scroll position in a smaller one, and
    /// shows the scroll bars that a smaller one needs.
    void LayOut();
    /// Shows the scroll bars that a client area smaller than the template needs, with the scroll
    /// position clamped to them.
    void SetScrollBars();
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

/// The work area of the screen the window is on.
::RECT WorkAreaOf(::HWND hwnd);

}  // namespace ui::win32
