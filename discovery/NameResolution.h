// Resolving the host names among the targets: all at once, each on a thread of its own, bounded
// in time, so that a slow name server never holds a search (or the window that runs it) for
// long.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace discovery {

struct ResolvedName {
    bool bAnswered = false;                ///< the resolver answered in time
    std::vector<std::uint32_t> addresses;  ///< every IPv4 address, host byte order; empty: none
};

/// Resolves the names through the installed socket layer, all at once, and waits at most nBoundMs
/// in all (real time) for them, calling stop() at least every 100 ms meanwhile; stop() returning
/// true ends the wait. A name that has no answer by then counts as unresolved (its resolver goes
/// on in the background and its answer is dropped). Returns one result per name, in order.
std::vector<ResolvedName> ResolveNames(const std::vector<std::string>& names,
                                       std::uint32_t nBoundMs, const std::function<bool()>& stop);

}  // namespace discovery
