#include "../DialogBackend.h"
#include "Win32Internal.h"

namespace dialogtest {

namespace {
::HWND HandleOf(fw::CWnd& dialog, int nID) {
    fw::CWnd* pControl = nID == 0 ? &dialog : dialog.GetDlgItem(nID);
    auto* pWindow = pControl ? static_cast<ui::win32::Window*>(pControl->m_hWnd) : nullptr;
    return pWindow ? pWindow->Handle() : nullptr;
}
}  // namespace

void StartBackend(int, char**) {
    ui::win32::InstallBackend();
}

void Pump() {
    ::MSG msg{};
    for (int i = 0; i < 20; ++i) {
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
}

void Click(fw::CWnd& dialog, int nID) {
    if (::HWND hButton = HandleOf(dialog, nID)) {
        ::SendMessageW(hButton, BM_CLICK, 0, 0);
    }
}

namespace {
/// The program's own loop until nothing waits: the pre-translation and the dialog manager see
/// every key before the control.
void RunQueuedInput() {
    ::MSG msg{};
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) {
            fw::MSG message{ui::win32::Window::FromHandle(msg.hwnd), msg.message, msg.wParam,
                            static_cast<fw::LPARAM>(msg.lParam)};
            fw::CWinApp* pApp = fw::AfxGetApp();
            if (pApp != nullptr && pApp->PreTranslateMessage(&message)) {
                continue;
            }
        }
        ::HWND hDialog = ::GetAncestor(msg.hwnd, GA_ROOT);
        if (hDialog != nullptr && ::IsDialogMessageW(hDialog, &msg)) {
            continue;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

void PostKey(::HWND hwnd, UINT nKey, bool bControl) {
    const UINT nScan = ::MapVirtualKeyW(nKey, 0);
    if (bControl) {
        ::PostMessageW(hwnd, WM_KEYDOWN, VK_CONTROL, 0x001D0001);
    }
    ::PostMessageW(hwnd, WM_KEYDOWN, nKey, 0x00000001 | (nScan << 16));
    ::PostMessageW(hwnd, WM_KEYUP, nKey, 0xC0000001 | (nScan << 16));
    if (bControl) {
        ::PostMessageW(hwnd, WM_KEYUP, VK_CONTROL, 0xC01D0001);
    }
}
}  // namespace

/// Gives the control the focus as the dialog manager does (a push button becomes the default).
void Focus(::HWND hControl) {
    ::SendMessageW(::GetAncestor(hControl, GA_ROOT), WM_NEXTDLGCTL,
                   reinterpret_cast<WPARAM>(hControl), TRUE);
}

void PressEnter(fw::CWnd& dialog, int nID) {
    ::HWND hControl = HandleOf(dialog, nID);
    if (hControl == nullptr) {
        return;
    }
    Focus(hControl);
    PostKey(hControl, VK_RETURN, false);
    RunQueuedInput();
}

bool HasFocus(fw::CWnd& dialog, int nID) {
    ::HWND hControl = HandleOf(dialog, nID);
    return hControl != nullptr && ::GetFocus() == hControl;
}

}  // namespace dialogtest

namespace dialogtest {

void PressKey(fw::CWnd& dialog, int nID, Key key) {
    ::HWND hControl = HandleOf(dialog, nID);
    if (hControl == nullptr) {
        return;
    }
    Focus(hControl);
    switch (key) {
        case Key::Escape:
            PostKey(hControl, VK_ESCAPE, false);
            break;
        case Key::Tab:
            PostKey(hControl, VK_TAB, false);
            break;
        case Key::CtrlA:
            // What TranslateMessage makes of Ctrl+A: the character 1.
            ::PostMessageW(hControl, WM_KEYDOWN, VK_CONTROL, 0x001D0001);
            ::PostMessageW(hControl, WM_CHAR, 1, 0x001E0001);
            ::PostMessageW(hControl, WM_KEYUP, VK_CONTROL, 0xC01D0001);
            break;
        case Key::Plus:
            ::PostMessageW(hControl, WM_CHAR, '+', 0x000D0001);
            break;
    }
    RunQueuedInput();
}

bool IsDefaultButton(fw::CWnd& dialog, int nID) {
    ::HWND hButton = HandleOf(dialog, nID);
    return hButton != nullptr &&
           (::GetWindowLongPtrW(hButton, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
}

void DragThumb(fw::CWnd& dialog, int nID, bool bDown) {
    ::HWND hEdit = HandleOf(dialog, nID);
    if (hEdit == nullptr) {
        return;
    }
    // What the scroll bar sends its control while the user drags its thumb, and when it ends.
    if (bDown) {
        ::SendMessageW(hEdit, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 0), 0);
    } else {
        ::SendMessageW(hEdit, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 0), 0);
        ::SendMessageW(hEdit, WM_VSCROLL, MAKEWPARAM(SB_ENDSCROLL, 0), 0);
    }
}

void ScrollPosition(fw::CWnd& dialog, int nID, int* pnValue, int* pnMaximum) {
    ::SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_ALL;
    ::HWND hEdit = HandleOf(dialog, nID);
    if (hEdit == nullptr || !::GetScrollInfo(hEdit, SB_VERT, &info)) {
        *pnValue = *pnMaximum = -1;
        return;
    }
    *pnValue = info.nPos;
    *pnMaximum = info.nMax - static_cast<int>(info.nPage > 0 ? info.nPage - 1 : 0);
}

bool ShowsProgramIcon(fw::CWnd& dialog) {
    ::HWND hDialog = HandleOf(dialog, 0);
    return hDialog != nullptr && ::SendMessageW(hDialog, WM_GETICON, ICON_SMALL, 0) != 0;
}

bool IsPainted(fw::CWnd& dialog) {
    ::HWND hDialog = HandleOf(dialog, 0);
    if (hDialog == nullptr || !::IsWindowVisible(hDialog) ||
        ::GetUpdateRect(hDialog, nullptr, FALSE)) {
        return false;
    }
    for (::HWND hChild = ::GetWindow(hDialog, GW_CHILD); hChild != nullptr;
         hChild = ::GetWindow(hChild, GW_HWNDNEXT)) {
        if (::IsWindowVisible(hChild) && ::GetUpdateRect(hChild, nullptr, FALSE)) {
            return false;
        }
    }
    return true;
}

void QueueInput(fw::CWnd& dialog, Input input) {
    ::HWND hDialog = HandleOf(dialog, 0);
    auto click = [](::HWND hButton) {
        if (hButton != nullptr) {
            ::PostMessageW(hButton, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
            ::PostMessageW(hButton, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        }
    };
    switch (input) {
        case Input::Escape: {
            ::HWND hFocus = ::GetFocus();
            PostKey(hFocus != nullptr ? hFocus : hDialog, VK_ESCAPE, false);
            break;
        }
        case Input::CloseBox:
            // What the close box and Alt+F4 ask of a window.
            ::PostMessageW(hDialog, WM_SYSCOMMAND, SC_CLOSE, 0);
            break;
        case Input::ClickQuit:
            click(HandleOf(dialog, 1001));
            break;
        case Input::ClickOpenDevice:
            click(HandleOf(dialog, 1002));
            break;
    }
}

}  // namespace dialogtest
