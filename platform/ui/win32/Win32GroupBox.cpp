#include <algorithm>
#include <string>

#include "Win32Controls.h"

namespace ui::win32 {

namespace {

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

}  // namespace

std::unique_ptr<Window> MakeGroupBox(::HWND hwnd, const ControlTemplate& control, Window* pDialog) {
    return std::make_unique<GroupBoxWindow>(hwnd, control.nID, pDialog);
}

}  // namespace ui::win32
