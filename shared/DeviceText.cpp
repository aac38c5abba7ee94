#include "DeviceText.h"

#include <cstdio>
#include <cstring>

std::string ShownDeviceText(const char* pszField) {
    std::string shown;
    for (const char* p = pszField; *p != '\0'; ++p) {
        const auto c = static_cast<unsigned char>(*p);
        if (c < 0x20 || c == 0x7F) {
            char szEscape[8];
            std::snprintf(szEscape, sizeof(szEscape), "\\x%02x", c);
            shown += szEscape;
        } else {
            shown += *p;
        }
    }
    return shown;
}

bool IsDnsHostName(const char* pszName) {
    std::size_t nLength = std::strlen(pszName);
    if (nLength > 0 && pszName[nLength - 1] == '.') {
        --nLength;  // the root label
    }
    if (nLength == 0 || nLength > 253) {
        return false;
    }
    std::size_t nLabel = 0;
    for (std::size_t i = 0; i <= nLength; ++i) {
        const char c = i < nLength ? pszName[i] : '.';
        if (c == '.') {
            if (nLabel == 0 || nLabel > 63 || pszName[i - 1] == '-') {
                return false;
            }
            nLabel = 0;
            continue;
        }
        const bool bLetterOrDigit =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (!bLetterOrDigit && (c != '-' || nLabel == 0)) {
            return false;
        }
        ++nLabel;
    }
    return true;
}
