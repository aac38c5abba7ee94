#include "ConsoleReport.h"

#include "TextOutput.h"

void CConsoleReportWriter::OnTextAppended(const char* pText, std::size_t nLength) {
    m_strPending.append(pText, nLength);
    std::size_t nStart = 0;
    for (std::size_t nEnd = m_strPending.find("\r\n"); nEnd != std::string::npos;
         nEnd = m_strPending.find("\r\n", nStart)) {
        const std::string line =
            TerminalTextFrom1252(std::string_view(m_strPending).substr(nStart, nEnd - nStart));
        std::fprintf(m_pStream, "%s\n", line.c_str());
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
