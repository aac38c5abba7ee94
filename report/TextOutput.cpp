#include "TextOutput.h"

#include "ui/Windows1252.h"

#include <cstdio>

using ui::AppendUtf8;
using ui::CodePointOf1252;

namespace {

bool IsUnsafe(unsigned char c) {
    return ui::IsControlOrUndefined1252(c);
}

void AppendEscape(std::string& out, unsigned char c) {
    char sz[8];
    std::snprintf(sz, sizeof(sz), "\\x%02x", c);
    out += sz;
}

}  // namespace

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
            case '"':
                out += "\\\"";
                continue;
            case '\\':
                out += "\\\\";
                continue;
            case '\n':
                out += "\\n";
                continue;
            case '\r':
                out += "\\r";
                continue;
            case '\t':
                out += "\\t";
                continue;
            default:
                break;
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

std::string TerminalTextFromUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        // The length of a well-formed UTF-8 sequence that begins here, 0 when there is none.
        std::size_t n = 0;
        char32_t cp = 0;
        if (c < 0x80) {
            n = 1;
            cp = c;
        } else if (c >= 0xC2 && c <= 0xF4) {
            n = c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
            cp = c & (n == 2 ? 0x1F : n == 3 ? 0x0F : 0x07);
            for (std::size_t k = 1; k < n; ++k) {
                const auto t = i + k < text.size() ? static_cast<unsigned char>(text[i + k]) : 0;
                if ((t & 0xC0) != 0x80) {
                    n = 0;
                    break;
                }
                cp = (cp << 6) | (t & 0x3F);
            }
            const bool bOverlong = (n == 3 && cp < 0x800) || (n == 4 && cp < 0x10000);
            if (n != 0 && (bOverlong || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))) {
                n = 0;
            }
        }
        const bool bControl = cp < 0x20 || (cp >= 0x7F && cp < 0xA0);
        if (n == 0) {
            AppendEscape(out, c);
            ++i;
        } else if (bControl) {
            for (std::size_t k = 0; k < n; ++k) {
                AppendEscape(out, static_cast<unsigned char>(text[i + k]));
            }
            i += n;
        } else {
            out.append(text.substr(i, n));
            i += n;
        }
    }
    return out;
}

std::string CsvFieldFrom1252(std::string_view text) {
    bool bQuote = false;
    std::string body;
    if (!text.empty() &&
        std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos) {
        // Spreadsheets run such a cell as a formula; the apostrophe keeps it text.
        body += '\'';
        bQuote = true;
    }
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '"') {
            body += "\"\"";
            bQuote = true;
        } else if (c == ',' || c < 0x20 || c == 0x7F) {
            body += ch;
            bQuote = true;
        } else {
            AppendUtf8(body, CodePointOf1252(c));
        }
    }
    return bQuote ? "\"" + body + "\"" : body;
}
