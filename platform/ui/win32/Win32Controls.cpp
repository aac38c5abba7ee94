#include <algorithm>
#include <cstring>
#include <map>
#include <utility>

#include "Win32Internal.h"

namespace ui::win32 {

std::unique_ptr<Window> MakeEdit(::HWND hwnd, int nID, Window* pDialog, fw::DWORD dwStyle);

namespace {

class ButtonWindow final : public Window {
public:
    using Window::Window;
};

/// A group box that paints its caption itself, over what the control painted: Wine cuts a
/// caption short in some fonts (the German "Auswahl des Ger\xe4tes, das ge\xf6ffnet werden soll"
/// lost its last letters in Wine's Tahoma), though the box is wide enough. The caption wraps if
/// the box is too narrow for it.
class GroupBoxWindow final : public Window {
public:
    GroupBoxWindow(::HWND hwnd, int nID, Window* pDialog) : Window(hwnd, nID, pDialog) {
        Subclass();
    }

protected:
    bool OnNativeMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override {
        if (message != WM_PAINT) {
            return false;
        }
        *pResult = CallOriginal(message, wParam, lParam);
        PaintCaption();
        return true;
    }

private:
    void PaintCaption() {
        const int nLength = ::GetWindowTextLengthW(m_hwnd);
        const ::HWND hParent = ::GetParent(m_hwnd);
        const ::HDC hdc = nLength > 0 ? ::GetDC(m_hwnd) : nullptr;
        if (hdc == nullptr) {
            return;
        }
        std::wstring text(static_cast<std::size_t>(nLength) + 1, L'\0');
        text.resize(static_cast<std::size_t>(::GetWindowTextW(m_hwnd, text.data(), nLength + 1)));
        const auto hFont = reinterpret_cast<::HFONT>(::SendMessageW(m_hwnd, WM_GETFONT, 0, 0));
        const ::HGDIOBJ hOld = hFont != nullptr ? ::SelectObject(hdc, hFont) : nullptr;
        // Where the control puts its caption: 8 pixels in, at the top. Wine measures some strings
        // short (the control clips its caption to that): the width is also summed from the
        // characters' own widths, and the longer of the two counts.
        ::RECT client{};
        ::GetClientRect(m_hwnd, &client);
        const LONG nRight = client.right - 8;
        ::RECT caption{client.left + 8, client.top, nRight, client.top};
        ::DrawTextW(hdc, text.c_str(), static_cast<int>(text.size()), &caption,
                    DT_CALCRECT | DT_SINGLELINE);
        LONG nSummed = caption.left;
        for (const wchar_t c : text) {
            INT nWidth = 0;
            ::GetCharWidth32W(hdc, c, c, &nWidth);
            nSummed += nWidth;
        }
        caption.right = std::max(caption.right, nSummed);
        UINT nFormat = DT_SINGLELINE;
        if (caption.right > nRight) {
            // Too long for the box: it wraps.
            nFormat = DT_WORDBREAK;
            caption.right = nRight;
            ::DrawTextW(hdc, text.c_str(), static_cast<int>(text.size()), &caption,
                        DT_CALCRECT | DT_WORDBREAK);
        }
        // The background as the control paints it (the dialog's colours), a little wider than
        // the text, so that what the control drew is covered wherever it put it.
        auto hBrush = reinterpret_cast<::HBRUSH>(::SendMessageW(hParent, WM_CTLCOLORSTATIC,
                                                                reinterpret_cast<WPARAM>(hdc),
                                                                reinterpret_cast<LPARAM>(m_hwnd)));
        if (hBrush == nullptr) {
            hBrush = ::GetSysColorBrush(COLOR_BTNFACE);
        }
        ::TEXTMETRICW metrics{};
        ::GetTextMetricsW(hdc, &metrics);
        ::RECT background{caption.left - 1, caption.top,
                          std::min(caption.right + 2 * metrics.tmAveCharWidth, nRight + 1),
                          caption.bottom + 1};
        ::FillRect(hdc, &background, hBrush);
        ::SetBkMode(hdc, TRANSPARENT);
        ::DrawTextW(hdc, text.c_str(), static_cast<int>(text.size()), &caption,
                    nFormat | DT_NOCLIP);
        if (hOld != nullptr) {
            ::SelectObject(hdc, hOld);
        }
        ::ReleaseDC(m_hwnd, hdc);
    }
};

/// A list box: its strings are the program's 8-bit text; its context menu is the dialog's.
class ListBoxWindow final : public Window {
public:
    ListBoxWindow(::HWND hwnd, int nID, Window* pDialog) : Window(hwnd, nID, pDialog) {
        Subclass();
    }

