#include "Win32Internal.h"
#include "text/Windows1252.h"

namespace ui::win32 {

using ::text::CodePointOf1252;
using ::text::Utf8From1252;
using ::text::Windows1252FromUtf8;

std::wstring WideFrom1252(std::string_view text, bool bPictures) {
    std::wstring out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        const bool bLineEnd = (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ||
                              (c == '\n' && i > 0 && text[i - 1] == '\r');
        if (bPictures && c < 0x20 && !bLineEnd) {
            out += static_cast<wchar_t>(0x2400 + c);
        } else {
            // Windows-1252 lies within the Basic Multilingual Plane: one unit a byte.
            out += static_cast<wchar_t>(CodePointOf1252(c));
        }
    }
    return out;
}

std::string Bytes1252FromWide(std::wstring_view text) {
    std::string out;
    out.reserve(text.size());
    for (wchar_t w : text) {
        if (w >= 0x2400 && w < 0x2420) {
            out += static_cast<char>(w - 0x2400);
            continue;
        }
        char c = '?';
        for (unsigned b = 0; b < 256; ++b) {
            if (CodePointOf1252(static_cast<unsigned char>(b)) == static_cast<char32_t>(w)) {
                c = static_cast<char>(b);
                break;
            }
        }
        out += c;
    }
    return out;
}

}  // namespace ui::win32
