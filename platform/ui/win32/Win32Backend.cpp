#include <algorithm>
#include <cstring>
#include <cwchar>
#include <map>
#include <string>

#include "Win32Backend.h"
#include "Win32Internal.h"
#include "ui/Application.h"
#include "ui/MessageText.h"

namespace ui::win32 {

::HINSTANCE Module() {
    return ::GetModuleHandleW(nullptr);
}

namespace {

/// A message box with the text and an OK button over hOwner (may be null), no taller than the
/// work area of the owner's screen: a text too long for it loses lines at its end, and says how
/// many (FitMessageText).
void ShowFittedMessage(HWND hOwner, const char* pszText, UINT nIcon) {
    const std::string text = pszText;
    int nLines = static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1;
    std::wstring shown = WideFrom1252(FitMessageText(text, nLines).c_str());
    // No taller than the work area of the owner's screen, with room for the frame and the
    // button: fewer lines until the text, in the message font and wrapped as the box wraps
    // it, fits.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    const HDC hdc = ::GetDC(nullptr);
    if (hdc != nullptr &&
        ::GetMonitorInfoW(::MonitorFromWindow(hOwner, MONITOR_DEFAULTTOPRIMARY), &monitor) &&
        ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
        const HFONT hFont = ::CreateFontIndirectW(&metrics.lfMessageFont);
        const HGDIOBJ hOld = ::SelectObject(hdc, hFont);
        const int nAvailable = static_cast<int>(monitor.rcWork.bottom - monitor.rcWork.top);
        // The box wraps its text at about 300 pixels (at 96 dpi) under Wine, wider on
        // Windows, and Wine measures its own Tahoma short (the lines come out longer than
        // measured): 200 pixels are assumed, so that the box fits on either.
        const int nWidth =
            std::min(static_cast<int>(monitor.rcWork.right - monitor.rcWork.left) * 5 / 8,
                     ::MulDiv(200, ::GetDeviceCaps(hdc, LOGPIXELSY), 96));
        for (;;) {
            RECT rect{0, 0, nWidth, 0};
            ::DrawTextW(hdc, shown.c_str(), -1, &rect,
                        DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
            if (rect.bottom + 150 <= nAvailable || nLines <= 2) {
                break;
            }
            nLines = std::max(2, nLines * 4 / 5);
            shown = WideFrom1252(FitMessageText(text, nLines).c_str());
        }
        ::SelectObject(hdc, hOld);
        ::DeleteObject(hFont);
    }
    if (hdc != nullptr) {
        ::ReleaseDC(nullptr, hdc);
    }
    ::MessageBoxW(hOwner, shown.c_str(), L"lorixlog-finder", MB_OK | nIcon);
}

class Win32Backend final : public Backend {
public:
    Win32Backend() {
        m_arrow.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
        m_wait.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32514));   // IDC_WAIT
    }

