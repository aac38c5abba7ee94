// Every dialog template of the program, in both languages, as the Windows dialog manager builds
// it from the one template source: the dialog and each control exist, with their class, id,
// style and text.
#include <gtest/gtest.h>

#include "Resources.h"
#include "Win32Internal.h"
#include "resource.h"

namespace {

std::wstring TextOf(::HWND hwnd) {
    wchar_t sz[256] = {};
    ::GetWindowTextW(hwnd, sz, 256);
    return sz;
}

std::wstring ClassOf(::HWND hwnd) {
    wchar_t sz[64] = {};
    ::GetClassNameW(hwnd, sz, 64);
    return sz;
}

INT_PTR CALLBACK QuietProc(::HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

const wchar_t* ExpectedClass(ui::ControlKind kind) {
    switch (kind) {
        case ui::ControlKind::Edit:
            return L"Edit";
        case ui::ControlKind::ListBox:
            return L"ListBox";
        case ui::ControlKind::Picture:
            return L"Static";
        default:
            return L"Button";
    }
}

class Templates : public ::testing::TestWithParam<std::pair<fw::UINT, fw::WORD>> {};

TEST_P(Templates, LoadAsRealDialogsWithEveryControl) {
    static const bool bRegistered = [] {
        RegisterProgramResources();
        return true;
    }();
    ASSERT_TRUE(bRegistered);
    const auto [nID, wLanguage] = GetParam();
    ui::SetUserInterfaceLanguage(wLanguage);
    const ui::DialogTemplate* pTemplate = ui::FindDialogTemplate(nID);
    ASSERT_NE(pTemplate, nullptr);
    ASSERT_EQ(pTemplate->wLanguage, wLanguage);

    const std::vector<WORD> data = ui::win32::SerializeTemplate(*pTemplate);
    ::HWND hDialog = ::CreateDialogIndirectParamW(::GetModuleHandleW(nullptr),
                                                  reinterpret_cast<const DLGTEMPLATE*>(data.data()),
                                                  nullptr, &QuietProc, 0);
    ASSERT_NE(hDialog, nullptr) << "error " << ::GetLastError();
    EXPECT_EQ(TextOf(hDialog), ui::win32::WideFrom1252(pTemplate->pszCaption));
    EXPECT_FALSE(::IsWindowVisible(hDialog)) << "made hidden";

    ::HWND hChild = ::GetWindow(hDialog, GW_CHILD);
    for (const ui::ControlTemplate& control : pTemplate->controls) {
        ASSERT_NE(hChild, nullptr) << "control " << control.nID << " is missing";
        EXPECT_EQ(::GetDlgCtrlID(hChild), control.nID);
        EXPECT_EQ(ClassOf(hChild), ExpectedClass(control.kind)) << control.nID;
        if (control.kind == ui::ControlKind::PushButton ||
            control.kind == ui::ControlKind::GroupBox) {
            EXPECT_EQ(TextOf(hChild), ui::win32::WideFrom1252(control.pszText)) << control.nID;
        }
        // The dialog manager draws a bordered edit or list box with a sunken client edge.
        DWORD dwExpected = (control.dwStyle | WS_CHILD) & 0xFFFF0000u;
        if ((dwExpected & WS_BORDER) != 0 &&
            (control.kind == ui::ControlKind::Edit || control.kind == ui::ControlKind::ListBox)) {
            dwExpected &= ~static_cast<DWORD>(WS_BORDER);
            EXPECT_NE(::GetWindowLongW(hChild, GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
        }
        const auto dwStyle = static_cast<DWORD>(::GetWindowLongW(hChild, GWL_STYLE));
        EXPECT_EQ(dwStyle & 0xFFFF0000u, dwExpected) << "window styles of " << control.nID;
        hChild = ::GetWindow(hChild, GW_HWNDNEXT);
    }
    EXPECT_EQ(hChild, nullptr) << "a control more than the template has";
    ::DestroyWindow(hDialog);
}

INSTANTIATE_TEST_SUITE_P(
    AllTemplates, Templates,
    ::testing::Values(std::make_pair(IDD_MAIN, ui::LANG_GERMAN_GERMANY),
                      std::make_pair(IDD_MAIN, ui::LANG_ENGLISH_US),
                      std::make_pair(IDD_OPEN_DEVICE, ui::LANG_GERMAN_GERMANY),
                      std::make_pair(IDD_OPEN_DEVICE, ui::LANG_ENGLISH_US),
                      std::make_pair(IDD_OPEN_DEVICE_IPV6, ui::LANG_GERMAN_GERMANY),
                      std::make_pair(IDD_OPEN_DEVICE_IPV6, ui::LANG_ENGLISH_US)));

// The framework's names and Windows' own stand side by side in the backend.
static_assert(sizeof(fw::RECT) != 0 && sizeof(::RECT) != 0);
static_assert(!std::is_same_v<fw::HWND, ::HWND>);

}  // namespace
