// Where the controls of a dialog go when the dialog is made larger than its template, and where a
// window goes so that it fits on its screen. The arithmetic is the same on every backend.
#pragma once

#include "ui/Types.h"

namespace ui {

/// How a control follows a dialog that is larger than its template (a dialog with a sizing
/// border, WS_THICKFRAME): by default it keeps its place relative to the top left corner.
enum Anchor : int {
    kAnchorNone = 0,
    kAnchorRight = 1,   ///< moves with the right edge
    kAnchorBottom = 2,  ///< moves with the bottom edge
    kGrowWidth = 4,     ///< its right edge moves with the dialog's right edge
    kGrowHeight = 8,    ///< its bottom edge moves with the dialog's bottom edge
};

/// The rectangle of a control whose rectangle in the template's size was original, in a dialog
/// nGrowX pixels wider and nGrowY pixels taller than that (never less than 0 each).
fw::RECT AnchoredRect(const fw::RECT& original, int nAnchor, int nGrowX, int nGrowY);

/// A window's outer rectangle made to fit the work area of its screen: no wider and no taller
/// than the work area, and moved as little as it takes to lie within it.
fw::RECT FitIntoWorkArea(const fw::RECT& window, const fw::RECT& workArea);

}  // namespace ui
