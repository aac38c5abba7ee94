#include <set>
#include <string>

#include "Invariants.h"

namespace fuzz {

namespace {

bool IsNameStart(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':';
}

bool IsNameChar(char c) {
    return IsNameStart(c) || (c >= '0' && c <= '9');
}

/// The metric or label name at line[i], moving i past it; empty when none stands there.
std::string Name(std::string_view line, std::size_t& i) {
    const std::size_t nStart = i;
    if (i < line.size() && IsNameStart(line[i])) {
        while (i < line.size() && IsNameChar(line[i])) {
            ++i;
        }
    }
    return std::string(line.substr(nStart, i - nStart));
}

bool IsNumber(std::string_view text) {
    if (text.empty()) {
        return false;
    }
    std::size_t i = text[0] == '-' ? 1 : 0;
    bool bDigits = false;
    bool bDot = false;
    bool bExponent = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            bDigits = true;
        } else if (c == '.' && !bDot && !bExponent) {
            bDot = true;
        } else if ((c == 'e' || c == 'E') && bDigits && !bExponent && i + 1 < text.size()) {
            bExponent = true;
            if (text[i + 1] == '+' || text[i + 1] == '-') {
                ++i;
            }
        } else {
            return false;
        }
    }
    return bDigits;
}

}  // namespace

void CheckExposition(std::string_view text) {
    Require(ValidUtf8(text), "the exposition is UTF-8", text);
    Require(text.empty() || text.back() == '\n', "the exposition ends with a line end", text);
    std::set<std::string> typed;
    std::set<std::string> samples;
    std::size_t nStart = 0;
    while (nStart < text.size()) {
        const std::size_t nEnd = text.find('\n', nStart);
        const std::string_view line = text.substr(nStart, nEnd - nStart);
        nStart = nEnd + 1;
        if (line.rfind("# HELP ", 0) == 0 || line.rfind("# TYPE ", 0) == 0) {
            std::size_t i = 7;
            const std::string name = Name(line, i);
            Require(!name.empty() && i < line.size() && line[i] == ' ', "a comment names a metric",
                    line);
            if (line[2] == 'T') {
                const std::string_view type = line.substr(i + 1);
                Require(type == "gauge" || type == "counter", "a known type", line);
                Require(typed.insert(name).second, "one TYPE line a metric", line);
            }
            continue;
        }
        std::size_t i = 0;
        const std::string name = Name(line, i);
        Require(!name.empty(), "a sample begins with a metric name", line);
        Require(typed.count(name) == 1, "a sample's metric is typed before it", line);
        if (i < line.size() && line[i] == '{') {
            ++i;
            while (i < line.size() && line[i] != '}') {
                Require(!Name(line, i).empty() && i + 1 < line.size() && line[i] == '=' &&
                            line[i + 1] == '"',
                        "a label is name=\"value\"", line);
                i += 2;
                while (i < line.size() && line[i] != '"') {
                    if (line[i] == '\\') {
                        Require(i + 1 < line.size() && (line[i + 1] == '\\' || line[i + 1] == '"' ||
                                                        line[i + 1] == 'n'),
                                "only the escapes \\\\, \\\" and \\n", line);
                        ++i;
                    }
                    ++i;
                }
                Require(i < line.size(), "a label value ends on its line", line);
                ++i;
                if (i < line.size() && line[i] == ',') {
                    ++i;
                }
            }
            Require(i < line.size(), "the labels end with '}'", line);
            ++i;
        }
        Require(i < line.size() && line[i] == ' ' && IsNumber(line.substr(i + 1)),
                "a sample ends with ' ' and a number", line);
        Require(samples.insert(std::string(line.substr(0, i))).second, "no sample twice", line);
    }
}

}  // namespace fuzz
