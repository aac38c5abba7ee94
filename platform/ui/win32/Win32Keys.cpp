#include "Win32Internal.h"

namespace ui::win32 {

bool RunMessageLoop(const bool& bDone) {
    ::MSG msg{};
    while (!bDone) {
        const BOOL bGot = ::GetMessageW(&msg, nullptr, 0, 0);
        if (bGot == 0) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        if (bGot < 0) {
            return false;
        }
        if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) {
            fw::MSG message{Window::FromHandle(msg.hwnd), msg.message, msg.wParam,
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
    return true;
}

}  // namespace ui::win32

namespace ui::win32 {

namespace {

/// Whether the native window is an enabled, visible push button.
bool IsPushButton(::HWND hwnd) {
    wchar_t szClass[16] = {};
    ::GetClassNameW(hwnd, szClass, 16);
    const LONG_PTR nType = ::GetWindowLongPtrW(hwnd, GWL_STYLE) & BS_TYPEMASK;
    return ::lstrcmpiW(szClass, L"Button") == 0 &&
           (nType == BS_PUSHBUTTON || nType == BS_DEFPUSHBUTTON) && ::IsWindowEnabled(hwnd) &&
           ::IsWindowVisible(hwnd);
}

/// What Enter asks for, as the dialog manager has it: the focused push button, else the default
/// button (0 when that is disabled), else the OK command.
int EnterCommand(::HWND hDialog) {
    const ::HWND hFocus = ::GetFocus();
    if (hFocus != nullptr && ::IsChild(hDialog, hFocus) && IsPushButton(hFocus)) {
        return ::GetDlgCtrlID(hFocus);
    }
    const auto nDefault = static_cast<DWORD>(::SendMessageW(hDialog, DM_GETDEFID, 0, 0));
    if (HIWORD(nDefault) == DC_HASDEFID) {
        const ::HWND hDefault = ::GetDlgItem(hDialog, LOWORD(nDefault));
        return hDefault != nullptr && IsPushButton(hDefault) ? LOWORD(nDefault) : 0;
    }
    return IDOK;
}

/// The next message in Windows' queue other than the reminders of posted framework messages,
/// which wait until the busy handler has returned.
bool PeekAnyButPosted(::MSG* pMsg) {
    return ::PeekMessageW(pMsg, nullptr, 0, kDeliverPosted - 1, PM_REMOVE) ||
           ::PeekMessageW(pMsg, nullptr, kDeliverPosted + 1, 0xFFFFFFFFu, PM_REMOVE);
}

}  // namespace

void PumpWhileBusy(NativeWindow* pWindow, std::vector<int>* pCommands) {
    auto* pOwn = static_cast<Window*>(pWindow);
    const ::HWND hDialog = pOwn != nullptr ? ::GetAncestor(pOwn->Handle(), GA_ROOT) : nullptr;
    ::MSG msg{};
    // Everything that waits now, but no more: what arrives meanwhile is for the next call.
    for (int nMessages = 0; nMessages < 1000 && PeekAnyButPosted(&msg); ++nMessages) {
        if (msg.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            pCommands->push_back(IDCANCEL);
            return;
        }
        const bool bOurs = hDialog != nullptr && ::GetAncestor(msg.hwnd, GA_ROOT) == hDialog;
        const bool bKey = msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST;
        const bool bMouse = (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST) ||
                            (msg.message >= WM_NCMOUSEMOVE && msg.message <= WM_NCXBUTTONDBLCLK);
        if (bKey) {
            const bool bEscape = msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE;
            const bool bAltF4 = msg.message == WM_SYSKEYDOWN && msg.wParam == VK_F4;
            const bool bEnter = msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN;
            if (bOurs && (bEscape || bAltF4)) {
                pCommands->push_back(IDCANCEL);
            } else if (bOurs && bEnter) {
                if (const int nCommand = EnterCommand(hDialog)) {
                    pCommands->push_back(nCommand);
                }
            }
            continue;  // no key reaches a control or the dialog manager
        }
        if (bMouse) {
            if (bOurs && msg.message == WM_NCLBUTTONDOWN && msg.wParam == HTCLOSE) {
                pCommands->push_back(IDCANCEL);
            } else if (bOurs && msg.message == WM_LBUTTONUP && IsPushButton(msg.hwnd)) {
                pCommands->push_back(::GetDlgCtrlID(msg.hwnd));
            }
            continue;  // no click reaches a control (and the cursor stays the wait cursor)
        }
        if (msg.message == WM_CLOSE ||
            (msg.message == WM_SYSCOMMAND && (msg.wParam & 0xFFF0) == SC_CLOSE)) {
            if (bOurs) {
                pCommands->push_back(IDCANCEL);
            }
            continue;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

}  // namespace ui::win32
