#include "Invariants.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace fuzz {

void Require(bool bCondition, const char* pszWhat, std::string_view detail) {
    if (!bCondition) {
        std::fprintf(stderr, "invariant broken: %s\n%.*s\n", pszWhat,
                     static_cast<int>(detail.size()), detail.data());
        std::abort();
    }
}

namespace {

template <std::size_t N>
bool Terminated(const char (&sz)[N]) {
    return std::memchr(sz, '\0', N) != nullptr;
}

bool AllZero(const void* p, std::size_t n) {
    const auto* b = static_cast<const unsigned char*>(p);
    for (std::size_t i = 0; i < n; ++i) {
        if (b[i] != 0) {
            return false;
        }
    }
    return true;
}

/// A strict recursive-descent JSON reader that only checks the form.
class JsonReader {
public:
    explicit JsonReader(std::string_view text) : m_text(text) {}

    bool Document(int* pnTopLevelObjects) {
        Space();
        if (!Peek('[')) {
            return false;
        }
        ++m_i;
        Space();
        int n = 0;
        if (Peek(']')) {
            ++m_i;
        } else {
            for (;;) {
                Space();
                if (!Peek('{') || !Value(0)) {
                    return false;
                }
                ++n;
                Space();
                if (Peek(',')) {
                    ++m_i;
                    continue;
                }
                if (!Peek(']')) {
                    return false;
                }
                ++m_i;
                break;
            }
        }
        Space();
        *pnTopLevelObjects = n;
        return m_i == m_text.size();
    }

private:
    bool Peek(char c) const { return m_i < m_text.size() && m_text[m_i] == c; }
    void Space() {
        while (m_i < m_text.size() && std::strchr(" \t\r\n", m_text[m_i]) != nullptr &&
               m_text[m_i] != '\0') {
            ++m_i;
        }
    }
    bool Value(int nDepth) {
        if (nDepth > 32) {
            return false;
        }
        Space();
        if (Peek('"')) {
            return String();
        }
        if (Peek('{')) {
            ++m_i;
            Space();
            if (Peek('}')) {
                ++m_i;
                return true;
            }
            for (;;) {
                Space();
                if (!String()) {
                    return false;
                }
                Space();
                if (!Peek(':')) {
                    return false;
                }
                ++m_i;
                if (!Value(nDepth + 1)) {
                    return false;
                }
                Space();
                if (Peek(',')) {
                    ++m_i;
                    continue;
                }
                if (!Peek('}')) {
                    return false;
                }
                ++m_i;
                return true;
            }
        }
        for (std::string_view literal : {"true", "false", "null"}) {
            if (m_text.substr(m_i, literal.size()) == literal) {
                m_i += literal.size();
                return true;
            }
        }
        return Number();
    }
    bool Number() {
        const std::size_t nStart = m_i;
        if (Peek('-')) {
            ++m_i;
        }
        while (m_i < m_text.size() && m_text[m_i] >= '0' && m_text[m_i] <= '9') {
            ++m_i;
        }
        return m_i > nStart && m_text[nStart] != '-';
    }
    bool String() {
        if (!Peek('"')) {
            return false;
        }
        ++m_i;
        while (m_i < m_text.size()) {
            const auto c = static_cast<unsigned char>(m_text[m_i++]);
            if (c == '"') {
                return true;
            }
            if (c < 0x20) {
                return false;
            }
            if (c == '\\') {
                if (m_i >= m_text.size()) {
                    return false;
                }
                const char e = m_text[m_i++];
                if (e == 'u') {
                    for (int k = 0; k < 4; ++k) {
                        if (m_i >= m_text.size() ||
                            std::strchr("0123456789abcdefABCDEF", m_text[m_i]) == nullptr ||
                            m_text[m_i] == '\0') {
                            return false;
                        }
                        ++m_i;
                    }
                } else if (std::strchr("\"\\/bfnrt", e) == nullptr || e == '\0') {
                    return false;
                }
            }
        }
        return false;
    }

