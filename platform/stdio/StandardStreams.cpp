#include "stdio/StandardStreams.h"

#include <cerrno>
#include <cstring>

void COutputCheck::Check(int nResult) {
    if (nResult < 0 && m_nErrno == 0) {
        m_nErrno = errno != 0 ? errno : EIO;
    }
}

void COutputCheck::Flush(std::FILE* pStream) {
    errno = 0;
    Check(std::fflush(pStream) == 0 && std::ferror(pStream) == 0 ? 0 : -1);
}

std::string COutputCheck::Reason() const {
    return std::strerror(m_nErrno);
}
