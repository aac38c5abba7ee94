#include <algorithm>
#include <cstring>

#include "Win32Internal.h"
#include "ui/Layout.h"

namespace ui::win32 {

namespace {

// Predefined window classes, as a template names them by ordinal.
constexpr WORD kButtonClass = 0x0080;
constexpr WORD kEditClass = 0x0081;
constexpr WORD kStaticClass = 0x0082;
constexpr WORD kListBoxClass = 0x0083;

class TemplateWriter {
public:
    void Word(WORD w) { m_words.push_back(w); }
    void Dword(DWORD d) {
        Word(static_cast<WORD>(d & 0xFFFF));
        Word(static_cast<WORD>(d >> 16));
    }
    void Text(const char* pszText) {
        for (wchar_t c : WideFrom1252(pszText != nullptr ? pszText : "")) {
            Word(static_cast<WORD>(c));
        }
        Word(0);
    }
    void AlignToDword() {
        if (m_words.size() % 2 != 0) {
            Word(0);
        }
    }
    std::vector<WORD> Take() { return std::move(m_words); }

private:
    std::vector<WORD> m_words;
};

WORD ClassOf(ControlKind kind) {
    switch (kind) {
        case ControlKind::Edit:
            return kEditClass;
        case ControlKind::ListBox:
            return kListBoxClass;
        case ControlKind::Picture:
        case ControlKind::Label:
            return kStaticClass;
        case ControlKind::PushButton:
        case ControlKind::GroupBox:
            break;
    }
    return kButtonClass;
}

}  // namespace

std::vector<WORD> SerializeTemplate(const DialogTemplate& dialog) {
    TemplateWriter w;
    w.Word(1);       // dlgVer
    w.Word(0xFFFF);  // signature: DLGTEMPLATEEX
    w.Dword(0);      // helpID
    w.Dword(dialog.dwExStyle);
    // Made hidden: the framework shows the dialog when it runs.
    w.Dword(dialog.dwStyle & ~static_cast<DWORD>(WS_VISIBLE));
    w.Word(static_cast<WORD>(dialog.controls.size()));
    w.Word(static_cast<WORD>(dialog.x));
    w.Word(static_cast<WORD>(dialog.y));
    w.Word(static_cast<WORD>(dialog.cx));
    w.Word(static_cast<WORD>(dialog.cy));
    w.Word(0);  // no menu
    w.Word(0);  // the dialog class
    w.Text(dialog.pszCaption);
    if ((dialog.dwStyle & DS_SETFONT) != 0) {
        w.Word(static_cast<WORD>(dialog.nPointSize));
        w.Word(static_cast<WORD>(dialog.nWeight));
        w.Word(0x0100);  // not italic; character set 1 (the default)
        w.Text(dialog.pszFont);
    }
    for (const ControlTemplate& control : dialog.controls) {
        w.AlignToDword();
        w.Dword(0);  // helpID
        w.Dword(0);  // extended style
        w.Dword(control.dwStyle | WS_CHILD);
        w.Word(static_cast<WORD>(control.x));
        w.Word(static_cast<WORD>(control.y));
        w.Word(static_cast<WORD>(control.cx));
        w.Word(static_cast<WORD>(control.cy));
        w.Dword(static_cast<DWORD>(control.nID));
        w.Word(0xFFFF);
        w.Word(ClassOf(control.kind));
        // A picture gets its image after creation, in the program's language.
        w.Text(control.kind == ControlKind::Picture ? "" : control.pszText);
        w.Word(0);  // no creation data
    }
    return w.Take();
}

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
        pDialog->m_children.push_back(MakeControl(hChild, control, pDialog));
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

namespace {

::RECT WorkAreaOf(::HWND hwnd) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    ::GetMonitorInfoW(::MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &monitor);
    return monitor.rcWork;
}

}  // namespace

void DialogWindow::ShowOnScreen() {
    ::RECT window{};
    ::GetWindowRect(m_hwnd, &window);
    const ::RECT work = WorkAreaOf(m_hwnd);
    const fw::RECT fitted =
        FitIntoWorkArea(fw::RECT{window.left, window.top, window.right, window.bottom},
                        fw::RECT{work.left, work.top, work.right, work.bottom});
    if (fitted.left != window.left || fitted.top != window.top || fitted.right != window.right ||
        fitted.bottom != window.bottom) {
        ::SetWindowPos(m_hwnd, nullptr, static_cast<int>(fitted.left), static_cast<int>(fitted.top),
                       static_cast<int>(fitted.right - fitted.left),
                       static_cast<int>(fitted.bottom - fitted.top), SWP_NOZORDER | SWP_NOACTIVATE);
    }
    LayOut();
    ::ShowWindow(m_hwnd, SW_SHOW);
}

