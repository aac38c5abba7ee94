// The size of a window that the user made larger, kept in the user's settings for the next
// start: a file that holds "WIDTH HEIGHT", the window's client area in pixels.
#pragma once

#include <string>

class CKeptSize {
public:
    /// Where the size is kept; empty: it is not kept.
    std::string m_strFile;

    /// The kept size; false when there is none (no file, or one that holds anything but two
    /// numbers from 1 to 100,000).
    bool Load(long* pnWidth, long* pnHeight) const;
    /// Keeps the size. A size that cannot be kept is no loss worth a message: false, quietly.
    bool Save(long nWidth, long nHeight) const;
};
