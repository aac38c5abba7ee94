#include "QtInternal.h"
#include "text/Windows1252.h"

namespace ui::qt {

using ::text::CodePointOf1252;
using ::text::Utf8From1252;
using ::text::Windows1252FromUtf8;

QString FromBytes(std::string_view text) {
    return QString::fromStdString(Utf8From1252(text));
}
std::string ToBytes(const QString& text) {
    return Windows1252FromUtf8(text.toStdString());
}

/// Report text for display: "\r\n" becomes one line break, other control characters their
/// visible pictures, so that every other byte stays one character.
QString DisplayText(const std::string& text, std::vector<std::size_t>* pLineEnds) {
    QString out;
    out.reserve(static_cast<qsizetype>(text.size()));
    pLineEnds->clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            pLineEnds->push_back(i + 1);
            out += QChar('\n');
            ++i;
        } else if (c == '\n') {
            out += QChar('\n');
        } else if (c < 0x20) {
            out += QChar(static_cast<char16_t>(0x2400 + c));
        } else {
            out += QChar(static_cast<char32_t>(CodePointOf1252(c)));
        }
    }
    return out;
}

}  // namespace ui::qt
