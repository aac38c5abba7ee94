#include "KeptSize.h"

#include <cstdio>

#include "files/UserFiles.h"

namespace {
constexpr long kLargest = 100000;
constexpr std::size_t kLongestFile = 64;
}  // namespace

bool CKeptSize::Load(long* pnWidth, long* pnHeight) const {
    std::string bytes;
    std::string error;
    if (m_strFile.empty() ||
        files::ReadWholeFile(m_strFile, kLongestFile, &bytes, &error, files::FileKind::Regular) !=
            files::ReadResult::Read) {
        return false;
    }
    long nWidth = 0;
    long nHeight = 0;
    char cAfter = '\0';
    // Two numbers and nothing but a line end after them.
    const int nRead = std::sscanf(bytes.c_str(), "%ld %ld%c", &nWidth, &nHeight, &cAfter);
    if ((nRead != 2 && !(nRead == 3 && cAfter == '\n')) || nWidth < 1 || nWidth > kLargest ||
        nHeight < 1 || nHeight > kLargest) {
        return false;
    }
    *pnWidth = nWidth;
    *pnHeight = nHeight;
    return true;
}

bool CKeptSize::Save(long nWidth, long nHeight) const {
    if (m_strFile.empty() || nWidth < 1 || nWidth > kLargest || nHeight < 1 || nHeight > kLargest) {
        return false;
    }
    std::string error;
    return files::ReplaceFileContent(
        m_strFile, std::to_string(nWidth) + " " + std::to_string(nHeight) + "\n", &error);
}
