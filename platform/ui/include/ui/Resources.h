// Resources of the program: dialog templates, strings and images, each in one or more languages,
// and the choice of the user-interface language that selects among them.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "ui/Types.h"

namespace ui {

constexpr fw::WORD LANG_GERMAN_GERMANY = 1031;
constexpr fw::WORD LANG_ENGLISH_US = 1033;

// Window and control styles that the templates carry.
constexpr fw::DWORD WS_POPUP = 0x80000000;
constexpr fw::DWORD WS_CHILD = 0x40000000;
constexpr fw::DWORD WS_MINIMIZEBOX = 0x00020000;
constexpr fw::DWORD WS_VISIBLE = 0x10000000;
constexpr fw::DWORD WS_DISABLED = 0x08000000;
constexpr fw::DWORD WS_CAPTION = 0x00C00000;
constexpr fw::DWORD WS_BORDER = 0x00800000;
constexpr fw::DWORD WS_SYSMENU = 0x00080000;
constexpr fw::DWORD WS_THICKFRAME = 0x00040000;
constexpr fw::DWORD WS_VSCROLL = 0x00200000;
constexpr fw::DWORD WS_HSCROLL = 0x00100000;
constexpr fw::DWORD WS_TABSTOP = 0x00010000;
constexpr fw::DWORD WS_EX_APPWINDOW = 0x00040000;
constexpr fw::DWORD DS_SETFONT = 0x40;
constexpr fw::DWORD DS_MODALFRAME = 0x80;
constexpr fw::DWORD DS_FIXEDSYS = 0x0008;
constexpr fw::DWORD BS_GROUPBOX = 0x7;
constexpr fw::DWORD ES_MULTILINE = 0x4;
constexpr fw::DWORD ES_AUTOVSCROLL = 0x40;
constexpr fw::DWORD ES_AUTOHSCROLL = 0x80;
constexpr fw::DWORD ES_READONLY = 0x800;
constexpr fw::DWORD ES_WANTRETURN = 0x1000;
constexpr fw::DWORD SS_BITMAP = 0xE;
constexpr fw::DWORD SS_REALSIZEIMAGE = 0x800;
constexpr fw::DWORD LBS_NOTIFY = 0x1;
constexpr fw::DWORD LBS_HASSTRINGS = 0x40;
constexpr fw::DWORD LBS_NOINTEGRALHEIGHT = 0x100;
constexpr fw::DWORD LBS_DISABLENOSCROLL = 0x1000;

/// The controls a template holds; a label is static text that wraps at its width.
/// The kinds of control a template holds. Each backend makes a kind by one row of its table of
/// control makers (qt/QtControls.cpp, win32/Win32Controls.cpp) and one file of the control.
enum class ControlKind { PushButton, GroupBox, Edit, ListBox, Picture, Label };
/// How many kinds there are: the backends' tables check that they have a row for each.
inline constexpr std::size_t kControlKinds = 6;

/// One control of a dialog template; positions in dialog units.
struct ControlTemplate {
    int nID;
    ControlKind kind;
    const char* pszText;  ///< 8-bit Windows-1252 text
    int x, y, cx, cy;
    fw::DWORD dwStyle;
    int nImageID;     ///< bitmap of a picture control
    int nAnchor = 0;  ///< how it follows a dialog made larger (ui::Anchor, ui/Layout.h)
};

/// A dialog template; the controls in tab order.
struct DialogTemplate {
    fw::UINT nID;
    fw::WORD wLanguage;
    fw::DWORD dwStyle;
    fw::DWORD dwExStyle;
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
void RegisterString(fw::UINT nID, fw::WORD wLanguage, const char* pszText);
/// Registers an image (an icon or bitmap) by a name of the program's that each backend maps to
/// its own resources (the Qt backend: ":/lorixlog/NAME.png", or NAME-SIZE.png in every size of an
/// icon; the Win32 backend loads the id from the program's resource script).
void RegisterImage(int nID, fw::WORD wLanguage, const char* pszName);
/// Registers the same image drawn at twice its size, for screens of more pixels per inch: the Qt
/// backend finds it as NAME@2x.png by itself, the Win32 backend loads bitmap resource nID2x and
/// scales from it.
void RegisterImageAtTwiceTheSize(int nID, int nID2x);
/// The resource of an image at twice its size; 0 when there is none.
int FindImageAtTwiceTheSize(int nID);

/// The user-interface language that resources are chosen by; English until set.
void SetUserInterfaceLanguage(fw::WORD wLanguage);
fw::WORD GetUserInterfaceLanguage();

/// The resource of the user-interface language, else the English one, else any; null when there
/// is none with the id.
const DialogTemplate* FindDialogTemplate(fw::UINT nID);
const char* FindString(fw::UINT nID);
const char* FindImage(int nID);

}  // namespace ui
