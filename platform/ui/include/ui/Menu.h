// Popup menus: the context menu of a control, built item by item and shown where the user asked
// for it.
#pragma once

#include <string>
#include <vector>

#include "ui/MenuItem.h"
#include "ui/Types.h"

namespace fw {
class CWnd;
}  // namespace fw

namespace fw {

constexpr UINT MF_STRING = 0x0000;
constexpr UINT MF_GRAYED = 0x0001;
constexpr UINT MF_SEPARATOR = 0x0800;
constexpr UINT TPM_LEFTALIGN = 0x0000;
constexpr UINT TPM_RIGHTBUTTON = 0x0002;
constexpr UINT TPM_RETURNCMD = 0x0100;

/// A popup menu.
class CMenu {
public:
    /// Starts an empty popup menu.
    BOOL CreatePopupMenu();
    /// Adds an item (MF_STRING, MF_GRAYED for one that cannot be chosen) or a separator
    /// (MF_SEPARATOR). FALSE before CreatePopupMenu.
    BOOL AppendMenu(UINT nFlags, UINT_PTR nIDNewItem = 0, const char* lpszNewItem = nullptr);
    UINT GetMenuItemCount() const { return static_cast<UINT>(m_items.size()); }
    /// Shows the menu with its top left corner at the point (screen coordinates), for pWnd, and
    /// waits until the user chose an item or dismissed the menu. With TPM_RETURNCMD returns the
    /// chosen item's identifier (0: none); otherwise sends WM_COMMAND with it to pWnd and returns
    /// TRUE when an item was chosen.
    BOOL TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd);

private:
    bool m_bCreated = false;
    std::vector<ui::MenuItem> m_items;
};

}  // namespace fw