    std::string_view m_text;
    std::size_t m_i = 0;
};

}  // namespace

bool ValidUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        std::size_t n = c < 0x80                  ? 1
                        : (c >= 0xC2 && c < 0xE0) ? 2
                        : (c >= 0xE0 && c < 0xF0) ? 3
                        : (c >= 0xF0 && c < 0xF5) ? 4
                                                  : 0;
        if (n == 0 || i + n > text.size()) {
            return false;
        }
        char32_t cp = n == 1 ? c : c & (0x7F >> n);
        for (std::size_t k = 1; k < n; ++k) {
            const auto t = static_cast<unsigned char>(text[i + k]);
            if ((t & 0xC0) != 0x80) {
                return false;
            }
            cp = (cp << 6) | (t & 0x3F);
        }
        if ((n == 3 && cp < 0x800) || (n == 4 && cp < 0x10000) || cp > 0x10FFFF ||
            (cp >= 0xD800 && cp <= 0xDFFF)) {
            return false;
        }
        i += n;
    }
    return true;
}

void CheckTable(const CDeviceInfo& info) {
    Require(info.m_nDevices >= 0 && info.m_nDevices <= kMaxDevices,
            "device count within 0..kMaxDevices");
    for (int i = 0; i < info.m_nDevices; ++i) {
        const DeviceRecord& d = info.m_aDevices[i];
        Require(Terminated(d.szIPv4) && Terminated(d.szIPv6) && Terminated(d.szDnsName) &&
                    Terminated(d.szMaker) && Terminated(d.szModel) && Terminated(d.szModelDetail) &&
                    Terminated(d.szSerialNumber) && Terminated(d.szHostName) &&
                    Terminated(d.szFirmwareVersion),
                "every field of a record is terminated");
        Require(std::strcmp(d.szMaker, "TVK") == 0, "a stored record is of maker TVK");
        if (i > 0) {
            Require(std::strcmp(info.m_aDevices[i - 1].szSerialNumber, d.szSerialNumber) <= 0,
                    "the table is sorted by serial number");
        }
        int nSameAddress = 0;
        for (int k = 0; k < i; ++k) {
            Require(std::memcmp(&info.m_aDevices[k], &d, sizeof(d)) != 0,
                    "no two records are equal");
            nSameAddress +=
                info.m_aDevices[k].addrIPv4.sin_addr.s_addr == d.addrIPv4.sin_addr.s_addr ? 1 : 0;
        }
        Require(nSameAddress < kMaxRecordsPerAddress, "one address has a few records at most");
    }
    for (int i = info.m_nDevices; i < kMaxDevices; ++i) {
        Require(AllZero(&info.m_aDevices[i], sizeof(DeviceRecord)), "unused slots are zero");
    }
}

/// Whether the UTF-8 text holds a character that reorders text on a screen (U+061C, U+200E,
/// U+200F, U+202A to U+202E, U+2066 to U+2069).
bool HoldsBidiControl(std::string_view text) {
    for (std::string_view bidi : {"\xd8\x9c", "\xe2\x80\x8e", "\xe2\x80\x8f", "\xe2\x80\xaa",
                                  "\xe2\x80\xab", "\xe2\x80\xac", "\xe2\x80\xad", "\xe2\x80\xae",
                                  "\xe2\x81\xa6", "\xe2\x81\xa7", "\xe2\x81\xa8", "\xe2\x81\xa9"}) {
        if (text.find(bidi) != std::string_view::npos) {
            return true;
        }
    }
    return false;
}

void CheckTerminalText(std::string_view text) {
    Require(ValidUtf8(text), "terminal text is valid UTF-8", text);
    Require(!HoldsBidiControl(text), "terminal text holds no bidirectional control", text);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        Require(c == '\n' || (c >= 0x20 && c != 0x7F), "terminal text holds no control byte", text);
        if (c == 0xC2 && i + 1 < text.size()) {
            const auto t = static_cast<unsigned char>(text[i + 1]);
            Require(t >= 0xA0, "terminal text holds no C1 control", text);
        }
    }
}