    fw::LRESULT DefaultProc(fw::UINT message, fw::WPARAM wParam, fw::LPARAM lParam) override {
        switch (message) {
            case LB_ADDSTRING: {
                const std::wstring text = WideFrom1252(reinterpret_cast<const char*>(lParam), true);
                WidenFor(text);
                return ::SendMessageW(m_hwnd, LB_ADDSTRING, 0,
                                      reinterpret_cast<LPARAM>(text.c_str()));
            }
            case WM_CONTEXTMENU:
                // A list box has no menu of its own: the dialog may show one.
                return SendMessageTo(m_pParent, WM_CONTEXTMENU, wParam, lParam);
            case LB_GETTEXT: {
                const LRESULT nLength = ::SendMessageW(m_hwnd, LB_GETTEXTLEN, wParam, 0);
                if (nLength == LB_ERR) {
                    return LB_ERR;
                }
                std::wstring text(static_cast<std::size_t>(nLength) + 1, L'\0');
                ::SendMessageW(m_hwnd, LB_GETTEXT, wParam, reinterpret_cast<LPARAM>(text.data()));
                text.resize(static_cast<std::size_t>(nLength));
                const std::string bytes = Bytes1252FromWide(text);
                std::memcpy(reinterpret_cast<char*>(lParam), bytes.c_str(), bytes.size() + 1);
                return nLength;
            }
            default:
                return Window::DefaultProc(message, wParam, lParam);
        }
    }

protected:
    bool OnNativeMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override {
        switch (message) {
            case WM_RBUTTONDOWN: {
                // The line under the mouse is the one the menu is for, as in the lists of the
                // desktop.
                const auto nItem = static_cast<DWORD>(
                    ::CallWindowProcW(m_pfnOriginal, m_hwnd, LB_ITEMFROMPOINT, 0, lParam));
                const auto nCurrent = static_cast<int>(::SendMessageW(m_hwnd, LB_GETCURSEL, 0, 0));
                ::SetFocus(m_hwnd);
                if (HIWORD(nItem) == 0 && static_cast<int>(LOWORD(nItem)) != nCurrent) {
                    ::SendMessageW(m_hwnd, LB_SETCURSEL, LOWORD(nItem), 0);
                    if ((::GetWindowLongPtrW(m_hwnd, GWL_STYLE) & LBS_NOTIFY) != 0) {
                        ::SendMessageW(::GetParent(m_hwnd), WM_COMMAND,
                                       MAKEWPARAM(m_nID, LBN_SELCHANGE),
                                       reinterpret_cast<LPARAM>(m_hwnd));
                    }
                }
                *pResult = CallOriginal(message, wParam, lParam);
                return true;
            }
            case WM_CONTEXTMENU:
                // To the list's object; its default processing passes it to the dialog.
                *pResult = SendMessageTo(this, message,
                                         reinterpret_cast<WPARAM>(static_cast<NativeWindow*>(this)),
                                         lParam);
                return true;
            default:
                return false;
        }
    }

private:
    /// Lets the list scroll sideways as far as its widest line reaches (a list box does not
    /// measure its lines itself).
    void WidenFor(const std::wstring& text) {
        if ((::GetWindowLongPtrW(m_hwnd, GWL_STYLE) & WS_HSCROLL) == 0) {
            return;
        }
        const ::HDC hdc = ::GetDC(m_hwnd);
        if (hdc == nullptr) {
            return;
        }
        const auto hFont = reinterpret_cast<::HFONT>(::SendMessageW(m_hwnd, WM_GETFONT, 0, 0));
        const ::HGDIOBJ hOld = hFont != nullptr ? ::SelectObject(hdc, hFont) : nullptr;
        ::SIZE size{};
        ::GetTextExtentPoint32W(hdc, text.c_str(), static_cast<int>(text.size()), &size);
        if (hOld != nullptr) {
            ::SelectObject(hdc, hOld);
        }
        ::ReleaseDC(m_hwnd, hdc);
        const int nWidth = static_cast<int>(size.cx) + ::GetSystemMetrics(SM_CXEDGE) * 4;
        if (nWidth > m_nWidest) {
            m_nWidest = nWidth;
            ::SendMessageW(m_hwnd, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(m_nWidest), 0);
        }
    }

