// Checking and parsing one reply of the discovery protocol into a device record.
#include <cstring>

#include "DeviceReply.h"

namespace {

constexpr const char kMaker[] = "TVK";

/// Copies at most nLength bytes into a field of nWidth bytes, cut to fit and zero-terminated.
template <std::size_t nWidth>
void CopyField(char (&szField)[nWidth], const char* pText, std::size_t nLength) {
    if (nLength > nWidth - 1) {
        nLength = nWidth - 1;
    }
    std::memcpy(szField, pText, nLength);
    szField[nLength] = '\0';
}

/// Splits like strtok with "," as the separator: runs of commas are one separator and there
/// are no empty fields. The text ends at its end pointer.
class FieldSplitter {
public:
    FieldSplitter(const char* pText, const char* pEnd) : m_p(pText), m_pEnd(pEnd) {}
    bool Next(const char** ppField, std::size_t* pnLength) {
        while (m_p < m_pEnd && *m_p == ',') {
            ++m_p;
        }
        if (m_p >= m_pEnd) {
            return false;
        }
        *ppField = m_p;
        while (m_p < m_pEnd && *m_p != ',') {
            ++m_p;
        }
        *pnLength = static_cast<std::size_t>(m_p - *ppField);
        return true;
    }

private:
    const char* m_p;
    const char* m_pEnd;
};

}  // namespace

bool ParseDeviceReply(const char* pszReply, const char* pszExpectedPrefix,
                      const char* pszModelPrefix, DeviceRecord* pRecord) {
    if (std::strncmp(pszReply, pszExpectedPrefix, std::strlen(pszExpectedPrefix)) != 0) {
        return false;
    }
    std::memset(pRecord, 0, sizeof(DeviceRecord));
    // Instruments end a reply with CR LF or LF: the line end belongs to no field.
    const char* pEnd = pszReply + std::strlen(pszReply);
    while (pEnd > pszReply && (pEnd[-1] == '\r' || pEnd[-1] == '\n')) {
        --pEnd;
    }
    FieldSplitter fields(pszReply, pEnd);
    const char* pField = nullptr;
    std::size_t nLength = 0;

    if (!fields.Next(&pField, &nLength) || nLength != std::strlen(kMaker) ||
        std::memcmp(pField, kMaker, nLength) != 0) {
        return false;
    }
    CopyField(pRecord->szMaker, pField, nLength);

    const std::size_t nPrefixLength = std::strlen(pszModelPrefix);
    if (!fields.Next(&pField, &nLength) || nLength < nPrefixLength ||
        std::memcmp(pField, pszModelPrefix, nPrefixLength) != 0) {
        return false;
    }
    CopyField(pRecord->szModel, pField, nLength);

    if (!fields.Next(&pField, &nLength)) {
        return false;
    }
    CopyField(pRecord->szModelDetail, pField, nLength);

    if (!fields.Next(&pField, &nLength)) {
        return true;
    }
    CopyField(pRecord->szSerialNumber, pField, nLength);

    if (!fields.Next(&pField, &nLength)) {
        return true;
    }
    const void* pDot = std::memchr(pField, '.', nLength);
    if (pDot != nullptr) {
        CopyField(pRecord->szDnsName, pField, nLength);
        nLength = static_cast<std::size_t>(static_cast<const char*>(pDot) - pField);
    }
    CopyField(pRecord->szHostName, pField, nLength);

    if (fields.Next(&pField, &nLength)) {
        CopyField(pRecord->szFirmwareVersion, pField, nLength);
    }
    return true;
}
