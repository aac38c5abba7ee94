#include <algorithm>
#include <utility>

#include "Win32Controls.h"
#include "Win32Dialog.h"

namespace ui::win32 {

DialogWindow::DialogWindow(::HWND hwnd, Window* pOwner) : Window(hwnd, 0, pOwner) {}

DialogWindow* DialogWindow::Create(const DialogTemplate& dialog, Window* pOwner) {
    const std::vector<WORD> data = SerializeTemplate(dialog);
    auto* pDialog = new DialogWindow(nullptr, pOwner);
    const ::HWND hwnd =
        ::CreateDialogIndirectParamW(Module(), reinterpret_cast<const DLGTEMPLATE*>(data.data()),
                                     pOwner != nullptr ? pOwner->Handle() : nullptr, &DialogProc,
                                     reinterpret_cast<LPARAM>(pDialog));
    if (hwnd == nullptr) {
        delete pDialog;
        return nullptr;
    }
    // A dialog over another shows its owner's icon (the program's), not the system's default.
    if (pOwner != nullptr) {
        for (WPARAM nKind : {static_cast<WPARAM>(ICON_BIG), static_cast<WPARAM>(ICON_SMALL)}) {
            const LRESULT hIcon = ::SendMessageW(pOwner->Handle(), WM_GETICON, nKind, 0);
            if (hIcon != 0) {
                ::SendMessageW(hwnd, WM_SETICON, nKind, hIcon);
            }
        }
    }
    // The children stand in the order of the template (several may share IDC_STATIC).
    ::HWND hChild = ::GetWindow(hwnd, GW_CHILD);
    for (const ControlTemplate& control : dialog.controls) {
        if (hChild == nullptr) {
            break;
        }
        if (std::unique_ptr<Window> pControl = MakeControl(hChild, control, pDialog)) {
            pDialog->m_children.push_back(std::move(pControl));
        }
        ::RECT rect{};
        ::GetWindowRect(hChild, &rect);
        ::MapWindowPoints(nullptr, hwnd, reinterpret_cast<::POINT*>(&rect), 2);
        pDialog->m_layout.push_back(Placed{hChild, rect, control.nAnchor});
        hChild = ::GetWindow(hChild, GW_HWNDNEXT);
    }
    // The size the template gives: the least the dialog is made (unless the screen is smaller).
    ::RECT client{};
    ::GetClientRect(hwnd, &client);
    pDialog->m_templateClient = ::SIZE{client.right, client.bottom};
    ::RECT window{};
    ::GetWindowRect(hwnd, &window);
    pDialog->m_templateWindow = ::SIZE{window.right - window.left, window.bottom - window.top};
    pDialog->m_bSizable = (dialog.dwStyle & WS_THICKFRAME) != 0;
    return pDialog;
}

DialogWindow::~DialogWindow() {
    m_children.clear();
    if (::IsWindow(m_hwnd)) {
        ::HWND hwnd = m_hwnd;
        ::DestroyWindow(hwnd);
    }
}

NativeWindow* DialogWindow::GetChild(int nID) {
    for (const auto& pChild : m_children) {
        if (pChild->GetDlgCtrlID() == nID) {
            return pChild.get();
        }
    }
    return nullptr;
}

fw::LRESULT DialogWindow::DefaultProc(fw::UINT message, fw::WPARAM wParam, fw::LPARAM lParam) {
    switch (message) {
        case WM_SETICON: {
            // At the size for the window's screen, and again when it moves to another.
            const auto* pIcon = reinterpret_cast<const Icon*>(lParam);
            const bool bBig = wParam == ICON_BIG;
            m_pIcons[bBig ? 1 : 0] = pIcon;
            return ::SendMessageW(
                m_hwnd, WM_SETICON, wParam,
                reinterpret_cast<LPARAM>(pIcon != nullptr ? IconAtDpi(*pIcon, bBig, DpiOf(m_hwnd))
                                                          : nullptr));
        }
        case WM_NEXTDLGCTL: {
            if (lParam == 0) {
                return ::SendMessageW(m_hwnd, WM_NEXTDLGCTL, wParam, 0);
            }
            auto* pTarget = reinterpret_cast<NativeWindow*>(wParam);
            auto* pWindow = IsLive(pTarget) ? static_cast<Window*>(pTarget) : nullptr;
            return pWindow != nullptr
                       ? ::SendMessageW(m_hwnd, WM_NEXTDLGCTL,
                                        reinterpret_cast<WPARAM>(pWindow->Handle()), TRUE)
                       : 0;
        }
        case DM_SETDEFID:
            return ::SendMessageW(m_hwnd, DM_SETDEFID, wParam, 0);
        case WM_ICONERASEBKGND:
            return m_hPaintDC != nullptr ? ::DefWindowProcW(m_hwnd, WM_ICONERASEBKGND,
                                                            reinterpret_cast<WPARAM>(m_hPaintDC), 0)
                                         : 0;
        default:
            // The dialog manager's own processing runs when the dialog procedure returns FALSE.
            return 0;
    }
}

INT_PTR CALLBACK DialogWindow::DialogProc(::HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        // The framework sends its own WM_INITDIALOG once the object has its window.
        auto* pDialog = reinterpret_cast<DialogWindow*>(lParam);
        pDialog->m_hwnd = hwnd;
        pDialog->Register();
        return TRUE;
    }
    auto* pDialog = dynamic_cast<DialogWindow*>(FromHandle(hwnd));
    return pDialog != nullptr ? pDialog->OnDialogMessage(message, wParam, lParam) : FALSE;
}