    int m_nWidest = 0;
};

/// The picture of a static control: a 32-bit bitmap of the program's resources in the program's
/// language (the static itself would pick one by the Windows UI language), its transparent
/// pixels blended onto the dialog's face colour (the static would show them black).
class PictureWindow final : public Window {
public:
    PictureWindow(::HWND hwnd, int nID, Window* pDialog, int nImageID)
        : Window(hwnd, nID, pDialog), m_nImageID(nImageID) {
        ScaleTo(DpiOf(hwnd));
    }
    ~PictureWindow() override {
        if (m_hBitmap != nullptr) {
            ::DeleteObject(m_hBitmap);
        }
    }

    /// The image at its own size times nDpi / 96: from the image at twice its size above 96,
    /// scaled down where the screen needs less (the static control takes the bitmap's size).
    void ScaleTo(UINT nDpi) {
        const int nImage2x = nDpi > 96 ? FindImageAtTwiceTheSize(m_nImageID) : 0;
        ::HBITMAP hSource = LoadBlendedBitmap(nImage2x != 0 ? nImage2x : m_nImageID);
        if (hSource == nullptr && nImage2x != 0) {
            hSource = LoadBlendedBitmap(m_nImageID);
        }
        if (hSource == nullptr) {
            return;
        }
        ::BITMAP info{};
        ::GetObjectW(hSource, sizeof(info), &info);
        const int nFactor = nImage2x != 0 && info.bmWidth > 0 ? 2 : 1;
        const int nWidth = ::MulDiv(info.bmWidth / nFactor, static_cast<int>(nDpi), 96);
        const int nHeight = ::MulDiv(info.bmHeight / nFactor, static_cast<int>(nDpi), 96);
        ::HBITMAP hBitmap = hSource;
        if (nWidth != info.bmWidth || nHeight != info.bmHeight) {
            hBitmap = Scaled(hSource, info.bmWidth, info.bmHeight, nWidth, nHeight);
            ::DeleteObject(hSource);
        }
        if (hBitmap == nullptr) {
            return;
        }
        ::SendMessageW(m_hwnd, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(hBitmap));
        if (m_hBitmap != nullptr) {
            ::DeleteObject(m_hBitmap);
        }
        m_hBitmap = hBitmap;
    }

private:
    /// The bitmap at another size, smoothly (HALFTONE).
    static ::HBITMAP Scaled(::HBITMAP hSource, int nFromWidth, int nFromHeight, int nWidth,
                            int nHeight) {
        BITMAPINFO target{};
        target.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        target.bmiHeader.biWidth = nWidth;
        target.bmiHeader.biHeight = nHeight;
        target.bmiHeader.biPlanes = 1;
        target.bmiHeader.biBitCount = 32;
        target.bmiHeader.biCompression = BI_RGB;
        void* pBits = nullptr;
        ::HBITMAP hTarget =
            ::CreateDIBSection(nullptr, &target, DIB_RGB_COLORS, &pBits, nullptr, 0);
        ::HDC hFrom = ::CreateCompatibleDC(nullptr);
        ::HDC hTo = ::CreateCompatibleDC(nullptr);
        if (hTarget != nullptr && hFrom != nullptr && hTo != nullptr) {
            const ::HGDIOBJ hOldFrom = ::SelectObject(hFrom, hSource);
            const ::HGDIOBJ hOldTo = ::SelectObject(hTo, hTarget);
            ::SetStretchBltMode(hTo, HALFTONE);
            ::SetBrushOrgEx(hTo, 0, 0, nullptr);
            ::StretchBlt(hTo, 0, 0, nWidth, nHeight, hFrom, 0, 0, nFromWidth, nFromHeight, SRCCOPY);
            ::SelectObject(hFrom, hOldFrom);
            ::SelectObject(hTo, hOldTo);
        }
        if (hFrom != nullptr) {
            ::DeleteDC(hFrom);
        }
        if (hTo != nullptr) {
            ::DeleteDC(hTo);
        }
        return hTarget;
    }

