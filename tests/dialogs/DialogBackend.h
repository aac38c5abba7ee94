// What the dialog tests need of a toolkit, one small file per backend (qt/, win32/): starting
// it, letting it deliver posted messages, and the few things only a toolkit knows (a real click,
// the focus). Everything else the tests ask through the dialog framework.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "ui/Framework.h"  // not ui/Afx.h: the Win32 helper also sees <windows.h>

namespace dialogtest {

/// Starts the toolkit and installs its backend; once, before the first test.
void StartBackend(int argc, char** argv);
/// Delivers posted messages and pending events until none is left.
void Pump();
/// Clicks the push button as the user does (the toolkit's own click, then its notification).
void Click(fw::CWnd& dialog, int nID);
/// Presses Enter with the keyboard focus in the control, through the toolkit's key handling and
/// the dialog manager, as the user does.
void PressEnter(fw::CWnd& dialog, int nID);
/// Whether the control has the keyboard focus.
bool HasFocus(fw::CWnd& dialog, int nID);

/// The keys a test presses.
enum class Key { Escape, Tab, CtrlA, Plus };
/// Presses the key with the keyboard focus in the control, through the toolkit's key handling,
/// the program's pre-translation and the dialog manager, as the user does.
void PressKey(fw::CWnd& dialog, int nID, Key key);
/// Whether the push button is the dialog's default button (the one Enter clicks).
bool IsDefaultButton(fw::CWnd& dialog, int nID);

/// Takes (bDown) or lets go of the thumb of the control's vertical scroll bar, as the user's
/// mouse does; with the thumb taken, moves it to the top.
void DragThumb(fw::CWnd& dialog, int nID, bool bDown);
/// The vertical scroll position of the control, and its largest.
void ScrollPosition(fw::CWnd& dialog, int nID, int* pnValue, int* pnMaximum);

/// Whether the dialog shows an icon of the program's (none set: the toolkit's default).
bool ShowsProgramIcon(fw::CWnd& dialog);

/// Whether the dialog and all its visible controls have been painted on the screen since they
/// were shown (no part of them waits to be painted).
bool IsPainted(fw::CWnd& dialog);

/// What the user does while a handler keeps the thread busy: queued as the window system queues
/// it, taken in when the program looks at its input next. A key goes to the control that has the
/// focus.
enum class Input { Escape, CloseBox, ClickQuit, ClickOpenDevice, ClickSearchAgain, Enter };
void QueueInput(fw::CWnd& dialog, Input input);

/// Asks for the control's context menu as the user does (bKeyboard: from the keyboard, else with
/// a right click near its top left corner, on the first line of a list) and reads the menu that
/// opens: its items' texts as the program gave them
/// ("-" for a separator, "(disabled) " before an item that cannot be chosen). Then chooses the
/// item whose text is pszChoose, with the key of its marked letter, or closes the menu with
/// Escape (null). Returns the texts; none when no menu opened.
std::vector<std::string> ContextMenu(fw::CWnd& dialog, int nID, bool bKeyboard,
                                     const char* pszChoose);

/// The text on the clipboard (Windows-1252); empty when there is none.
std::string ClipboardText();

/// What the test saw of a save dialog, and how it answers it.
struct FileDialogAnswer {
    FileDialogAnswer(std::string folderTo, std::string nameTyped, int nKind)
        : folder(std::move(folderTo)), name(std::move(nameTyped)), nFilter(nKind) {}
    std::string folder;  ///< where the file goes (the test's own folder)
    std::string name;    ///< the name typed; empty: the dialog is cancelled
    int nFilter = 0;     ///< the kind chosen, counting from 0
    bool bShown = false;
    std::string title;                 ///< the dialog's caption (Windows-1252)
    std::vector<std::string> filters;  ///< the kinds it offered, as shown
};
/// Answers the next save dialog that opens, as the user does: the kind chosen, the name typed
/// into the folder, then Save (or Cancel). The answer must live until the dialog has closed.
void AnswerNextFileDialog(FileDialogAnswer* pAnswer);

/// How far the control's contents scroll sideways, in pixels (0: they fit).
int HorizontalScrollRange(fw::CWnd& dialog, int nID);

/// Whether the control is whole in view: within the part of the dialog the screen shows, and
/// within the work area of the screen.
bool IsInView(fw::CWnd& dialog, int nID);

/// Whether the group box with this caption (Windows-1252) shows its caption to the last letter:
/// the ink on the screen reaches as far as the same text drawn whole in the same font.
bool CaptionShownWhole(fw::CWnd& dialog, const char* pszCaption);

/// Shows the backend's message box with the text (no owner), waits until it is on the screen,
/// reads its outer height and the height of its screen's work area, and closes it. With
/// bCommandLine the box of ui::ShowCommandLineText (help, a wrong option) instead, where the
/// platform shows one (Windows); where it writes to the terminal, *pnHeight stays -1.
void MeasureMessageBox(const char* pszText, int* pnHeight, int* pnWorkArea,
                       bool bCommandLine = false);

}  // namespace dialogtest
