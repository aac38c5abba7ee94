// Query targets beyond the local networks: hosts and IPv4 prefixes behind routers, which
// broadcasts do not reach.
#pragma once

#include <cstdint>
#include <string>

/// One target of --target: a host (an IPv4 address, or a name resolved at each search) or an
/// IPv4 prefix A.B.C.D/N (N from 16 to 32), whose host addresses are queried one by one.
struct SearchTarget {
    std::string text;    ///< as the user wrote it
    bool bName = false;  ///< a host name: resolved when the search sends
    /// The addresses queried, in host byte order; first equals last for a host.
    std::uint32_t nFirst = 0;
    std::uint32_t nLast = 0;
    /// The prefix's directed broadcast (host byte order), queried after its hosts; 0 for a host
    /// or a /31 and /32 prefix.
    std::uint32_t nBroadcast = 0;

    bool IsSweep() const { return !bName && nLast != nFirst; }
    std::uint32_t Count() const { return bName ? 1 : nLast - nFirst + 1; }
};

/// Parses one target. A malformed one (neither an address, a name nor a prefix; a prefix length
/// outside 16 to 32) gives false and a one-line reason in *pError that names it.
bool ParseSearchTarget(const std::string& text, SearchTarget* pTarget, std::string* pError);
