#include "TextOutput.h"

#include "text/Windows1252.h"

#include <cstdio>

using text::AppendUtf8;
using text::CodePointOf1252;

namespace {

bool IsUnsafe(unsigned char c) {
    return text::IsControlOrUndefined1252(c);
}

void AppendEscape(std::string& out, unsigned char c) {
    char sz[8];
    std::snprintf(sz, sizeof(sz), "\\x%02x", c);
    out += sz;
}

void AppendCodePointEscape(std::string& out, char32_t cp) {
    char sz[16];
    std::snprintf(sz, sizeof(sz), "\\u%04X", static_cast<unsigned>(cp));
    out += sz;
}

/// A character that must not reach a terminal as it is: a control character or a bidirectional
/// control.
bool IsUnsafeCodePoint(char32_t cp) {
    return cp < 0x20 || (cp >= 0x7F && cp < 0xA0) || IsBidiControl(cp);
}

/// Appends the UTF-8 sequence text[i .. i + n) of the code point, escaped when it is unsafe.
void AppendSafe(std::string& out, std::string_view text, std::size_t i, std::size_t n,
                char32_t cp) {
    if (IsBidiControl(cp)) {
        AppendCodePointEscape(out, cp);
    } else if (IsUnsafeCodePoint(cp)) {
        for (std::size_t k = 0; k < n; ++k) {
            AppendEscape(out, static_cast<unsigned char>(text[i + k]));
        }
    } else {
        out.append(text.substr(i, n));
    }
}

}  // namespace

bool IsBidiControl(char32_t cp) {
    return cp == 0x061C || cp == 0x200E || cp == 0x200F || (cp >= 0x202A && cp <= 0x202E) ||
           (cp >= 0x2066 && cp <= 0x2069);
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
    return JsonStringFromUtf8(text::Utf8From1252(text));
}

std::string JsonStringFromUtf8(std::string_view text) {
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size();) {
        char32_t cp = 0;
        std::size_t n = text::Utf8SequenceAt(text, i, &cp);
        if (n == 0) {
            cp = 0xFFFD;  // not UTF-8: the replacement character
            n = 1;
        }
        switch (cp) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (cp < 0x20 || (cp >= 0x7F && cp < 0xA0)) {
                    char sz[8];
                    std::snprintf(sz, sizeof(sz), "\\u%04x", static_cast<unsigned>(cp));
                    out += sz;
                } else {
                    AppendUtf8(out, cp);
                }
                break;
        }
        i += n;
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
        if (n == 0) {
            AppendEscape(out, c);
            ++i;
        } else {
            AppendSafe(out, text, i, n, cp);
            i += n;
        }
    }
    return out;
}

std::string CsvFieldFrom1252(std::string_view text) {
    return CsvFieldFromUtf8(text::Utf8From1252(text));
}

std::string CsvFieldFromUtf8(std::string_view text) {
    bool bQuote = false;
    std::string body;
    // Spreadsheets run a cell as a formula when it begins with one of these, also behind blanks;
    // the apostrophe keeps it text. (Tabs and line ends before it are escaped, and a cell that
    // begins with a backslash is no formula.)
    const std::size_t nFirst = text.find_first_not_of(' ');
    const bool bFormula = nFirst != std::string_view::npos &&
                          std::string_view("=+-@").find(text[nFirst]) != std::string_view::npos;
    if (bFormula) {
        body += '\'';
        bQuote = true;
    }
    for (std::size_t i = 0; i < text.size();) {
        char32_t cp = 0;
        std::size_t n = text::Utf8SequenceAt(text, i, &cp);
        if (n == 0) {
            AppendUtf8(body, 0xFFFD);
            ++i;
            continue;
        }
        if (cp == '"') {
            body += "\"\"";
            bQuote = true;
        } else {
            bQuote = bQuote || cp == ',';
            AppendSafe(body, text, i, n, cp);
        }
        i += n;
    }
    return bQuote ? "\"" + body + "\"" : body;
}
