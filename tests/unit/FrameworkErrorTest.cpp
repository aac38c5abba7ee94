// Calls that only a programming error makes: with a backend installed they are loud; without
// one (the framework's own tests) they stay quiet.
#include <gtest/gtest.h>

#include "ui/Afx.h"
#include "ui/Backend.h"

namespace {

/// A dialog window without any control.
class BareWindow final : public ui::NativeWindow {
public:
    int GetDlgCtrlID() const override { return 0; }
    NativeWindow* GetChild(int) override { return nullptr; }
    NativeWindow* GetParentWindow() override { return nullptr; }
    LRESULT DefaultProc(UINT, WPARAM, LPARAM) override { return 0; }
    void SetText(const char*) override {}
    std::string GetText() const override { return {}; }
    void Enable(bool) override {}
    bool IsEnabled() const override { return true; }
    void Show(int) override {}
    bool IsVisible() const override { return false; }
    RECT GetWindowRect() const override { return {}; }
    RECT GetClientRect() const override { return {}; }
    void Move(int, int, int, int, bool) override {}
    void SetFocus() override {}
    bool IsIconic() const override { return false; }
    void Post(UINT, WPARAM, LPARAM) override {}
    void PaintIcon(int, int, HICON) override {}
    void Update() override {}
};

/// Knows one template, 100, whose dialog has no controls.
class OneTemplateBackend final : public ui::Backend {
public:
    ui::NativeWindow* CreateDialogWindow(UINT nIDTemplate, CWnd*, ui::NativeWindow*) override {
        if (nIDTemplate != 100) {
            return nullptr;
        }
        m_windows.push_back(std::make_unique<BareWindow>());
        return m_windows.back().get();
    }
    INT_PTR RunModal(ui::NativeWindow*) override { return IDCANCEL; }
    void EndModal(ui::NativeWindow*, INT_PTR) override {}
    void ShowModeless(ui::NativeWindow*) override {}
    void DestroyWindow(ui::NativeWindow*) override {}
    bool IsWindow(ui::NativeWindow*) const override { return true; }
    HCURSOR SetCursor(HCURSOR h) override { return h; }
    HCURSOR WaitCursor() override { return nullptr; }
    HICON LoadIcon(int) override { return nullptr; }
    int GetSystemMetrics(int) override { return 0; }
    void MessageBox(ui::NativeWindow*, const char*) override {}
    void PumpWhileBusy(ui::NativeWindow*, std::vector<int>*) override {}
    UINT TrackPopupMenu(ui::NativeWindow*, const std::vector<ui::MenuItem>&, int, int) override {
        return 0;
    }
    bool ChooseSaveFile(ui::NativeWindow*, const ui::SaveFileRequest&,
                        ui::SaveFileChoice*) override {
        return false;
    }
    bool SetClipboardText(const char*) override { return false; }
    RECT WorkArea(ui::NativeWindow*) override { return RECT{0, 0, 800, 600}; }
    void RegisterRestart() override {}

private:
    std::vector<std::unique_ptr<ui::NativeWindow>> m_windows;
};

class ProgrammingErrors : public ::testing::Test {
protected:
    void TearDown() override { ui::SetBackend(nullptr); }
};

void MissingTemplate() {
    CDialog dlg(4711, nullptr);
    dlg.DoModal();
}

void MissingControl() {
    CDialog dlg(100, nullptr);
    dlg.Create(100);
    CEdit edit;
    edit.SubclassDlgItem(1003, &dlg);
    edit.UnsubclassWindow();
}

}  // namespace

TEST_F(ProgrammingErrors, AreQuietWithoutABackend) {
    testing::internal::CaptureStderr();
    CDialog dlg(4711, nullptr);
    EXPECT_EQ(dlg.DoModal(), -1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

#if defined(NDEBUG)
TEST_F(ProgrammingErrors, WriteOneLineInReleaseBuilds) {
    OneTemplateBackend backend;
    ui::SetBackend(&backend);
    testing::internal::CaptureStderr();
    MissingTemplate();
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "lorixlog: programming error: DoModal: there is no dialog template 4711\n");
    testing::internal::CaptureStderr();
    MissingControl();
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "lorixlog: programming error: SubclassDlgItem: the dialog has no control with the "
              "id 1003\n");
}
#else
TEST_F(ProgrammingErrors, StopDebugBuilds) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            OneTemplateBackend backend;
            ui::SetBackend(&backend);
            MissingTemplate();
        },
        "programming error: DoModal: there is no dialog template 4711");
    EXPECT_DEATH(
        {
            OneTemplateBackend backend;
            ui::SetBackend(&backend);
            MissingControl();
        },
        "programming error: SubclassDlgItem: the dialog has no control with the id 1003");
}
#endif
