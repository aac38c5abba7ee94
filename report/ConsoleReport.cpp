#include "ConsoleReport.h"

#include "TextOutput.h"

namespace {
// A report that holds no more than this many lines has not said anything beyond its opening.
constexpr std::size_t kOpeningLines = 2;
}  // namespace

void CConsoleReportWriter::OnReportReset() {
    m_strPending.clear();
    m_repeatable.clear();
    if (m_linesSinceReset.size() <= kOpeningLines) {
        m_repeatable = m_linesSinceReset;
    }
    m_nRepeated = 0;
    m_linesSinceReset.clear();
}

void CConsoleReportWriter::WriteLine(const std::string& line) {
    m_linesSinceReset.push_back(line);
    if (m_nRepeated < m_repeatable.size() && m_repeatable[m_nRepeated] == line) {
        ++m_nRepeated;
        return;
    }
    m_repeatable.clear();
    std::fprintf(m_pStream, "%s\n", TerminalTextFrom1252(line).c_str());
}

void CConsoleReportWriter::OnTextAppended(const char* pText, std::size_t nLength) {
    m_strPending.append(pText, nLength);
    std::size_t nStart = 0;
    for (std::size_t nEnd = m_strPending.find("\r\n"); nEnd != std::string::npos;
         nEnd = m_strPending.find("\r\n", nStart)) {
        WriteLine(m_strPending.substr(nStart, nEnd - nStart));
        nStart = nEnd + 2;
    }
    if (nStart > 0) {
        m_strPending.erase(0, nStart);
        std::fflush(m_pStream);
    }
}

void CConsoleReportWriter::Finish() {
    if (!m_strPending.empty()) {
        std::fprintf(m_pStream, "%s\n", TerminalTextFrom1252(m_strPending).c_str());
        m_strPending.clear();
    }
    std::fflush(m_pStream);
}
