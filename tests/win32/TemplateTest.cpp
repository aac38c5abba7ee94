// Every dialog template of the program, in both languages, as the Windows dialog manager builds
// it from the one template source: the dialog and each control exist, with their class, id,
// style and text.
#include <gtest/gtest.h>

#include "Resources.h"
#include "Win32Backend.h"
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
        case ui::ControlKind::Label:
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
            control.kind == ui::ControlKind::GroupBox || control.kind == ui::ControlKind::Label) {
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
                      std::make_pair(IDD_OPEN_DEVICE_IPV6, ui::LANG_ENGLISH_US),
                      std::make_pair(IDD_TARGETS, ui::LANG_GERMAN_GERMANY),
                      std::make_pair(IDD_TARGETS, ui::LANG_ENGLISH_US)));

SIZE BitmapSize(::HWND hStatic) {
    const auto hBitmap =
        reinterpret_cast<::HBITMAP>(::SendMessageW(hStatic, STM_GETIMAGE, IMAGE_BITMAP, 0));
    ::BITMAP info{};
    if (hBitmap == nullptr || ::GetObjectW(hBitmap, sizeof(info), &info) == 0) {
        return SIZE{0, 0};
    }
    return SIZE{info.bmWidth, info.bmHeight};
}

int IconSize(::HWND hDialog, WPARAM nKind) {
    const auto hIcon = reinterpret_cast<::HICON>(::SendMessageW(hDialog, WM_GETICON, nKind, 0));
    ICONINFO info{};
    if (hIcon == nullptr || !::GetIconInfo(hIcon, &info)) {
        return 0;
    }
    ::BITMAP bitmap{};
    ::GetObjectW(info.hbmColor != nullptr ? info.hbmColor : info.hbmMask, sizeof(bitmap), &bitmap);
    if (info.hbmColor != nullptr) {
        ::DeleteObject(info.hbmColor);
    }
    ::DeleteObject(info.hbmMask);
    return bitmap.bmWidth;
}

// At 150 % and 200 % the logo and the icons grow with the dialog (the dialog manager scales the
// controls and their font), also when the window moves to a screen of another scale.
TEST(HighDpi, TheLogoAndTheIconsFollowTheScreensScale) {
    RegisterProgramResources();
    ui::SetUserInterfaceLanguage(ui::LANG_ENGLISH_US);
    ui::win32::InstallBackend();
    fw::CDialogEx dlg(IDD_MAIN);
    ASSERT_TRUE(dlg.Create(IDD_MAIN));
    dlg.SetIcon(fw::AfxLoadIcon(IDI_PROGRAM), TRUE);
    dlg.SetIcon(fw::AfxLoadIcon(IDI_PROGRAM), FALSE);
    const ::HWND hDialog = static_cast<ui::win32::Window*>(dlg.m_hWnd)->Handle();
    ::HWND hLogo = nullptr;
    for (::HWND h = ::GetWindow(hDialog, GW_CHILD); h != nullptr; h = ::GetWindow(h, GW_HWNDNEXT)) {
        hLogo = ClassOf(h) == L"Static" ? h : hLogo;
    }
    ASSERT_NE(hLogo, nullptr);
    const UINT nSystemDpi = ui::win32::DpiOf(hDialog);
    EXPECT_EQ(BitmapSize(hLogo).cx, ::MulDiv(400, static_cast<int>(nSystemDpi), 96));

    struct Scale {
        UINT nDpi;
        LONG cx;
        LONG cy;
        int nSmallIcon;
    };
    for (const Scale& scale :
         {Scale{144, 600, 170, 24}, Scale{192, 800, 226, 32}, Scale{96, 400, 113, 16}}) {
        ::RECT suggested{10, 10, 700, 700};
        ::SendMessageW(hDialog, WM_DPICHANGED, MAKEWPARAM(scale.nDpi, scale.nDpi),
                       reinterpret_cast<LPARAM>(&suggested));
        const SIZE size = BitmapSize(hLogo);
        EXPECT_EQ(size.cx, scale.cx) << scale.nDpi;
        EXPECT_EQ(size.cy, scale.cy) << scale.nDpi;
        EXPECT_EQ(IconSize(hDialog, ICON_SMALL), scale.nSmallIcon) << scale.nDpi;
        EXPECT_EQ(IconSize(hDialog, ICON_BIG), scale.nSmallIcon * 2) << scale.nDpi;
        ::RECT window{};
        ::GetWindowRect(hDialog, &window);
        EXPECT_EQ(window.right - window.left, 690) << "the suggested size is taken";
    }
    dlg.DestroyWindow();
}

// The framework's names and Windows' own stand side by side in the backend.
static_assert(sizeof(fw::RECT) != 0 && sizeof(::RECT) != 0);
static_assert(!std::is_same_v<fw::HWND, ::HWND>);

}  // namespace
