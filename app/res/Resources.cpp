#include "Resources.h"

#include "Texts.h"
#include "resource.h"
#include "ui/Afx.h"
#include "ui/Layout.h"
#include "ui/Resources.h"

using namespace ui;

namespace {

constexpr WORD kGerman = LANG_GERMAN_GERMANY;
constexpr WORD kEnglish = LANG_ENGLISH_US;

// Main dialog: popup, visible, caption, system menu, minimise box, modal frame, font.
constexpr DWORD kMainStyle = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX |
                             DS_MODALFRAME | DS_SETFONT | DS_FIXEDSYS;
// Open-device dialog: popup, caption, system menu, modal frame, font.
constexpr DWORD kOpenStyle =
    WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_FIXEDSYS;
// The device list has a sizing border too: a plant's many devices fit in a larger list.
constexpr DWORD kListDialogStyle = kOpenStyle | WS_THICKFRAME;
constexpr DWORD kGroupStyle = WS_CHILD | WS_VISIBLE | BS_GROUPBOX;
// A line wider than the list scrolls sideways.
constexpr DWORD kListStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_HSCROLL |
                             WS_TABSTOP | LBS_NOTIFY | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT |
                             LBS_DISABLENOSCROLL;
constexpr DWORD kButtonStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
constexpr DWORD kHiddenButtonStyle = WS_CHILD | WS_TABSTOP;
constexpr DWORD kDisabledButtonStyle = WS_CHILD | WS_VISIBLE | WS_DISABLED | WS_TABSTOP;
constexpr DWORD kReportStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_HSCROLL |
                               WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL |
                               ES_READONLY;
constexpr DWORD kLogoStyle = WS_CHILD | WS_VISIBLE | SS_BITMAP | SS_REALSIZEIMAGE;
constexpr DWORD kLabelStyle = WS_CHILD | WS_VISIBLE;
constexpr DWORD kTargetsStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_TABSTOP |
                                ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;

struct MainTexts {
    const char* pszSearch;
    const char* pszOpenDevice;
    const char* pszQuit;
    const char* pszResults;
    const char* pszSearchAgain;
};

DialogTemplate MainDialog(WORD wLanguage, const MainTexts& t) {
    return DialogTemplate{
        IDD_MAIN,
        wLanguage,
        kMainStyle,
        WS_EX_APPWINDOW,
        0,
        0,
        315,
        326,
        "MS Shell Dlg",
        8,
        0,
        "lorixlog-finder",
        {
            {IDC_SEARCH, ControlKind::PushButton, t.pszSearch, 144, 90, 50, 14, kHiddenButtonStyle,
             0},
            {IDC_OPEN_DEVICE, ControlKind::PushButton, t.pszOpenDevice, 18, 90, 78, 14,
             kDisabledButtonStyle, 0},
            {IDC_QUIT, ControlKind::PushButton, t.pszQuit, 252, 90, 50, 14, kButtonStyle, 0},
            {IDC_STATIC, ControlKind::GroupBox, t.pszResults, 12, 114, 294, 204, kGroupStyle, 0},
            {IDC_REPORT, ControlKind::Edit, "", 18, 126, 282, 186, kReportStyle, 0},
            {IDC_STATIC, ControlKind::Picture, "", 23, 7, 267, 70, kLogoStyle, IDB_LOGO},
            {IDC_SEARCH_AGAIN, ControlKind::PushButton, t.pszSearchAgain, 138, 90, 69, 14,
             kDisabledButtonStyle, 0},
        }};
}

struct OpenTexts {
    const char* pszSelect;
    const char* pszOpen;
    const char* pszByName;
    const char* pszByIPv4;
    const char* pszByIPv6;  // null: the layout without the IPv6 button
    const char* pszCancel;
};

DialogTemplate OpenDeviceDialog(UINT nID, WORD wLanguage, const OpenTexts& t) {
    DialogTemplate dialog{nID, wLanguage, kListDialogStyle,  0, 0, 0, 315, 230, "MS Shell Dlg",
                          8,   400,       "lorixlog-finder", {}};
    // Made larger, the list grows with the dialog; the buttons keep their places at the bottom.
    constexpr int kGrow = kGrowWidth | kGrowHeight;
    constexpr int kBottom = kAnchorBottom;
    dialog.controls = {
        {IDC_STATIC, ControlKind::GroupBox, t.pszSelect, 6, 12, 300, 174, kGroupStyle, 0, kGrow},
        {IDC_DEVICE_LIST, ControlKind::ListBox, "", 12, 30, 288, 150, kListStyle, 0, kGrow},
        {IDC_STATIC, ControlKind::GroupBox, t.pszOpen, 6, 192, 300, 32, kGroupStyle, 0,
         kBottom | kGrowWidth},
        {IDC_BY_NAME, ControlKind::PushButton, t.pszByName, 12, 204, 48, 14, kButtonStyle, 0,
         kBottom},
    };
    if (t.pszByIPv6 == nullptr) {
        dialog.controls.push_back({IDC_BY_IPV4, ControlKind::PushButton, t.pszByIPv4, 108, 204, 72,
                                   14, kButtonStyle, 0, kBottom});
    } else {
        dialog.controls.push_back({IDC_BY_IPV4, ControlKind::PushButton, t.pszByIPv4, 72, 204, 72,
                                   14, kButtonStyle, 0, kBottom});
        dialog.controls.push_back({IDC_BY_IPV6, ControlKind::PushButton, t.pszByIPv6, 156, 204, 72,
                                   14, kButtonStyle, 0, kBottom});
    }
    dialog.controls.push_back({IDCANCEL, ControlKind::PushButton, t.pszCancel, 240, 204, 56, 14,
                               kButtonStyle, 0, kBottom | kAnchorRight});
    return dialog;
}

struct TargetsTexts {
    const char* pszCaption;
    const char* pszHint;
    const char* pszCancel;
};

/// The search targets the user keeps: one a line, in a multiline edit.
DialogTemplate TargetsDialog(WORD wLanguage, const TargetsTexts& t) {
    return DialogTemplate{
        IDD_TARGETS,
        wLanguage,
        kOpenStyle,
        0,
        0,
        0,
        260,
        176,
        "MS Shell Dlg",
        8,
        400,
        t.pszCaption,
        {
            {IDC_STATIC, ControlKind::Label, t.pszHint, 6, 6, 248, 26, kLabelStyle, 0},
            {IDC_TARGETS, ControlKind::Edit, "", 6, 36, 248, 112, kTargetsStyle, 0},
            {IDOK, ControlKind::PushButton, "OK", 138, 156, 56, 14, kButtonStyle, 0},
            {IDCANCEL, ControlKind::PushButton, t.pszCancel, 198, 156, 56, 14, kButtonStyle, 0},
        }};
}

}  // namespace

