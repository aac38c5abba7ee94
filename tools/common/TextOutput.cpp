#include "TextOutput.h"

#include <cstdio>

namespace {

constexpr char32_t k1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  //
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  //
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  //
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

bool IsUnsafe(unsigned char c) {
    return c < 0x20 || c == 0x7F || c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D;
}

void AppendEscape(std::string& out, unsigned char c) {
    char sz[8];
    std::snprintf(sz, sizeof(sz), "\\x%02x", c);
    out += sz;
}

}  // namespace

char32_t CodePointOf1252(unsigned char byte) {
    return byte >= 0x80 && byte < 0xA0 ? k1252High[byte - 0x80] : static_cast<char32_t>(byte);
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

std::string TerminalTextFrom1252(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (IsUnsafe(c)) {
            AppendEscape(out, c);
        } else {
            AppendUtf8(out, CodePointOf1252(c));
        }
    }
    return out;
}

std::string JsonStringFrom1252(std::string_view text) {
    std::string out = "\"";
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        const char32_t cp = CodePointOf1252(c);
        switch (c) {
            case '"': out += "\\\""; continue;
            case '\\': out += "\\\\"; continue;
            case '\n': out += "\\n"; continue;
            case '\r': out += "\\r"; continue;
            case '\t': out += "\\t"; continue;
            default: break;
        }
        if (cp < 0x20 || (cp >= 0x7F && cp < 0xA0)) {
            char sz[8];
            std::snprintf(sz, sizeof(sz), "\\u%04x", static_cast<unsigned>(cp));
            out += sz;
        } else {
            AppendUtf8(out, cp);
        }
    }
    out += '"';
    return out;
}

std::string CsvFieldFrom1252(std::string_view text) {
    bool bQuote = false;
    std::string body;
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '"') {
            body += "\"\"";
            bQuote = true;
        } else if (c == ',' || c == '\r' || c == '\n') {
            body += ch;
            bQuote = true;
        } else if (IsUnsafe(c)) {
            AppendEscape(body, c);
        } else {
            AppendUtf8(body, CodePointOf1252(c));
        }
    }
    return bQuote ? "\"" + body + "\"" : body;
}
