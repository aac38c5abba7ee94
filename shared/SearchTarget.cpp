#include "SearchTarget.h"

#include <cstdlib>

#include "DeviceText.h"

namespace {

/// Dotted-decimal IPv4 text, exactly four numbers of 0 to 255; the address in host byte order.
bool ParseDotted(const std::string& text, std::uint32_t* pAddress) {
    std::uint32_t nAddress = 0;
    std::size_t i = 0;
    for (int nPart = 0; nPart < 4; ++nPart) {
        if (nPart > 0) {
            if (i >= text.size() || text[i] != '.') {
                return false;
            }
            ++i;
        }
        const std::size_t nStart = i;
        unsigned nValue = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9' && i - nStart < 3) {
            nValue = nValue * 10 + static_cast<unsigned>(text[i] - '0');
            ++i;
        }
        if (i == nStart || nValue > 255) {
            return false;
        }
        nAddress = (nAddress << 8) | nValue;
    }
    if (i != text.size()) {
        return false;
    }
    *pAddress = nAddress;
    return true;
}

/// Whether the last label is all digits: then the text was meant as an address (a top-level
/// domain is never numeric), and a malformed one is no name either.
bool EndsWithNumericLabel(const std::string& text) {
    std::size_t nEnd = text.size();
    if (nEnd > 0 && text[nEnd - 1] == '.') {
        --nEnd;
    }
    const std::size_t nDot = text.rfind('.', nEnd == 0 ? 0 : nEnd - 1);
    const std::size_t nStart = nDot == std::string::npos ? 0 : nDot + 1;
    if (nStart >= nEnd) {
        return false;
    }
    for (std::size_t i = nStart; i < nEnd; ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return false;
        }
    }
    return true;
}

}  // namespace

bool ParseSearchTarget(const std::string& text, SearchTarget* pTarget, std::string* pError) {
    SearchTarget target;
    target.text = text;
    const std::size_t nSlash = text.find('/');
    if (nSlash != std::string::npos) {
        std::uint32_t nAddress = 0;
        const std::string length = text.substr(nSlash + 1);
        char* pEnd = nullptr;
        const long nLength = std::strtol(length.c_str(), &pEnd, 10);
        if (!ParseDotted(text.substr(0, nSlash), &nAddress)) {
            *pError = "'" + text + "' is no IPv4 address, host name or prefix";
            return false;
        }
        if (length.empty() || length.size() > 2 || *pEnd != '\0' || length[0] < '0' ||
            length[0] > '9') {
            *pError = "'" + text + "' is no IPv4 prefix (A.B.C.D/N)";
            return false;
        }
        if (nLength < 16 || nLength > 32) {
            *pError = "the prefix length of '" + text + "' is not from 16 to 32";
            return false;
        }
        const std::uint32_t nMask = nLength == 32 ? ~0u : ~((1u << (32 - nLength)) - 1);
        const std::uint32_t nNetwork = nAddress & nMask;
        const std::uint32_t nBroadcast = nNetwork | ~nMask;
        if (nLength <= 30) {
            // The host addresses, without the network and the broadcast address.
            target.nFirst = nNetwork + 1;
            target.nLast = nBroadcast - 1;
            target.nBroadcast = nBroadcast;
        } else {
            target.nFirst = nNetwork;
            target.nLast = nBroadcast;
        }
    } else if (ParseDotted(text, &target.nFirst)) {
        target.nLast = target.nFirst;
    } else if (IsDnsHostName(text.c_str()) && !EndsWithNumericLabel(text)) {
        target.bName = true;
    } else {
        *pError = "'" + text + "' is no IPv4 address, host name or prefix";
        return false;
    }
    *pTarget = target;
    return true;
}
