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