    static ::HBITMAP LoadBlendedBitmap(int nImageID) {
        const WORD wLanguages[] = {GetUserInterfaceLanguage(), LANG_ENGLISH_US, 0};
        HRSRC hResource = nullptr;
        for (WORD wLanguage : wLanguages) {
            hResource = ::FindResourceExW(Module(), MAKEINTRESOURCEW(2) /* RT_BITMAP */,
                                          MAKEINTRESOURCEW(nImageID), wLanguage);
            if (hResource != nullptr) {
                break;
            }
        }
        if (hResource == nullptr) {
            return nullptr;
        }
        const auto* pInfo = static_cast<const BITMAPINFOHEADER*>(
            ::LockResource(::LoadResource(Module(), hResource)));
        if (pInfo == nullptr || pInfo->biBitCount != 32 ||
            (pInfo->biCompression != BI_RGB && pInfo->biCompression != BI_BITFIELDS)) {
            return nullptr;
        }
        // Pixels as blue, green, red, alpha; a plain header with bit fields is followed by its
        // three masks, a newer header holds them.
        const std::size_t nBitsOffset =
            pInfo->biSize +
            (pInfo->biSize == sizeof(BITMAPINFOHEADER) && pInfo->biCompression == BI_BITFIELDS
                 ? 3 * sizeof(DWORD)
                 : 0);
        const int nWidth = pInfo->biWidth;
        const int nHeight = pInfo->biHeight < 0 ? -pInfo->biHeight : pInfo->biHeight;
        BITMAPINFO info{};
        info.bmiHeader = *pInfo;
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biCompression = BI_RGB;
        void* pBits = nullptr;
        ::HBITMAP hBitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pBits, nullptr, 0);
        if (hBitmap == nullptr) {
            return nullptr;
        }
        const auto* pSource = reinterpret_cast<const BYTE*>(pInfo) + nBitsOffset;
        auto* pTarget = static_cast<BYTE*>(pBits);
        const COLORREF face = ::GetSysColor(COLOR_3DFACE);
        const BYTE faceRgb[3] = {GetBValue(face), GetGValue(face), GetRValue(face)};
        for (int i = 0; i < nWidth * nHeight; ++i) {
            const BYTE* s = pSource + i * 4;
            BYTE* t = pTarget + i * 4;
            for (int k = 0; k < 3; ++k) {
                t[k] = static_cast<BYTE>((s[k] * s[3] + faceRgb[k] * (255 - s[3]) + 127) / 255);
            }
            t[3] = 0;
        }
        return hBitmap;
    }

    int m_nImageID;
    ::HBITMAP m_hBitmap = nullptr;
};

}  // namespace

void ScalePicture(Window* pControl, UINT nDpi) {
    if (auto* pPicture = dynamic_cast<PictureWindow*>(pControl)) {
        pPicture->ScaleTo(nDpi);
    }
}

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

std::unique_ptr<Window> MakeControl(::HWND hwnd, const ControlTemplate& control, Window* pDialog) {
    switch (control.kind) {
        case ControlKind::Edit:
            return MakeEdit(hwnd, control.nID, pDialog, control.dwStyle);
        case ControlKind::ListBox:
            return std::make_unique<ListBoxWindow>(hwnd, control.nID, pDialog);
        case ControlKind::Picture:
            return std::make_unique<PictureWindow>(hwnd, control.nID, pDialog, control.nImageID);
        case ControlKind::GroupBox:
            return std::make_unique<GroupBoxWindow>(hwnd, control.nID, pDialog);
        case ControlKind::PushButton:
        case ControlKind::Label:
            break;
    }
    return std::make_unique<ButtonWindow>(hwnd, control.nID, pDialog);
}

}  // namespace ui::win32