    NativeWindow* CreateDialogWindow(fw::UINT nIDTemplate, fw::CWnd*,
                                     NativeWindow* pOwner) override {
        const DialogTemplate* pTemplate = FindDialogTemplate(nIDTemplate);
        if (pTemplate == nullptr) {
            return nullptr;
        }
        return MakeDialog(*pTemplate, static_cast<Window*>(pOwner));
    }
    fw::INT_PTR RunModal(NativeWindow* pDialog) override { return RunModalDialog(pDialog); }
    void EndModal(NativeWindow* pDialog, fw::INT_PTR nResult) override {
        EndModalDialog(pDialog, nResult);
    }
    void PumpWhileBusy(NativeWindow* pWindow, std::vector<int>* pCommands) override {
        win32::PumpWhileBusy(pWindow, pCommands);
    }
    fw::UINT TrackPopupMenu(NativeWindow* pOwner, const std::vector<MenuItem>& items, int x,
                            int y) override {
        return TrackMenu(pOwner, items, x, y);
    }
    void ShowModeless(NativeWindow* pDialog) override { ShowModelessDialog(pDialog); }
    void DestroyWindow(NativeWindow* pWindow) override { delete pWindow; }
    bool IsWindow(NativeWindow* pWindow) const override { return Window::IsLive(pWindow); }
    fw::HCURSOR SetCursor(fw::HCURSOR hCursor) override {
        const fw::HCURSOR hOld = m_hCursor;
        m_hCursor = hCursor != nullptr ? hCursor : &m_arrow;
        ::SetCursor(m_hCursor->hCursor);
        return hOld;
    }
    fw::HCURSOR WaitCursor() override { return &m_wait; }
    fw::HICON LoadIcon(int nID) override {
        auto it = m_icons.find(nID);
        if (it != m_icons.end()) {
            return it->second.get();
        }
        auto pIcon = std::make_unique<Icon>();
        pIcon->hIcon = static_cast<::HICON>(::LoadImageW(
            Module(), MAKEINTRESOURCEW(nID), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
        if (pIcon->hIcon == nullptr) {
            return nullptr;
        }
        pIcon->nID = nID;
        return (m_icons[nID] = std::move(pIcon)).get();
    }
    int GetSystemMetrics(int nIndex) override { return ::GetSystemMetrics(nIndex); }
    bool ChooseSaveFile(NativeWindow* pOwner, const SaveFileRequest& request,
                        SaveFileChoice* pChoice) override {
        return ChooseFile(pOwner, request, pChoice);
    }
    bool SetClipboardText(const char* pszText) override {
        const std::wstring text = WideFrom1252(pszText);
        if (!::OpenClipboard(nullptr)) {
            return false;
        }
        bool bSet = false;
        const std::size_t nBytes = (text.size() + 1) * sizeof(wchar_t);
        if (::EmptyClipboard()) {
            if (::HGLOBAL hText = ::GlobalAlloc(GMEM_MOVEABLE, nBytes)) {
                if (void* pText = ::GlobalLock(hText)) {
                    std::memcpy(pText, text.c_str(), nBytes);
                    ::GlobalUnlock(hText);
                    bSet = ::SetClipboardData(CF_UNICODETEXT, hText) != nullptr;
                }
                if (!bSet) {
                    ::GlobalFree(hText);  // the clipboard owns it only once it is set
                }
            }
        }
        ::CloseClipboard();
        return bSet;
    }
    fw::RECT WorkArea(NativeWindow* pWindow) override {
        auto* p = static_cast<Window*>(pWindow);
        MONITORINFO monitor{};
        monitor.cbSize = sizeof(monitor);
        ::GetMonitorInfoW(p != nullptr
                              ? ::MonitorFromWindow(p->Handle(), MONITOR_DEFAULTTONEAREST)
                              : ::MonitorFromPoint(::POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY),
                          &monitor);
        return fw::RECT{monitor.rcWork.left, monitor.rcWork.top, monitor.rcWork.right,
                        monitor.rcWork.bottom};
    }
    void RegisterRestart() override {
        // Started again with the arguments of this start (the program's name is not one).
        const wchar_t* pszLine = ::GetCommandLineW();
        const wchar_t* p = pszLine;
        if (*p == L'"') {
            for (++p; *p != L'\0' && *p != L'"'; ++p) {
            }
            p += *p == L'"' ? 1 : 0;
        } else {
            while (*p != L'\0' && *p != L' ' && *p != L'\t') {
                ++p;
            }
        }
        while (*p == L' ' || *p == L'\t') {
            ++p;
        }
        // At most RESTART_MAX_CMD_LINE characters; a longer line restarts without arguments.
        const std::wstring arguments = std::wcslen(p) < 1024 ? p : L"";
        ::RegisterApplicationRestart(arguments.c_str(), 0);
    }
    void MessageBox(NativeWindow* pOwner, const char* pszText) override {
        auto* pWindow = static_cast<Window*>(pOwner);
        ShowFittedMessage(pWindow != nullptr ? pWindow->Handle() : nullptr, pszText, MB_ICONERROR);
    }

private:
    Cursor m_arrow;
    Cursor m_wait;
    fw::HCURSOR m_hCursor = &m_arrow;
    std::map<int, std::unique_ptr<Icon>> m_icons;
};

}  // namespace

Backend* InstallBackend() {
    static Win32Backend backend;
    SetWakeLoop(&WakeForPosted);
    SetBackend(&backend);
    return &backend;
}

}  // namespace ui::win32

void ui::ShowCommandLineText(const char* pszText, bool bError) {
    // The help is long: on a small screen it loses its last lines rather than its OK button.
    win32::ShowFittedMessage(nullptr, pszText, bError ? MB_ICONERROR : MB_ICONINFORMATION);
}

int ui::RunApplication(fw::CWinApp& app, int, char**) {
    win32::InstallBackend();
    int nStatus = 0;
    if (app.InitInstance()) {
        static const bool bNever = false;
        win32::RunMessageLoop(bNever);
        nStatus = 0;
    }
    const int nExit = app.ExitInstance();
    return nStatus != 0 ? nStatus : nExit;
}
