#include "Win32Controls.h"

namespace ui::win32 {

namespace {

/// The edit control: its scroll bars' messages go to the framework's object first (the report
/// holds its refreshes back while a thumb is dragged), and a read-only multiline edit leaves
/// Enter and Escape to the dialog manager, as the dialog expects of its report.
class EditWindow final : public Window {
public:
    EditWindow(::HWND hwnd, int nID, Window* pDialog, fw::DWORD dwStyle)
        : Window(hwnd, nID, pDialog),
          m_bReadOnlyMultiline((dwStyle & ES_MULTILINE) != 0 && (dwStyle & ES_READONLY) != 0) {
        Subclass();
    }

    void SetText(const char* pszText) override {
        ::SetWindowTextW(m_hwnd, WideFrom1252(pszText, true).c_str());
    }
    fw::LRESULT DefaultProc(fw::UINT message, fw::WPARAM wParam, fw::LPARAM lParam) override {
        if (message == EM_LINESCROLL) {
            // A count beyond the text ("to the last line") overflows the control's arithmetic:
            // no further than the text reaches.
            const auto nLines = static_cast<LPARAM>(::SendMessageW(m_hwnd, EM_GETLINECOUNT, 0, 0));
            const LPARAM nScroll = lParam > nLines ? nLines : lParam < -nLines ? -nLines : lParam;
            return CallOriginal(EM_LINESCROLL, wParam, nScroll);
        }
        if (message == WM_CONTEXTMENU) {
            // The control's own menu.
            return CallOriginal(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(m_hwnd), lParam);
        }
        if (message == EM_REPLACESEL) {
            // The program's 8-bit text, as the control shows it (one character a byte).
            const std::wstring text = WideFrom1252(reinterpret_cast<const char*>(lParam), true);
            return CallOriginal(EM_REPLACESEL, wParam, reinterpret_cast<LPARAM>(text.c_str()));
        }
        return Window::DefaultProc(message, wParam, lParam);
    }

protected:
    bool OnNativeMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override {
        switch (message) {
            case WM_HSCROLL:
            case WM_VSCROLL:
                // To the object that took the control over; its default processing scrolls.
                *pResult = SendMessageTo(this, message, wParam, lParam);
                return true;
            case WM_CONTEXTMENU:
                // To the object that took the control over; its default processing shows the
                // control's own menu.
                *pResult = SendMessageTo(this, message,
                                         reinterpret_cast<WPARAM>(static_cast<NativeWindow*>(this)),
                                         lParam);
                return true;
            case WM_GETDLGCODE:
                *pResult = CallOriginal(message, wParam, lParam);
                if (m_bReadOnlyMultiline) {
                    *pResult &= ~static_cast<LRESULT>(DLGC_WANTALLKEYS | DLGC_WANTMESSAGE);
                }
                return true;
            default:
                return false;
        }
    }

private:
    bool m_bReadOnlyMultiline;
};

}  // namespace

std::unique_ptr<Window> MakeEdit(::HWND hwnd, const ControlTemplate& control, Window* pDialog) {
    return std::make_unique<EditWindow>(hwnd, control.nID, pDialog, control.dwStyle);
}

}  // namespace ui::win32
