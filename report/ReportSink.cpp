#include "ReportSink.h"

#include <cstdio>

namespace {
constexpr std::size_t kPrintfBufferSize = 1024;
}  // namespace

void CReportSink::Printf(const char* pszFormat, ...) {
    va_list args;
    va_start(args, pszFormat);
    VPrintf(pszFormat, args);
    va_end(args);
}

void CReportSink::VPrintf(const char* pszFormat, va_list args) {
    // At most 1023 characters: longer output is cut.
    char szBuffer[kPrintfBufferSize] = {};
    std::vsnprintf(szBuffer, sizeof(szBuffer), pszFormat, args);
    szBuffer[kPrintfBufferSize - 1] = '\0';
    AppendText(szBuffer);
}
