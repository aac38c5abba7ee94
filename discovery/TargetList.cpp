#include "TargetList.h"

#include "Texts.h"

#include <cctype>
#include <cstdint>

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

/// Notes one malformed line: named while fewer than kMostListedErrors are, else counted.
void Note(std::vector<TargetListError>* pErrors, std::size_t* pnUnlisted, int nLine,
          std::string message) {
    if (pErrors->size() < kMostListedErrors) {
        pErrors->push_back(TargetListError{nLine, std::move(message)});
    } else {
        ++*pnUnlisted;
    }
}

bool ParseLines(std::string_view text, std::vector<SearchTarget>* pTargets,
                std::vector<TargetListError>* pErrors, std::size_t* pnUnlisted, Language language) {
    int nLine = 0;
    while (!text.empty()) {
        ++nLine;
        const std::size_t nEnd = text.find('\n');
        const std::string_view line = Trimmed(text.substr(0, nEnd));
        text.remove_prefix(nEnd == std::string_view::npos ? text.size() : nEnd + 1);
        if (line.empty() || line.front() == '#') {
            continue;
        }
        SearchTarget target;
        std::string error;
        if (ParseSearchTarget(std::string(line), &target, &error, language)) {
            pTargets->push_back(target);
        } else {
            Note(pErrors, pnUnlisted, nLine, error);
        }
    }
    return pErrors->empty();
}

/// A small JSON reader: enough to walk any JSON value and take the strings of the "ipv4" keys of
/// the objects in the top-level array. Nesting is limited, so that no input can exhaust the
/// stack.
class JsonReader {
public:
    explicit JsonReader(std::string_view text) : m_text(text) {}

    bool ReadDeviceArray(std::vector<std::string>* pAddresses) {
        SkipBlanks();
        if (!Expect('[', texts::JsonExpectedArray)) {
            return false;
        }
        SkipBlanks();
        if (Peek() == ']') {
            ++m_i;
            return AtEnd();
        }
        for (;;) {
            SkipBlanks();
            if (Peek() != '{') {
                return Fail(texts::JsonExpectedObject);
            }
            if (!ReadDevice(pAddresses)) {
                return false;
            }
            SkipBlanks();
            if (Peek() == ',') {
                ++m_i;
                continue;
            }
            if (!Expect(']', texts::JsonExpectedCommaOrBracket)) {
                return false;
            }
            return AtEnd();
        }
    }

    /// The line of the reading position: counted on from where it was counted last, so that
    /// reading a list takes time in proportion to its length.
    int Line() {
        if (m_i < m_nCountedTo) {
            m_nCountedTo = 0;
            m_nLine = 1;
        }
        for (; m_nCountedTo < m_i && m_nCountedTo < m_text.size(); ++m_nCountedTo) {
            m_nLine += m_text[m_nCountedTo] == '\n' ? 1 : 0;
        }
        return m_nLine;
    }
    /// What is wrong, as an id of the catalogue.
    texts::Id Error() const { return m_error; }
    /// The line of each address taken, in the same order.
    const std::vector<int>& Lines() const { return m_lines; }

private:
    static constexpr int kDeepest = 64;

    char Peek() const { return m_i < m_text.size() ? m_text[m_i] : '\0'; }
    void SkipBlanks() {
        while (m_i < m_text.size() && (m_text[m_i] == ' ' || m_text[m_i] == '\t' ||
                                       m_text[m_i] == '\r' || m_text[m_i] == '\n')) {
            ++m_i;
        }
    }
    bool Fail(texts::Id error) {
        if (!m_bFailed) {
            m_bFailed = true;
            m_error = error;
        }
        return false;
    }
    bool Expect(char c, texts::Id expected) {
        if (Peek() != c) {
            return Fail(expected);
        }
        ++m_i;
        return true;
    }
    bool AtEnd() {
        SkipBlanks();
        return m_i == m_text.size() || Fail(texts::JsonTextAfterEnd);
    }

    /// An object's key and the ':' after it.
    bool ReadKey(std::string* pKey) {
        SkipBlanks();
        if (!ReadString(pKey)) {
            return false;
        }
        SkipBlanks();
        return Expect(':', texts::JsonExpectedColon);
    }

    bool ReadDevice(std::vector<std::string>* pAddresses) {
        ++m_i;  // '{'
        SkipBlanks();
        if (Peek() == '}') {
            ++m_i;
            return true;
        }
        for (;;) {
            std::string key;
            if (!ReadKey(&key)) {
                return false;
            }
            SkipBlanks();
            if (key == "ipv4") {
                const std::size_t nAt = m_i;
                std::string address;
                if (!ReadString(&address)) {
                    m_i = nAt;
                    return Fail(texts::JsonIpv4NotString);
                }
                if (!address.empty()) {
                    pAddresses->push_back(address);
                    m_lines.push_back(Line());
                }
            } else if (!SkipValue(1)) {
                return false;
            }
            SkipBlanks();
            if (Peek() == ',') {
                ++m_i;
                continue;
            }
            return Expect('}', texts::JsonExpectedCommaOrBrace);
        }
    }

