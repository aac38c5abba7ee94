#include "../DialogBackend.h"
#include "Win32Backend.h"
#include "Win32Internal.h"
#include "ui/Backend.h"

#include <algorithm>
#include <string>

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
        case Input::ClickSearchAgain:
            click(HandleOf(dialog, 1008));
            break;
        case Input::Enter: {
            ::HWND hFocus = ::GetFocus();
            PostKey(hFocus != nullptr ? hFocus : hDialog, VK_RETURN, false);
            break;
        }
    }
}

namespace {

/// What the timer below does once the popup menu is open.
struct MenuVisit {
    std::vector<std::string> items;
    const char* pszChoose = nullptr;
    bool bDone = false;
};
MenuVisit* g_pVisit = nullptr;

void CALLBACK ReadOpenMenu(::HWND, UINT, UINT_PTR nTimer, DWORD) {
    // The menu's own loop runs this: the popup is the window of class "#32768".
    ::HWND hPopup = ::FindWindowW(L"#32768", nullptr);
    if (g_pVisit == nullptr || g_pVisit->bDone || hPopup == nullptr) {
        return;
    }
    ::KillTimer(nullptr, nTimer);
    g_pVisit->bDone = true;
    auto hMenu = reinterpret_cast<::HMENU>(::SendMessageW(hPopup, MN_GETHMENU, 0, 0));
    WPARAM nKey = 0;
    for (int i = 0; i < ::GetMenuItemCount(hMenu); ++i) {
        wchar_t szText[256] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_STRING;
        info.dwTypeData = szText;
        info.cch = 255;
        ::GetMenuItemInfoW(hMenu, static_cast<UINT>(i), TRUE, &info);
        const std::string text = ui::win32::Bytes1252FromWide(szText);
        const bool bSeparator = (info.fType & MFT_SEPARATOR) != 0;
        const bool bDisabled = (info.fState & MFS_DISABLED) != 0;
        g_pVisit->items.push_back(bSeparator ? "-" : bDisabled ? "(disabled) " + text : text);
        const std::size_t nMark = text.find('&');
        if (g_pVisit->pszChoose != nullptr && text == g_pVisit->pszChoose &&
            nMark + 1 < text.size()) {
            nKey = static_cast<WPARAM>(static_cast<unsigned char>(text[nMark + 1]));
        }
    }
    if (nKey != 0) {
        ::PostMessageW(hPopup, WM_CHAR, nKey, 0);
    } else {
        ::PostMessageW(hPopup, WM_KEYDOWN, VK_ESCAPE, 0);
    }
}

}  // namespace

std::vector<std::string> ContextMenu(fw::CWnd& dialog, int nID, bool bKeyboard,
                                     const char* pszChoose) {
    ::HWND hControl = HandleOf(dialog, nID);
    if (hControl == nullptr) {
        return {};
    }
    MenuVisit visit;
    visit.pszChoose = pszChoose;
    g_pVisit = &visit;
    const UINT_PTR nTimer = ::SetTimer(nullptr, 0, 20, &ReadOpenMenu);
    if (bKeyboard) {
        ::SendMessageW(hControl, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hControl), -1);
    } else {
        // The button goes up: the window's default processing asks for the context menu.
        ::SendMessageW(hControl, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
        ::SendMessageW(hControl, WM_RBUTTONUP, 0, MAKELPARAM(5, 5));
    }
    ::KillTimer(nullptr, nTimer);
    g_pVisit = nullptr;
    return visit.items;
}

namespace {
struct BoxMeasure {
    int* pnHeight;
    int* pnWorkArea;
};
BoxMeasure g_measure{};

::BOOL CALLBACK MeasureBox(::HWND hWindow, ::LPARAM) {
    wchar_t szClass[16] = {};
    ::GetClassNameW(hWindow, szClass, 16);
    if (std::wstring(szClass) != L"#32770" || !::IsWindowVisible(hWindow)) {
        return TRUE;
    }
    ::RECT box{};
    ::GetWindowRect(hWindow, &box);
    ::MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    ::GetMonitorInfoW(::MonitorFromWindow(hWindow, MONITOR_DEFAULTTOPRIMARY), &monitor);
    *g_measure.pnHeight = static_cast<int>(box.bottom - box.top);
    *g_measure.pnWorkArea = static_cast<int>(monitor.rcWork.bottom - monitor.rcWork.top);
    ::PostMessageW(hWindow, WM_COMMAND, IDOK, 0);
    return FALSE;
}

void CALLBACK OnMeasureTimer(::HWND, ::UINT, ::UINT_PTR nTimer, ::DWORD) {
    ::EnumThreadWindows(::GetCurrentThreadId(), MeasureBox, 0);
    if (*g_measure.pnHeight >= 0) {
        ::KillTimer(nullptr, nTimer);
    }
}
}  // namespace

