#include <cstring>

#include "Win32Internal.h"

namespace ui::win32 {

std::unique_ptr<Window> MakeEdit(::HWND hwnd, int nID, Window* pDialog, fw::DWORD dwStyle);

namespace {

class ButtonWindow final : public Window {
public:
    using Window::Window;
};

/// A list box: its strings are the program's 8-bit text.
class ListBoxWindow final : public Window {
public:
    ListBoxWindow(::HWND hwnd, int nID, Window* pDialog) : Window(hwnd, nID, pDialog) {}

    fw::LRESULT DefaultProc(fw::UINT message, fw::WPARAM wParam, fw::LPARAM lParam) override {
        switch (message) {
            case LB_ADDSTRING: {
                const std::wstring text = WideFrom1252(reinterpret_cast<const char*>(lParam), true);
                return ::SendMessageW(m_hwnd, LB_ADDSTRING, 0,
                                      reinterpret_cast<LPARAM>(text.c_str()));
            }
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
};

/// The picture of a static control: a 32-bit bitmap of the program's resources in the program's
/// language (the static itself would pick one by the Windows UI language), its transparent
/// pixels blended onto the dialog's face colour (the static would show them black).
class PictureWindow final : public Window {
public:
    PictureWindow(::HWND hwnd, int nID, Window* pDialog, int nImageID)
        : Window(hwnd, nID, pDialog) {
        m_hBitmap = LoadBlendedBitmap(nImageID);
        if (m_hBitmap != nullptr) {
            ::SendMessageW(m_hwnd, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(m_hBitmap));
        }
    }
    ~PictureWindow() override {
        if (m_hBitmap != nullptr) {
            ::DeleteObject(m_hBitmap);
        }
    }

private:
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

    ::HBITMAP m_hBitmap = nullptr;
};

}  // namespace

std::unique_ptr<Window> MakeControl(::HWND hwnd, const ControlTemplate& control, Window* pDialog) {
    switch (control.kind) {
        case ControlKind::Edit:
            return MakeEdit(hwnd, control.nID, pDialog, control.dwStyle);
        case ControlKind::ListBox:
            return std::make_unique<ListBoxWindow>(hwnd, control.nID, pDialog);
        case ControlKind::Picture:
            return std::make_unique<PictureWindow>(hwnd, control.nID, pDialog, control.nImageID);
        case ControlKind::PushButton:
        case ControlKind::GroupBox:
            break;
    }
    return std::make_unique<ButtonWindow>(hwnd, control.nID, pDialog);
}

}  // namespace ui::win32
