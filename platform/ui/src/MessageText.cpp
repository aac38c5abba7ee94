#include "ui/MessageText.h"

#include <algorithm>
#include <vector>

namespace ui {

std::string FitMessageText(const std::string& text, int nMostLines) {
    const std::size_t nLinesKept = static_cast<std::size_t>(std::max(nMostLines, 2) - 1);
    const bool bCrLf = text.find("\r\n") != std::string::npos;
    std::vector<std::string> lines;
    std::size_t nStart = 0;
    for (;;) {
        const std::size_t nEnd = text.find('\n', nStart);
        std::string line = text.substr(nStart, nEnd == std::string::npos ? nEnd : nEnd - nStart);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.size() > kLongestMessageLine) {
            line.resize(kLongestMessageLine - 3);
            line += "...";
        }
        lines.push_back(std::move(line));
        if (nEnd == std::string::npos) {
            break;
        }
        nStart = nEnd + 1;
    }
    std::size_t nLeftOut = 0;
    if (lines.size() > nLinesKept + 1) {
        nLeftOut = lines.size() - nLinesKept;
        lines.resize(nLinesKept);
    }
    const char* pszLineEnd = bCrLf ? "\r\n" : "\n";
    std::string fitted;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        fitted += (i > 0 ? pszLineEnd : "") + lines[i];
    }
    if (nLeftOut > 0) {
        fitted += pszLineEnd + std::string("\x85 (+") + std::to_string(nLeftOut) + ")";
    }
    return fitted;
}

}  // namespace ui
