#include <algorithm>

#include "Win32Dialog.h"
#include "ui/Layout.h"

namespace ui::win32 {

::RECT WorkAreaOf(::HWND hwnd) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    ::GetMonitorInfoW(::MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &monitor);
    return monitor.rcWork;
}

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

void DialogWindow::SetScrollBars() {
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
}

void DialogWindow::LayOut() {
    if (m_bLayingOut || m_templateClient.cx == 0) {
        return;
    }
    m_bLayingOut = true;
    SetScrollBars();
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

}  // namespace ui::win32
