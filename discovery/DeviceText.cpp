#include "DeviceText.h"

#include <cstdio>
#include <cstring>
#include <string_view>

#include "text/Windows1252.h"

namespace {

void AppendByteEscape(std::string& shown, unsigned char c) {
    char szEscape[8];
    std::snprintf(szEscape, sizeof(szEscape), "\\x%02x", c);
    shown += szEscape;
}

}  // namespace

std::string ShownDeviceText(const char* pszField) {
    const std::string_view field(pszField);
    std::string shown;
    if (text::IsUtf8BeyondAscii(field)) {
        for (std::size_t i = 0; i < field.size();) {
            char32_t cp = 0;
            const std::size_t n = text::Utf8SequenceAt(field, i, &cp);
            const int nByte = text::Byte1252Of(cp);
            if (cp < 0x20 || (cp >= 0x7F && cp < 0xA0)) {
                for (std::size_t k = 0; k < n; ++k) {
                    AppendByteEscape(shown, static_cast<unsigned char>(field[i + k]));
                }
            } else if (nByte >= 0) {
                shown += static_cast<char>(nByte);
            } else {
                char szEscape[16];
                std::snprintf(szEscape, sizeof(szEscape), "\\u%04X", static_cast<unsigned>(cp));
                shown += szEscape;
            }
            i += n;
        }
        return shown;
    }
    for (char ch : field) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c == 0x7F) {
            AppendByteEscape(shown, c);
        } else {
            shown += ch;
        }
    }
    return shown;
}

std::string Utf8DeviceText(const char* pszField) {
    const std::string_view field(pszField);
    return text::IsUtf8BeyondAscii(field) ? std::string(field) : text::Utf8From1252(field);
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
        // Underscores stand in many names of devices and services (lab_logger); browsers and
        // resolvers take them as they take letters.
        const bool bLetterOrDigit =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
        if (!bLetterOrDigit && (c != '-' || nLabel == 0)) {
            return false;
        }
        ++nLabel;
    }
    return true;
}
