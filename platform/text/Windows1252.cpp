#include "text/Windows1252.h"

namespace text {

namespace {
constexpr char32_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  //
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  //
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  //
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};
}  // namespace

char32_t CodePointOf1252(unsigned char byte) {
    return byte >= 0x80 && byte < 0xA0 ? kHigh[byte - 0x80] : static_cast<char32_t>(byte);
}

bool IsControlOrUndefined1252(unsigned char c) {
    return c < 0x20 || c == 0x7F || c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::string Utf8From1252(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        AppendUtf8(out, CodePointOf1252(static_cast<unsigned char>(c)));
    }
    return out;
}

std::string Windows1252FromUtf8(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        char32_t cp = c;
        std::size_t n = 1;
        if (c >= 0xF0) {
            n = 4;
            cp = c & 0x07;
        } else if (c >= 0xE0) {
            n = 3;
            cp = c & 0x0F;
        } else if (c >= 0xC0) {
            n = 2;
            cp = c & 0x1F;
        }
        for (std::size_t k = 1; k < n && i + k < text.size(); ++k) {
            cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        }
        i += n;
        const int nByte = Byte1252Of(cp);
        out += nByte < 0 ? '?' : static_cast<char>(nByte);
    }
    return out;
}

std::size_t Utf8SequenceAt(std::string_view text, std::size_t i, char32_t* pCodePoint) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
        *pCodePoint = c;
        return 1;
    }
    if (c < 0xC2 || c > 0xF4) {
        return 0;
    }
    const std::size_t n = c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    char32_t cp = c & (n == 2 ? 0x1F : n == 3 ? 0x0F : 0x07);
    for (std::size_t k = 1; k < n; ++k) {
        const auto t = i + k < text.size() ? static_cast<unsigned char>(text[i + k]) : 0;
        if ((t & 0xC0) != 0x80) {
            return 0;
        }
        cp = (cp << 6) | (t & 0x3F);
    }
    const bool bOverlong = (n == 3 && cp < 0x800) || (n == 4 && cp < 0x10000);
    if (bOverlong || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        return 0;
    }
    *pCodePoint = cp;
    return n;
}

bool IsUtf8BeyondAscii(std::string_view text) {
    bool bBeyondAscii = false;
    for (std::size_t i = 0; i < text.size();) {
        char32_t cp = 0;
        const std::size_t n = Utf8SequenceAt(text, i, &cp);
        if (n == 0) {
            return false;
        }
        bBeyondAscii = bBeyondAscii || n > 1;
        i += n;
    }
    return bBeyondAscii;
}

int Byte1252Of(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp < 0x100)) {
        return static_cast<int>(cp);
    }
    for (int k = 0; k < 32; ++k) {
        if (kHigh[k] == cp) {
            return 0x80 + k;
        }
    }
    return -1;
}

}  // namespace text