void RegisterProgramResources() {
    for (const Language language : {Language::German, Language::English}) {
        const WORD wLanguage = language == Language::German ? kGerman : kEnglish;
        auto say = [language](texts::Id id) { return texts::Get(id, language); };
        RegisterDialogTemplate(MainDialog(
            wLanguage, {say(texts::MainSearch), say(texts::MainOpenDevice), say(texts::MainQuit),
                        say(texts::MainResults), say(texts::MainSearchAgain)}));
        RegisterDialogTemplate(OpenDeviceDialog(
            IDD_OPEN_DEVICE, wLanguage,
            {say(texts::ListSelectDevice), say(texts::ListOpenDevice), say(texts::ListByName),
             say(texts::ListByIPAddress), nullptr, say(texts::DialogCancel)}));
        RegisterDialogTemplate(
            OpenDeviceDialog(IDD_OPEN_DEVICE_IPV6, wLanguage,
                             {say(texts::ListSelectDevice), say(texts::ListOpenDevice),
                              say(texts::ListByName), say(texts::ListByIPv4Address),
                              say(texts::ListByIPv6Address), say(texts::DialogCancel)}));
        RegisterDialogTemplate(TargetsDialog(
            wLanguage,
            {say(texts::TargetsCaption), say(texts::TargetsHint), say(texts::DialogCancel)}));

        RegisterString(IDS_LANGUAGE, wLanguage, LanguageTagOf(language));
        RegisterString(IDS_MENU_COPY, wLanguage, say(texts::MenuCopy));
        RegisterString(IDS_MENU_SELECT_ALL, wLanguage, say(texts::MenuSelectAll));
        RegisterString(IDS_MENU_SEARCH_TARGETS, wLanguage, say(texts::MenuSearchTargets));
        RegisterString(IDS_MENU_SAVE_LIST, wLanguage, say(texts::MenuSaveList));
    }

    // One icon for both languages, stored under German.
    // Names, not files: each backend finds an image its own way (Qt in its compiled-in
    // resources, Windows in the program's resource script, by the id).
    RegisterImage(IDI_PROGRAM, kGerman, "icon");
    RegisterImage(IDI_PROGRAM, kEnglish, "icon");
    RegisterImage(IDB_LOGO, kGerman, "logo-de");
    RegisterImage(IDB_LOGO, kEnglish, "logo-en");
    RegisterImageAtTwiceTheSize(IDB_LOGO, IDB_LOGO_2X);
}
