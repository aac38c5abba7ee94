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