namespace {
/// The rightmost column of the rectangle with text ink in it (darker than any frame line), or -1.
int InkEnd(::HDC hdc, const ::RECT& r) {
    for (LONG x = r.right - 1; x >= r.left; --x) {
        for (LONG y = r.top; y < r.bottom; ++y) {
            const COLORREF colour = ::GetPixel(hdc, x, y);
            if (colour != CLR_INVALID &&
                GetRValue(colour) + GetGValue(colour) + GetBValue(colour) < 3 * 96) {
                return static_cast<int>(x);
            }
        }
    }
    return -1;
}
}  // namespace

bool CaptionShownWhole(fw::CWnd& dialog, const char* pszCaption) {
    ::HWND hDialog = HandleOf(dialog, 0);
    const std::wstring caption = ui::win32::WideFrom1252(pszCaption);
    ::HWND hBox = nullptr;
    for (::HWND h = hDialog != nullptr ? ::GetWindow(hDialog, GW_CHILD) : nullptr; h != nullptr;
         h = ::GetWindow(h, GW_HWNDNEXT)) {
        wchar_t text[256] = {};
        ::GetWindowTextW(h, text, 256);
        if ((::GetWindowLongW(h, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX && caption == text) {
            hBox = h;
        }
    }
    if (hBox == nullptr || !::IsWindowVisible(hBox)) {
        return false;
    }
    Pump();
    ::RedrawWindow(hBox, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    ::RECT client{};
    ::GetClientRect(hBox, &client);
    const auto hFont = reinterpret_cast<::HFONT>(::SendMessageW(hBox, WM_GETFONT, 0, 0));
    // On the screen: the caption's band, without the frame's side edges.
    const ::HDC hdc = ::GetDC(hBox);
    ::SelectObject(hdc, hFont);
    ::TEXTMETRICW metrics{};
    ::GetTextMetricsW(hdc, &metrics);
    const int nShown = InkEnd(hdc, ::RECT{4, 0, client.right - 4, metrics.tmHeight});
    // The same text drawn whole, unclipped, on a white bitmap in the same font.
    const ::HDC hMemory = ::CreateCompatibleDC(hdc);
    const ::HBITMAP hBitmap = ::CreateCompatibleBitmap(hdc, client.right * 2, metrics.tmHeight);
    ::ReleaseDC(hBox, hdc);
    ::SelectObject(hMemory, hBitmap);
    ::SelectObject(hMemory, hFont);
    ::RECT whole{0, 0, client.right * 2, metrics.tmHeight};
    ::FillRect(hMemory, &whole, static_cast<::HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    ::SetBkMode(hMemory, TRANSPARENT);
    ::RECT at{8, 0, client.right * 2, metrics.tmHeight};
    ::DrawTextW(hMemory, caption.c_str(), -1, &at, DT_SINGLELINE | DT_NOCLIP);
    const int nWhole = InkEnd(hMemory, whole);
    ::DeleteDC(hMemory);
    ::DeleteObject(hBitmap);
    return nShown >= 0 && nShown + 1 >= nWhole;
}

void MeasureMessageBox(const char* pszText, int* pnHeight, int* pnWorkArea, bool bCommandLine) {
    *pnHeight = -1;
    *pnWorkArea = -1;
    g_measure = BoxMeasure{pnHeight, pnWorkArea};
    ::SetTimer(nullptr, 0, 50, OnMeasureTimer);
    if (bCommandLine) {
        ui::ShowCommandLineText(pszText, false);
    } else {
        ui::GetBackend()->MessageBox(nullptr, pszText);
    }
}

std::string ClipboardText() {
    std::string text;
    if (!::OpenClipboard(nullptr)) {
        return text;
    }
    if (::HANDLE hData = ::GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* pszText = static_cast<const wchar_t*>(::GlobalLock(hData))) {
            text = ui::win32::Bytes1252FromWide(pszText);
            ::GlobalUnlock(hData);
        }
    }
    ::CloseClipboard();
    return text;
}

namespace {

FileDialogAnswer* g_pFileAnswer = nullptr;

// The common save dialog's controls.
constexpr int kKindList = 0x470;   // cmb1
constexpr int kNameCombo = 0x47c;  // cmb13
constexpr int kNameEdit = 0x480;   // edt1

::BOOL CALLBACK AnswerFileDialogWindow(::HWND hWindow, ::LPARAM) {
    wchar_t szClass[16] = {};
    ::GetClassNameW(hWindow, szClass, 16);
    ::HWND hKinds = ::GetDlgItem(hWindow, kKindList);
    if (std::wstring(szClass) != L"#32770" || !::IsWindowVisible(hWindow) || hKinds == nullptr) {
        return TRUE;
    }
    FileDialogAnswer* pAnswer = g_pFileAnswer;
    g_pFileAnswer = nullptr;
    pAnswer->bShown = true;
    wchar_t szTitle[256] = {};
    ::GetWindowTextW(hWindow, szTitle, 255);
    pAnswer->title = ui::win32::Bytes1252FromWide(szTitle);
    const auto nKinds = static_cast<int>(::SendMessageW(hKinds, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < nKinds; ++i) {
        wchar_t szKind[256] = {};
        ::SendMessageW(hKinds, CB_GETLBTEXT, static_cast<WPARAM>(i),
                       reinterpret_cast<LPARAM>(szKind));
        pAnswer->filters.push_back(ui::win32::Bytes1252FromWide(szKind));
    }
    if (pAnswer->name.empty()) {
        ::PostMessageW(hWindow, WM_COMMAND, IDCANCEL, 0);
        return FALSE;
    }
    // As the user does it: the kind from the list of kinds, the name typed, then Save.
    ::SendMessageW(hKinds, CB_SETCURSEL, static_cast<WPARAM>(pAnswer->nFilter), 0);
    for (WORD nNotification : {static_cast<WORD>(CBN_SELCHANGE), static_cast<WORD>(CBN_SELENDOK)}) {
        ::SendMessageW(hWindow, WM_COMMAND, MAKEWPARAM(kKindList, nNotification),
                       reinterpret_cast<LPARAM>(hKinds));
    }
    ::HWND hName = ::GetDlgItem(hWindow, kNameEdit);
    hName = hName != nullptr ? hName : ::GetDlgItem(hWindow, kNameCombo);
    const std::string path = pAnswer->folder + "\\" + pAnswer->name;
    ::SetWindowTextW(hName, std::wstring(path.begin(), path.end()).c_str());
    ::PostMessageW(hWindow, WM_COMMAND, IDOK, 0);
    return FALSE;
}

void CALLBACK OnFileDialogTimer(::HWND, ::UINT, ::UINT_PTR nTimer, ::DWORD) {
    if (g_pFileAnswer != nullptr) {
        ::EnumThreadWindows(::GetCurrentThreadId(), AnswerFileDialogWindow, 0);
    }
    if (g_pFileAnswer == nullptr) {
        ::KillTimer(nullptr, nTimer);
    }
}

}  // namespace

void AnswerNextFileDialog(FileDialogAnswer* pAnswer) {
    g_pFileAnswer = pAnswer;
    ::SetTimer(nullptr, 0, 50, OnFileDialogTimer);
}

int HorizontalScrollRange(fw::CWnd& dialog, int nID) {
    ::HWND hControl = HandleOf(dialog, nID);
    ::SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_PAGE;
    if (hControl == nullptr || !::GetScrollInfo(hControl, SB_HORZ, &info)) {
        return hControl == nullptr ? -1 : 0;
    }
    return std::max(0, info.nMax - info.nMin + 1 - static_cast<int>(info.nPage));
}

bool IsInView(fw::CWnd& dialog, int nID) {
    ::HWND hControl = HandleOf(dialog, nID);
    ::HWND hDialog = HandleOf(dialog, 0);
    if (hControl == nullptr || hDialog == nullptr) {
        return false;
    }
    Pump();
    ::RECT control{};
    ::GetWindowRect(hControl, &control);
    ::RECT view{};
    ::GetClientRect(hDialog, &view);
    ::MapWindowPoints(hDialog, nullptr, reinterpret_cast<::POINT*>(&view), 2);
    ::MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    ::GetMonitorInfoW(::MonitorFromWindow(hDialog, MONITOR_DEFAULTTONEAREST), &monitor);
    auto within = [](const ::RECT& inner, const ::RECT& outer) {
        return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
               inner.bottom <= outer.bottom;
    };
    return within(control, view) && within(control, monitor.rcWork);
}

}  // namespace dialogtest
