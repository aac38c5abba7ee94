#include <map>

#include "Win32Internal.h"
#include "ui/Application.h"

namespace ui::win32 {

::HINSTANCE Module() {
    return ::GetModuleHandleW(nullptr);
}

namespace {

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
    void ShowModeless(NativeWindow* pDialog) override {
        ::ShowWindow(static_cast<Window*>(pDialog)->Handle(), SW_SHOW);
    }
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
    void MessageBox(NativeWindow* pOwner, const char* pszText) override {
        auto* pWindow = static_cast<Window*>(pOwner);
        ::MessageBoxW(pWindow != nullptr ? pWindow->Handle() : nullptr,
                      WideFrom1252(pszText).c_str(), L"lorixlog-finder", MB_OK | MB_ICONERROR);
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
    SetBackend(&backend);
    return &backend;
}

}  // namespace ui::win32

void ui::ShowCommandLineText(const char* pszText, bool bError) {
    ::MessageBoxW(nullptr, win32::WideFrom1252(pszText).c_str(), L"lorixlog-finder",
                  MB_OK | (bError ? MB_ICONERROR : MB_ICONINFORMATION));
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