INT_PTR DialogWindow::OnDialogMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND: {
            // Notifications of the controls, and IDOK and IDCANCEL of the dialog manager (Enter,
            // Escape), to the dialog's object, with the control's window of the framework.
            Window* pControl = FromHandle(reinterpret_cast<::HWND>(lParam));
            SendMessageTo(this, WM_COMMAND, wParam,
                          reinterpret_cast<fw::LPARAM>(static_cast<NativeWindow*>(pControl)));
            return TRUE;
        }
        case WM_CLOSE:
            // The close box asks the dialog's object; it decides whether and how it ends.
            SendMessageTo(this, WM_CLOSE, 0, 0);
            return TRUE;
        case WM_PAINT:
            return ::IsIconic(m_hwnd) ? OnPaintIconic() : FALSE;
        case WM_DPICHANGED:
            return OnDpiChanged(wParam, lParam);
        case WM_SIZE:
            LayOut();
            return FALSE;
        case WM_NEXTDLGCTL:
            // The dialog manager moves the focus (Tab, a mnemonic): its control comes into view
            // once it has it.
            ::PostMessageW(m_hwnd, kShowFocus, 0, 0);
            return FALSE;
        case kShowFocus:
            return OnShowFocus();
        case WM_GETMINMAXINFO:
            return OnGetMinMaxInfo(reinterpret_cast<::MINMAXINFO*>(lParam));
        case WM_HSCROLL:
        case WM_VSCROLL:
            // The dialog's own scroll bars (a control's come with its handle).
            return lParam != 0 ? FALSE
                               : OnScroll(message == WM_HSCROLL ? SB_HORZ : SB_VERT, wParam);
        case WM_MOUSEWHEEL:
            return OnMouseWheel(wParam);
        case WM_CONTEXTMENU:
            return OnContextMenu(wParam, lParam);
        case WM_QUERYDRAGICON:
            return OnQueryDragIcon();
        default:
            return FALSE;
    }
}

INT_PTR DialogWindow::OnPaintIconic() {
    PAINTSTRUCT paint{};
    m_hPaintDC = ::BeginPaint(m_hwnd, &paint);
    SendMessageTo(this, WM_PAINT, 0, 0);
    ::EndPaint(m_hwnd, &paint);
    m_hPaintDC = nullptr;
    return TRUE;
}

