#include <cstring>
#include <string>

#include "Win32Controls.h"

namespace ui::win32 {

namespace {

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

}  // namespace

std::unique_ptr<Window> MakeListBox(::HWND hwnd, const ControlTemplate& control, Window* pDialog) {
    return std::make_unique<ListBoxWindow>(hwnd, control.nID, pDialog);
}

}  // namespace ui::win32
