#include "Win32Internal.h"

namespace ui::win32 {

UINT TrackMenu(NativeWindow* pOwner, const std::vector<MenuItem>& items, int x, int y) {
    auto* pWindow = static_cast<Window*>(pOwner);
    ::HMENU hMenu = ::CreatePopupMenu();
    if (hMenu == nullptr || pWindow == nullptr) {
        return 0;
    }
    for (const MenuItem& item : items) {
        if (item.bSeparator) {
            ::AppendMenuW(hMenu, MF_SEPARATOR, 0, nullptr);
        } else {
            ::AppendMenuW(hMenu, MF_STRING | (item.bEnabled ? 0 : MF_GRAYED), item.nID,
                          WideFrom1252(item.text).c_str());
        }
    }
    // The chosen item's identifier is the result; no WM_COMMAND goes to the window.
    const BOOL nChosen =
        ::TrackPopupMenu(hMenu, TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, x,
                         y, 0, pWindow->Handle(), nullptr);
    ::DestroyMenu(hMenu);
    return nChosen > 0 ? static_cast<UINT>(nChosen) : 0;
}

}  // namespace ui::win32
