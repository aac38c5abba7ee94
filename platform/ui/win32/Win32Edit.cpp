#include "Win32Internal.h"

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

protected:
    bool OnNativeMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override {
        switch (message) {
            case WM_HSCROLL:
            case WM_VSCROLL:
                // To the object that took the control over; its default processing scrolls.
                *pResult = SendMessageTo(this, message, wParam, lParam);
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

std::unique_ptr<Window> MakeEdit(::HWND hwnd, int nID, Window* pDialog, fw::DWORD dwStyle) {
    return std::make_unique<EditWindow>(hwnd, nID, pDialog, dwStyle);
}

}  // namespace ui::win32
