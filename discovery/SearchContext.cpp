#include "SearchContext.h"

#include <cstdarg>

namespace discovery {

namespace {
constexpr std::uint32_t kHostCallMilliseconds = 50;
}  // namespace

std::string DottedText(std::uint32_t nAddress) {
    char szAddress[20] = {};
    net::in_addr addr{nAddress};
    net::inet_ntop(net::AF_INET, &addr, szAddress, sizeof(szAddress));
    return szAddress;
}

void CSearchContext::Printf(const char* pszFormat, ...) {
    va_list args;
    va_start(args, pszFormat);
    report.VPrintf(pszFormat, args);
    va_end(args);
}

void CSearchContext::Warn(const char* pszFormat, ...) {
    ++outcome.nWarnings;
    va_list args;
    va_start(args, pszFormat);
    report.VPrintf(pszFormat, args);
    va_end(args);
}

void CSearchContext::Fail(int nError, int nLine) {
    outcome.result = SearchOutcome::Failed;
    outcome.nError = nError;
    outcome.nLine = nLine;
    if (nLine != 0) {
        report.PrintErrorLocation(kSearchFunction, kSearchSourceFile, nLine);
    }
}

bool CSearchContext::Ending() {
    if (m_pHost == nullptr || m_wish != CSearchHost::GoOn) {
        return m_wish != CSearchHost::GoOn;
    }
    const std::uint32_t nNow = net::GetTickCount();
    if (m_bHostCalled && nNow - m_nLastHostCall < kHostCallMilliseconds) {
        return false;
    }
    m_bHostCalled = true;
    m_nLastHostCall = nNow;
    m_wish = m_pHost->KeepResponsive();
    if (m_wish == CSearchHost::Cancel && outcome.result != SearchOutcome::Failed) {
        outcome.result = SearchOutcome::Cancelled;
    }
    return m_wish != CSearchHost::GoOn;
}

}  // namespace discovery
