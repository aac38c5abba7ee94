// Query targets beyond the local networks: hosts and IPv4 prefixes behind routers, which
// broadcasts do not reach.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "Language.h"

/// One target of --target: a host (an IPv4 address, or a name resolved at each search) or an
/// IPv4 prefix A.B.C.D/N (N from 16 to 32), whose host addresses are queried one by one.
/// Addresses are dotted decimal without leading zeros; addresses that are no host's (0.0.0.0/8,
/// multicast 224.0.0.0/4, 240.0.0.0/4 with 255.255.255.255) are refused.
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

/// Dotted-decimal IPv4 text: exactly four numbers of 0 to 255 without leading zeros; the address
/// in host byte order.
bool ParseDotted(const std::string& text, std::uint32_t* pAddress);

/// Parses one target. A malformed one (neither an address, a name nor a prefix; a prefix length
/// outside 16 to 32; a number in another form than dotted decimal, such as 0x7f000001 or
/// 010.0.0.1; an address no host can have; any control character, a zero byte included) gives
/// false and a one-line reason in *pError that names it, in the language (UTF-8; the text quoted
/// as a terminal can show it, and cut when it is long).
bool ParseSearchTarget(const std::string& text, SearchTarget* pTarget, std::string* pError,
                       Language language);

/// Whether the address (host byte order) can be a host's: not 0.0.0.0/8, not multicast, not
/// 240.0.0.0/4 (which holds the limited broadcast).
bool IsHostAddress(std::uint32_t nAddress);

/// The pace a user may choose for the queries to the targets, in queries a second.
constexpr int kLowestQueryRate = 1;
constexpr int kHighestQueryRate = 100000;

/// Parses the value of --rate: a decimal number of queries a second within the limits above.
/// A wrong one gives false and a one-line reason in *pError that names it (UTF-8).
bool ParseQueryRate(const std::string& text, int* pnRate, std::string* pError, Language language);

/// Parses the value of --max-addresses: a decimal number of addresses from 1 to 4294967295 (all
/// of IPv4). A wrong one gives false and a one-line reason in *pError that names it (UTF-8).
bool ParseMostAddresses(const std::string& text, std::uint32_t* pnMost, std::string* pError,
                        Language language);

/// The addresses a search queries beyond the local networks, in the order of the targets, each
/// once: a range of addresses in host byte order (a prefix's hosts, one address of a name, a
/// prefix's directed broadcast).
struct TargetRange {
    std::uint32_t nFirst;
    std::uint32_t nLast;
    std::size_t nTarget = 0;  ///< the index of the target whose addresses these are
    std::uint32_t Count() const { return nLast - nFirst + 1; }
};

/// What one target adds to the plan.
struct TargetShare {
    std::uint32_t nQueried = 0;   ///< addresses it adds
    std::uint32_t nOnLink = 0;    ///< left to the directed broadcast of a local network
    std::uint32_t nRepeated = 0;  ///< queried already for an earlier target
};

/// A network of this computer (host byte order) whose hosts its directed broadcast reaches.
struct OnLinkNetwork {
    std::uint32_t nNetwork;
    std::uint32_t nNetmask;
};

/// Plans the queries of the targets: every address once, however often it appears in single
/// targets and overlapping prefixes (and a directed broadcast that the local search sends
/// already not again); addresses on one of the computer's own networks are left to that
/// network's directed broadcast, which reaches them without resolving every address of the
/// link. nameAddresses holds the addresses of each name target (host byte order), in the
/// targets' order. Returns the ranges in query order; *pShares gets one share per target.
std::vector<TargetRange> PlanTargets(const std::vector<SearchTarget>& targets,
                                     const std::vector<std::vector<std::uint32_t>>& nameAddresses,
                                     const std::vector<OnLinkNetwork>& onLink,
                                     const std::vector<std::uint32_t>& localBroadcasts,
                                     std::vector<TargetShare>* pShares);