void DialogWindow::LayOut() {
    if (m_bLayingOut || m_templateClient.cx == 0) {
        return;
    }
    m_bLayingOut = true;
    // Twice: a scroll bar that appears makes the client area smaller the other way too.
    for (int nPass = 0; nPass < 2; ++nPass) {
        ::RECT client{};
        ::GetClientRect(m_hwnd, &client);
        const bool bNarrower = client.right < m_templateClient.cx;
        const bool bLower = client.bottom < m_templateClient.cy;
        SCROLLINFO info{};
        info.cbSize = sizeof(info);
        info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
        m_nScrollX = bNarrower ? std::clamp(m_nScrollX, 0,
                                            static_cast<int>(m_templateClient.cx - client.right))
                               : 0;
        m_nScrollY = bLower ? std::clamp(m_nScrollY, 0,
                                         static_cast<int>(m_templateClient.cy - client.bottom))
                            : 0;
        ::ShowScrollBar(m_hwnd, SB_HORZ, bNarrower ? TRUE : FALSE);
        ::ShowScrollBar(m_hwnd, SB_VERT, bLower ? TRUE : FALSE);
        if (bNarrower) {
            info.nMax = m_templateClient.cx - 1;
            info.nPage = static_cast<UINT>(client.right);
            info.nPos = m_nScrollX;
            ::SetScrollInfo(m_hwnd, SB_HORZ, &info, TRUE);
        }
        if (bLower) {
            info.nMax = m_templateClient.cy - 1;
            info.nPage = static_cast<UINT>(client.bottom);
            info.nPos = m_nScrollY;
            ::SetScrollInfo(m_hwnd, SB_VERT, &info, TRUE);
        }
    }
    ::RECT client{};
    ::GetClientRect(m_hwnd, &client);
    const int nGrowX = static_cast<int>(client.right - m_templateClient.cx);
    const int nGrowY = static_cast<int>(client.bottom - m_templateClient.cy);
    const HDWP hPositions = ::BeginDeferWindowPos(static_cast<int>(m_layout.size()));
    HDWP hNext = hPositions;
    for (const Placed& placed : m_layout) {
        const fw::RECT r = AnchoredRect(fw::RECT{placed.original.left, placed.original.top,
                                                 placed.original.right, placed.original.bottom},
                                        placed.nAnchor, nGrowX, nGrowY);
        if (hNext != nullptr) {
            hNext = ::DeferWindowPos(
                hNext, placed.hwnd, nullptr, static_cast<int>(r.left) - m_nScrollX,
                static_cast<int>(r.top) - m_nScrollY, static_cast<int>(r.right - r.left),
                static_cast<int>(r.bottom - r.top), SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    if (hNext != nullptr) {
        ::EndDeferWindowPos(hNext);
    }
    ::InvalidateRect(m_hwnd, nullptr, TRUE);
    m_bLayingOut = false;
}

void DialogWindow::ScrollTo(int x, int y) {
    m_nScrollX = x;
    m_nScrollY = y;
    LayOut();
}

INT_PTR DialogWindow::OnScroll(int nBar, WPARAM wParam) {
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_ALL;
    ::GetScrollInfo(m_hwnd, nBar, &info);
    const int nLine = ::MulDiv(16, static_cast<int>(DpiOf(m_hwnd)), 96);
    int nPos = info.nPos;
    switch (LOWORD(wParam)) {
        case SB_LINEUP:
            nPos -= nLine;
            break;
        case SB_LINEDOWN:
            nPos += nLine;
            break;
        case SB_PAGEUP:
            nPos -= static_cast<int>(info.nPage);
            break;
        case SB_PAGEDOWN:
            nPos += static_cast<int>(info.nPage);
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION:
            nPos = info.nTrackPos;
            break;
        case SB_TOP:
            nPos = 0;
            break;
        case SB_BOTTOM:
            nPos = info.nMax;
            break;
        default:
            return TRUE;
    }
    if (nBar == SB_HORZ) {
        ScrollTo(nPos, m_nScrollY);
    } else {
        ScrollTo(m_nScrollX, nPos);
    }
    return TRUE;
}

void DialogWindow::ScrollIntoView(::HWND hControl) {
    if ((::GetWindowLongPtrW(m_hwnd, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL)) == 0) {
        return;  // the whole dialog is in view
    }
    ::RECT client{};
    ::GetClientRect(m_hwnd, &client);
    ::RECT rect{};
    ::GetWindowRect(hControl, &rect);
    ::MapWindowPoints(nullptr, m_hwnd, reinterpret_cast<::POINT*>(&rect), 2);
    // Its far edge into view, then its near edge (which wins for a control larger than the view).
    long dx = rect.right > client.right ? rect.right - client.right : 0;
    dx = rect.left - dx < 0 ? rect.left : dx;
    long dy = rect.bottom > client.bottom ? rect.bottom - client.bottom : 0;
    dy = rect.top - dy < 0 ? rect.top : dy;
    if (dx != 0 || dy != 0) {
        ScrollTo(m_nScrollX + static_cast<int>(dx), m_nScrollY + static_cast<int>(dy));
    }
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
        case WM_PAINT: {
            if (!::IsIconic(m_hwnd)) {
                return FALSE;
            }
            PAINTSTRUCT paint{};
            m_hPaintDC = ::BeginPaint(m_hwnd, &paint);
            SendMessageTo(this, WM_PAINT, 0, 0);
            ::EndPaint(m_hwnd, &paint);
            m_hPaintDC = nullptr;
            return TRUE;
        }
        case WM_DPICHANGED: {
            // Another screen, or its scale changed: the dialog manager scales the controls and
            // their font; the pictures and icons are the dialog's to scale, and the suggested
            // size its to take.
            ScaleTo(LOWORD(wParam));
            if (const auto* pRect = reinterpret_cast<const ::RECT*>(lParam)) {
                ::SetWindowPos(m_hwnd, nullptr, pRect->left, pRect->top, pRect->right - pRect->left,
                               pRect->bottom - pRect->top, SWP_NOZORDER | SWP_NOACTIVATE);
            }
            return TRUE;
        }
        case WM_SIZE:
            LayOut();
            return FALSE;
        case WM_NEXTDLGCTL:
            // The dialog manager moves the focus (Tab, a mnemonic): its control comes into view
            // once it has it.
            ::PostMessageW(m_hwnd, kShowFocus, 0, 0);
            return FALSE;
        case kShowFocus: {
            const ::HWND hFocus = ::GetFocus();
            if (hFocus != nullptr && ::IsChild(m_hwnd, hFocus)) {
                ScrollIntoView(hFocus);
            }
            return TRUE;
        }
        case WM_GETMINMAXINFO: {
            // No smaller than the template, where the screen has room for it.
            if (m_bSizable && m_templateWindow.cx > 0) {
                auto* pInfo = reinterpret_cast<::MINMAXINFO*>(lParam);
                const ::RECT work = WorkAreaOf(m_hwnd);
                pInfo->ptMinTrackSize.x = std::min(m_templateWindow.cx, work.right - work.left);
                pInfo->ptMinTrackSize.y = std::min(m_templateWindow.cy, work.bottom - work.top);
                return TRUE;
            }
            return FALSE;
        }
        case WM_HSCROLL:
        case WM_VSCROLL:
            // The dialog's own scroll bars (a control's come with its handle).
            if (lParam != 0) {
                return FALSE;
            }
            return OnScroll(message == WM_HSCROLL ? SB_HORZ : SB_VERT, wParam);
        case WM_MOUSEWHEEL: {
            if ((::GetWindowLongPtrW(m_hwnd, GWL_STYLE) & WS_VSCROLL) == 0) {
                return FALSE;
            }
            const int nDelta = GET_WHEEL_DELTA_WPARAM(wParam);
            ScrollTo(
                m_nScrollX,
                m_nScrollY - ::MulDiv(nDelta, ::MulDiv(48, static_cast<int>(DpiOf(m_hwnd)), 96),
                                      WHEEL_DELTA));
            return TRUE;
        }
        case WM_CONTEXTMENU: {
            // A control's request that its default processing passed on, as Windows' does.
            Window* pControl = FromHandle(reinterpret_cast<::HWND>(wParam));
            SendMessageTo(this, WM_CONTEXTMENU,
                          reinterpret_cast<fw::WPARAM>(
                              static_cast<NativeWindow*>(pControl != nullptr ? pControl : this)),
                          lParam);
            return TRUE;
        }
        case WM_QUERYDRAGICON: {
            const auto* pIcon =
                reinterpret_cast<const Icon*>(SendMessageTo(this, WM_QUERYDRAGICON, 0, 0));
            return reinterpret_cast<INT_PTR>(pIcon != nullptr ? pIcon->hIcon : nullptr);
        }
        default:
            return FALSE;
    }
}

void DialogWindow::ScaleTo(UINT nDpi) {
    for (const auto& pChild : m_children) {
        ScalePicture(pChild.get(), nDpi);
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

void EndModalDialog(NativeWindow* pDialog, fw::INT_PTR nResult) {
    if (auto* p = dynamic_cast<DialogWindow*>(pDialog)) {
        p->EndModal(nResult);
    }
}

Window* DialogOf(::HWND hwnd) {
    return dynamic_cast<DialogWindow*>(Window::FromHandle(::GetAncestor(hwnd, GA_ROOT)));
}

}  // namespace ui::win32