    bool ReadString(std::string* pOut) {
        if (!Expect('"', texts::JsonExpectedString)) {
            return false;
        }
        while (m_i < m_text.size()) {
            const char c = m_text[m_i++];
            if (c == '"') {
                return true;
            }
            if (static_cast<unsigned char>(c) < 0x20) {
                return Fail(texts::JsonControlInString);
            }
            if (c != '\\') {
                pOut->push_back(c);
                continue;
            }
            if (m_i >= m_text.size()) {
                break;
            }
            const char e = m_text[m_i++];
            switch (e) {
                case '"':
                case '\\':
                case '/':
                    pOut->push_back(e);
                    break;
                case 'b':
                case 'f':
                case 'n':
                case 'r':
                case 't':
                    pOut->push_back(' ');  // no target holds one
                    break;
                case 'u':
                    if (m_i + 4 > m_text.size()) {
                        return Fail(texts::JsonBrokenUnicodeEscape);
                    }
                    for (int k = 0; k < 4; ++k) {
                        if (!std::isxdigit(static_cast<unsigned char>(m_text[m_i + k]))) {
                            return Fail(texts::JsonBrokenUnicodeEscape);
                        }
                    }
                    m_i += 4;
                    pOut->push_back('?');  // no target holds one either
                    break;
                default:
                    return Fail(texts::JsonBrokenEscape);
            }
        }
        return Fail(texts::JsonUnendedString);
    }

    bool SkipValue(int nDepth) {
        if (nDepth > kDeepest) {
            return Fail(texts::JsonTooDeep);
        }
        SkipBlanks();
        const char c = Peek();
        if (c == '"') {
            std::string ignored;
            return ReadString(&ignored);
        }
        if (c == '{' || c == '[') {
            const char close = c == '{' ? '}' : ']';
            ++m_i;
            SkipBlanks();
            if (Peek() == close) {
                ++m_i;
                return true;
            }
            for (;;) {
                SkipBlanks();
                std::string key;
                if (c == '{' && !ReadKey(&key)) {
                    return false;
                }
                if (!SkipValue(nDepth + 1)) {
                    return false;
                }
                SkipBlanks();
                if (Peek() == ',') {
                    ++m_i;
                    continue;
                }
                return Expect(close, c == '{' ? texts::JsonExpectedCommaOrBrace
                                              : texts::JsonExpectedCommaOrBracket);
            }
        }
        // A number, true, false or null: the characters they are made of.
        const std::size_t nStart = m_i;
        while (m_i < m_text.size() &&
               (std::isalnum(static_cast<unsigned char>(m_text[m_i])) || m_text[m_i] == '-' ||
                m_text[m_i] == '+' || m_text[m_i] == '.')) {
            ++m_i;
        }
        return m_i > nStart || Fail(texts::JsonExpectedValue);
    }

    std::string_view m_text;
    std::size_t m_i = 0;
    std::size_t m_nCountedTo = 0;
    int m_nLine = 1;
    bool m_bFailed = false;
    texts::Id m_error = texts::JsonExpectedValue;
    std::vector<int> m_lines;
};

bool ParseJson(std::string_view text, std::vector<SearchTarget>* pTargets,
               std::vector<TargetListError>* pErrors, std::size_t* pnUnlisted, Language language) {
    JsonReader reader(text);
    std::vector<std::string> addresses;
    if (!reader.ReadDeviceArray(&addresses)) {
        pErrors->push_back(TargetListError{reader.Line(), texts::Utf8(reader.Error(), language)});
        return false;
    }
    std::vector<SearchTarget> targets;
    for (std::size_t i = 0; i < addresses.size(); ++i) {
        SearchTarget target;
        std::string error;
        // Only addresses: a device's "ipv4" is never a name or a prefix.
        if (!ParseSearchTarget(addresses[i], &target, &error, language) || target.bName ||
            target.IsSweep()) {
            Note(pErrors, pnUnlisted, reader.Lines()[i],
                 error.empty() ? texts::FormatUtf8(texts::ListNoAddress, language,
                                                   ("'" + addresses[i] + "'").c_str())
                               : error);
        } else {
            targets.push_back(target);
        }
    }
    if (!pErrors->empty()) {
        return false;
    }
    pTargets->insert(pTargets->end(), targets.begin(), targets.end());
    return true;
}

}  // namespace

bool ParseTargetList(std::string_view text, std::vector<SearchTarget>* pTargets,
                     std::vector<TargetListError>* pErrors, std::size_t* pnUnlisted,
                     Language language) {
    pErrors->clear();
    std::size_t nUnlisted = 0;
    if (pnUnlisted == nullptr) {
        pnUnlisted = &nUnlisted;
    }
    *pnUnlisted = 0;
    if (text.size() > kLargestTargetList) {
        pErrors->push_back(TargetListError{1, texts::Utf8(texts::ListTooLarge, language)});
        return false;
    }
    // A byte order mark, as some editors write it, is no part of the first target.
    if (text.substr(0, 3) == "\xef\xbb\xbf") {
        text.remove_prefix(3);
    }
    const std::string_view start = Trimmed(text);
    if (!start.empty() && start.front() == '[') {
        return ParseJson(text, pTargets, pErrors, pnUnlisted, language);
    }
    std::vector<SearchTarget> targets;
    if (!ParseLines(text, &targets, pErrors, pnUnlisted, language)) {
        return false;
    }
    pTargets->insert(pTargets->end(), targets.begin(), targets.end());
    return true;
}

std::string TargetListText(const std::vector<SearchTarget>& targets) {
    std::string text;
    for (const SearchTarget& target : targets) {
        text += target.text;
        text += '\n';
    }
    return text;
}
