#include "Win32Controls.h"

namespace ui::win32 {

namespace {

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
    void ScaleTo(UINT nDpi) override {
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

std::unique_ptr<Window> MakePicture(::HWND hwnd, const ControlTemplate& control, Window* pDialog) {
    return std::make_unique<PictureWindow>(hwnd, control.nID, pDialog, control.nImageID);
}

}  // namespace ui::win32