INT_PTR DialogWindow::OnDpiChanged(WPARAM wParam, LPARAM lParam) {
    // Another screen, or its scale changed: the dialog manager scales the controls and their
    // font; the pictures and icons are the dialog's to scale, and the suggested size its to take.
    ScaleTo(LOWORD(wParam));
    if (const auto* pRect = reinterpret_cast<const ::RECT*>(lParam)) {
        ::SetWindowPos(m_hwnd, nullptr, pRect->left, pRect->top, pRect->right - pRect->left,
                       pRect->bottom - pRect->top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return TRUE;
}

INT_PTR DialogWindow::OnShowFocus() {
    const ::HWND hFocus = ::GetFocus();
    if (hFocus != nullptr && ::IsChild(m_hwnd, hFocus)) {
        ScrollIntoView(hFocus);
    }
    return TRUE;
}

INT_PTR DialogWindow::OnGetMinMaxInfo(::MINMAXINFO* pInfo) {
    // No smaller than the template, where the screen has room for it.
    if (!m_bSizable || m_templateWindow.cx <= 0) {
        return FALSE;
    }
    const ::RECT work = WorkAreaOf(m_hwnd);
    pInfo->ptMinTrackSize.x = std::min(m_templateWindow.cx, work.right - work.left);
    pInfo->ptMinTrackSize.y = std::min(m_templateWindow.cy, work.bottom - work.top);
    return TRUE;
}

INT_PTR DialogWindow::OnMouseWheel(WPARAM wParam) {
    if ((::GetWindowLongPtrW(m_hwnd, GWL_STYLE) & WS_VSCROLL) == 0) {
        return FALSE;
    }
    const int nDelta = GET_WHEEL_DELTA_WPARAM(wParam);
    ScrollTo(m_nScrollX,
             m_nScrollY -
                 ::MulDiv(nDelta, ::MulDiv(48, static_cast<int>(DpiOf(m_hwnd)), 96), WHEEL_DELTA));
    return TRUE;
}

INT_PTR DialogWindow::OnContextMenu(WPARAM wParam, LPARAM lParam) {
    // A control's request that its default processing passed on, as Windows' does.
    Window* pControl = FromHandle(reinterpret_cast<::HWND>(wParam));
    SendMessageTo(this, WM_CONTEXTMENU,
                  reinterpret_cast<fw::WPARAM>(
                      static_cast<NativeWindow*>(pControl != nullptr ? pControl : this)),
                  lParam);
    return TRUE;
}

INT_PTR DialogWindow::OnQueryDragIcon() {
    const auto* pIcon = reinterpret_cast<const Icon*>(SendMessageTo(this, WM_QUERYDRAGICON, 0, 0));
    return reinterpret_cast<INT_PTR>(pIcon != nullptr ? pIcon->hIcon : nullptr);
}

void DialogWindow::ScaleTo(UINT nDpi) {
    for (const auto& pChild : m_children) {
        pChild->ScaleTo(nDpi);
    }
    for (int nKind = 0; nKind < 2; ++nKind) {
        if (m_pIcons[nKind] != nullptr) {
            ::SendMessageW(m_hwnd, WM_SETICON, static_cast<WPARAM>(nKind),
                           reinterpret_cast<LPARAM>(IconAtDpi(*m_pIcons[nKind], nKind == 1, nDpi)));
        }
    }
}

fw::INT_PTR DialogWindow::RunModal() {
    if (m_bEnded) {
        return m_nResult;  // ended during its initialisation: never shown
    }
    ::HWND hOwner = m_pParent != nullptr ? m_pParent->Handle() : nullptr;
    if (hOwner != nullptr) {
        ::EnableWindow(hOwner, FALSE);
    }
    ShowOnScreen();
    ::SetForegroundWindow(m_hwnd);
    // Made hidden, the dialog could not take the focus at its creation: the first tab stop gets
    // it now, unless the dialog's initialisation gave it to one of its controls.
    ::HWND hFocus = ::GetFocus();
    if (hFocus == nullptr || (hFocus != m_hwnd && !::IsChild(m_hwnd, hFocus))) {
        if (::HWND hFirst = ::GetNextDlgTabItem(m_hwnd, nullptr, FALSE)) {
            ::SendMessageW(m_hwnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(hFirst), TRUE);
        }
    }
    RunMessageLoop(m_bEnded);
    // The owner first, so that it, not another program, becomes active when the dialog hides.
    if (hOwner != nullptr) {
        ::EnableWindow(hOwner, TRUE);
        ::SetActiveWindow(hOwner);
    }
    ::ShowWindow(m_hwnd, SW_HIDE);
    return m_nResult;
}

void DialogWindow::EndModal(fw::INT_PTR nResult) {
    m_nResult = nResult;
    m_bEnded = true;
    ::PostMessageW(m_hwnd, WM_NULL, 0, 0);  // wakes the loop
}

Window* MakeDialog(const DialogTemplate& dialog, Window* pOwner) {
    return DialogWindow::Create(dialog, pOwner);
}

fw::INT_PTR RunModalDialog(NativeWindow* pDialog) {
    auto* p = dynamic_cast<DialogWindow*>(pDialog);
    return p != nullptr ? p->RunModal() : -1;
}

void ShowModelessDialog(NativeWindow* pDialog) {
    if (auto* p = dynamic_cast<DialogWindow*>(pDialog)) {
        p->ShowOnScreen();
    }
}

void EndModalDialog(NativeWindow* pDialog, fw::INT_PTR nResult) {
    if (auto* p = dynamic_cast<DialogWindow*>(pDialog)) {
        p->EndModal(nResult);
    }
}

Window* DialogOf(::HWND hwnd) {
    return dynamic_cast<DialogWindow*>(Window::FromHandle(::GetAncestor(hwnd, GA_ROOT)));
}

}  // namespace ui::win32
