// Resources of the program: dialog templates, strings and images, each in one or more languages,
// and the choice of the user-interface language that selects among them.
#pragma once

#include <string>
#include <vector>

#include "ui/Types.h"

namespace ui {

constexpr WORD LANG_GERMAN_GERMANY = 1031;
constexpr WORD LANG_ENGLISH_US = 1033;

// Window and control styles that the templates carry.
constexpr DWORD WS_POPUP = 0x80000000;
constexpr DWORD WS_CHILD = 0x40000000;
constexpr DWORD WS_MINIMIZEBOX = 0x00020000;
constexpr DWORD WS_VISIBLE = 0x10000000;
constexpr DWORD WS_DISABLED = 0x08000000;
constexpr DWORD WS_CAPTION = 0x00C00000;
constexpr DWORD WS_BORDER = 0x00800000;
constexpr DWORD WS_SYSMENU = 0x00080000;
constexpr DWORD WS_VSCROLL = 0x00200000;
constexpr DWORD WS_HSCROLL = 0x00100000;
constexpr DWORD WS_TABSTOP = 0x00010000;
constexpr DWORD WS_EX_APPWINDOW = 0x00040000;
constexpr DWORD DS_SETFONT = 0x40;
constexpr DWORD DS_MODALFRAME = 0x80;
constexpr DWORD DS_FIXEDSYS = 0x0008;
constexpr DWORD BS_GROUPBOX = 0x7;
constexpr DWORD ES_MULTILINE = 0x4;
constexpr DWORD ES_AUTOVSCROLL = 0x40;
constexpr DWORD ES_AUTOHSCROLL = 0x80;
constexpr DWORD ES_READONLY = 0x800;
constexpr DWORD SS_BITMAP = 0xE;
constexpr DWORD SS_REALSIZEIMAGE = 0x800;
constexpr DWORD LBS_NOTIFY = 0x1;
constexpr DWORD LBS_HASSTRINGS = 0x40;
constexpr DWORD LBS_NOINTEGRALHEIGHT = 0x100;
constexpr DWORD LBS_DISABLENOSCROLL = 0x1000;

enum class ControlKind { PushButton, GroupBox, Edit, ListBox, Picture };

/// One control of a dialog template; positions in dialog units.
struct ControlTemplate {
    int nID;
    ControlKind kind;
    const char* pszText;  ///< 8-bit Windows-1252 text
    int x, y, cx, cy;
    DWORD dwStyle;
    int nImageID;  ///< bitmap of a picture control
};

/// A dialog template; the controls in tab order.
struct DialogTemplate {
    UINT nID;
    WORD wLanguage;
    DWORD dwStyle;
    DWORD dwExStyle;
    int x, y, cx, cy;
    const char* pszFont;
    int nPointSize;
    int nWeight;
    const char* pszCaption;
    std::vector<ControlTemplate> controls;
};

/// Registers a dialog template for its id and language.
void RegisterDialogTemplate(const DialogTemplate& dialog);
/// Registers a string of the string table.
void RegisterString(UINT nID, WORD wLanguage, const char* pszText);
/// Registers an image (an icon or bitmap) by the name the backend loads it from.
void RegisterImage(int nID, WORD wLanguage, const char* pszName);

/// The user-interface language that resources are chosen by; English until set.
void SetUserInterfaceLanguage(WORD wLanguage);
WORD GetUserInterfaceLanguage();

/// The resource of the user-interface language, else the English one, else any; null when there
/// is none with the id.
const DialogTemplate* FindDialogTemplate(UINT nID);
const char* FindString(UINT nID);
const char* FindImage(int nID);

}  // namespace ui