void CheckJson(std::string_view text, int nObjects) {
    int nFound = -1;
    Require(JsonReader(text).Document(&nFound), "the JSON parses", text);
    Require(nFound == nObjects, "the JSON holds one object per device", text);
    Require(ValidUtf8(text), "the JSON is UTF-8", text);
}

bool ParseCsv(std::string_view text, std::vector<std::vector<std::string>>* pRows) {
    pRows->clear();
    std::size_t i = 0;
    while (i < text.size()) {
        std::vector<std::string> row;
        for (;;) {
            std::string cell;
            if (i < text.size() && text[i] == '"') {
                ++i;
                for (;;) {
                    if (i >= text.size()) {
                        return false;
                    }
                    if (text[i] == '"') {
                        if (i + 1 < text.size() && text[i + 1] == '"') {
                            cell += '"';
                            i += 2;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    cell += text[i++];
                }
            } else {
                while (i < text.size() && text[i] != ',' && text[i] != '\r' && text[i] != '\n') {
                    if (text[i] == '"') {
                        return false;
                    }
                    cell += text[i++];
                }
            }
            row.push_back(cell);
            if (i < text.size() && text[i] == ',') {
                ++i;
                continue;
            }
            if (i + 1 < text.size() && text[i] == '\r' && text[i + 1] == '\n') {
                i += 2;
                break;
            }
            return false;  // a row must end with CR LF
        }
        pRows->push_back(row);
    }
    return true;
}

void CheckCsv(std::string_view text, int nDevices) {
    std::vector<std::vector<std::string>> rows;
    Require(ParseCsv(text, &rows), "the CSV parses", text);
    Require(static_cast<int>(rows.size()) == nDevices + 1, "the CSV has a row per device", text);
    Require(ValidUtf8(text), "the CSV is UTF-8", text);
    for (const auto& row : rows) {
        Require(row.size() == rows.front().size(), "every CSV row has the header's cells", text);
        for (const std::string& cell : row) {
            Require(cell.empty() || std::strchr("=+-@\t\r", cell.front()) == nullptr ||
                        cell.front() == '\0',
                    "no CSV cell starts a formula", cell);
            // Shown on a terminal, a cell acts on nothing: no control, no reordering.
            CheckTerminalText(cell);
            Require(cell.find('\n') == std::string::npos, "a CSV cell holds no line end", cell);
        }
    }
}

}  // namespace fuzz

namespace fuzz {

void CheckDeviceTextInJson(const CDeviceInfo& info, std::string_view json) {
    for (int i = 0; i < info.m_nDevices; ++i) {
        const DeviceRecord& d = info.m_aDevices[i];
        for (const char* pszField : {d.szModel, d.szModelDetail, d.szSerialNumber, d.szHostName,
                                     d.szDnsName, d.szFirmwareVersion}) {
            const std::string_view field(pszField);
            bool bPlain = ValidUtf8(field);
            bool bBeyondAscii = false;
            for (char c : field) {
                const auto b = static_cast<unsigned char>(c);
                bPlain = bPlain && b >= 0x20 && b != 0x7F && c != '"' && c != '\\';
                bBeyondAscii = bBeyondAscii || b >= 0x80;
            }
            // C1 controls are escaped in JSON; a field holding one is not plain.
            for (std::size_t k = 0; bPlain && k + 1 < field.size(); ++k) {
                bPlain = !(static_cast<unsigned char>(field[k]) == 0xC2 &&
                           static_cast<unsigned char>(field[k + 1]) < 0xA0);
            }
            if (bPlain && bBeyondAscii) {
                Require(json.find("\"" + std::string(field) + "\"") != std::string_view::npos,
                        "a device's UTF-8 text is that text in the JSON", field);
            }
        }
    }
}

}  // namespace fuzz
