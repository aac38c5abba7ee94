// One item of a popup menu: what the framework's menus hand the backend to show.
#pragma once

#include <string>

#include "ui/Types.h"

namespace ui {

/// One item of a popup menu as the backend shows it.
struct MenuItem {
    fw::UINT nID;      ///< what choosing it returns; 0 for a separator
    std::string text;  ///< Windows-1252; '&' marks the letter that chooses it from the keyboard
    bool bSeparator;
    bool bEnabled;
};

}  // namespace ui
