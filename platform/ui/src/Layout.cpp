#include "ui/Layout.h"

#include <algorithm>

namespace ui {

fw::RECT AnchoredRect(const fw::RECT& original, int nAnchor, int nGrowX, int nGrowY) {
    nGrowX = std::max(0, nGrowX);
    nGrowY = std::max(0, nGrowY);
    fw::RECT rect = original;
    if ((nAnchor & kAnchorRight) != 0) {
        rect.left += nGrowX;
        rect.right += nGrowX;
    } else if ((nAnchor & kGrowWidth) != 0) {
        rect.right += nGrowX;
    }
    if ((nAnchor & kAnchorBottom) != 0) {
        rect.top += nGrowY;
        rect.bottom += nGrowY;
    } else if ((nAnchor & kGrowHeight) != 0) {
        rect.bottom += nGrowY;
    }
    return rect;
}

fw::RECT FitIntoWorkArea(const fw::RECT& window, const fw::RECT& workArea) {
    const long nWidth = std::min(window.right - window.left, workArea.right - workArea.left);
    const long nHeight = std::min(window.bottom - window.top, workArea.bottom - workArea.top);
    const long nLeft = std::clamp(window.left, workArea.left, workArea.right - nWidth);
    const long nTop = std::clamp(window.top, workArea.top, workArea.bottom - nHeight);
    return fw::RECT{nLeft, nTop, nLeft + nWidth, nTop + nHeight};
}

}  // namespace ui
