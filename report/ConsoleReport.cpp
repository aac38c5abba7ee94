#include "ConsoleReport.h"

#include <cerrno>

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
    if (m_nWriteError != 0) {
        return;
    }
    const std::string text = TerminalTextFrom1252(line);
    m_strHeld += m_nShownWidth > 0 ? InPlace(text) : text;
    m_strHeld += '\n';
    m_nShownWidth = 0;
}

void CConsoleReportWriter::WriteHeld() {
    if (m_nWriteError != 0 || m_strHeld.empty()) {
        m_strHeld.clear();
        return;
    }
    errno = 0;
    Written(std::fwrite(m_strHeld.data(), 1, m_strHeld.size(), m_pStream) == m_strHeld.size() &&
            std::fflush(m_pStream) == 0);
    m_strHeld.clear();
}

std::string CConsoleReportWriter::InPlace(const std::string& text) {
    // Characters, not bytes: UTF-8 continuation bytes take no column.
    std::size_t nWidth = 0;
    for (char c : text) {
        nWidth += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    }
    std::string out = "\r" + text;
    if (nWidth < m_nShownWidth) {
        out.append(m_nShownWidth - nWidth, ' ');
        out.append(m_nShownWidth - nWidth, '\b');
    }
    m_nShownWidth = nWidth;
    return out;
}

void CConsoleReportWriter::ShowPending() {
    if (!m_bTerminal || m_nWriteError != 0 || m_strPending.empty()) {
        return;
    }
    WriteHeld();  // the lines before it first
    errno = 0;
    Written(std::fputs(InPlace(TerminalTextFrom1252(m_strPending)).c_str(), m_pStream) >= 0 &&
            std::fflush(m_pStream) == 0);
}

void CConsoleReportWriter::Written(bool bSucceeded) {
    if (!bSucceeded && m_nWriteError == 0) {
        m_nWriteError = errno != 0 ? errno : EIO;
    }
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
    }
    ShowPending();
}

void CConsoleReportWriter::Finish() {
    if (!m_strPending.empty()) {
        WriteLine(m_strPending);
        m_strPending.clear();
    }
    WriteHeld();
    if (m_nWriteError != 0) {
        return;
    }
    errno = 0;
    Written(std::fflush(m_pStream) == 0 && std::ferror(m_pStream) == 0);
}
