#include <map>
#include <utility>

#include "Win32Internal.h"

namespace ui::win32 {

UINT DpiOf(::HWND hwnd) {
    // Per monitor where Windows knows it (10 and later), else the system's.
    using GetDpiForWindowFunction = UINT(WINAPI*)(::HWND);
    static const auto pGetDpiForWindow =
        reinterpret_cast<GetDpiForWindowFunction>(reinterpret_cast<void*>(
            ::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (pGetDpiForWindow != nullptr && hwnd != nullptr) {
        if (const UINT nDpi = pGetDpiForWindow(hwnd)) {
            return nDpi;
        }
    }
    ::HDC hdc = ::GetDC(nullptr);
    const int nDpi = ::GetDeviceCaps(hdc, LOGPIXELSX);
    ::ReleaseDC(nullptr, hdc);
    return nDpi > 0 ? static_cast<UINT>(nDpi) : 96;
}

::HICON IconAtDpi(const Icon& icon, bool bBig, UINT nDpi) {
    static std::map<std::pair<int, int>, ::HICON> icons;
    const int nSize = ::MulDiv(bBig ? 32 : 16, static_cast<int>(nDpi), 96);
    auto it = icons.find({icon.nID, nSize});
    if (it != icons.end()) {
        return it->second;
    }
    ::HICON hIcon = icon.nID != 0
                        ? static_cast<::HICON>(::LoadImageW(Module(), MAKEINTRESOURCEW(icon.nID),
                                                            IMAGE_ICON, nSize, nSize, 0))
                        : nullptr;
    if (hIcon == nullptr) {
        return icon.hIcon;
    }
    icons[{icon.nID, nSize}] = hIcon;
    return hIcon;
}

}  // namespace ui::win32
