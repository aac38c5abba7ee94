#include "../DialogBackend.h"
#include "Win32Internal.h"

namespace dialogtest {

namespace {
::HWND HandleOf(fw::CWnd& dialog, int nID) {
    fw::CWnd* pControl = dialog.GetDlgItem(nID);
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

void PressEnter(fw::CWnd& dialog, int nID) {
    ::HWND hControl = HandleOf(dialog, nID);
    if (hControl == nullptr) {
        return;
    }
    ::SetFocus(hControl);
    ::PostMessageW(hControl, WM_KEYDOWN, VK_RETURN, 0x001C0001);
    ::PostMessageW(hControl, WM_KEYUP, VK_RETURN, 0xC01C0001);
    // The program's own loop: the dialog manager sees the key before the control.
    ::MSG msg{};
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::HWND hDialog = ::GetAncestor(msg.hwnd, GA_ROOT);
        if (hDialog != nullptr && ::IsDialogMessageW(hDialog, &msg)) {
            continue;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

bool HasFocus(fw::CWnd& dialog, int nID) {
    ::HWND hControl = HandleOf(dialog, nID);
    return hControl != nullptr && ::GetFocus() == hControl;
}

}  // namespace dialogtest
