// Resolving the host names among the targets: all at once, on a few threads the process keeps,
// bounded in time, so that a slow name server never holds a search (or the window that runs it)
// for long, and a watch that asks every round never piles up threads or questions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace discovery {

struct ResolvedName {
    bool bAnswered = false;                ///< the resolver answered in time
    std::vector<std::uint32_t> addresses;  ///< every IPv4 address, host byte order; empty: none
};

/// The most names resolved at the same time, and so the most threads the resolver keeps.
inline constexpr std::size_t kMostResolvers = 16;

/// Resolves the names through the socket layer installed now, and waits at most nBoundMs in all
/// (real time) for them, calling stop() at least every 100 ms meanwhile; stop() returning true
/// ends the wait. At most kMostResolvers names are resolved at once, on threads that live as
/// long as the process. A name that has no answer by then counts as unresolved; it stays with
/// its resolver and is not asked again while it is: a later call takes its answer, if it came by
/// then, or waits for it as for any other. Returns one result per name, in order.
std::vector<ResolvedName> ResolveNames(const std::vector<std::string>& names,
                                       std::uint32_t nBoundMs, const std::function<bool()>& stop);

/// The resolver threads the process has started so far (at most kMostResolvers).
std::size_t ResolverThreads();

}  // namespace discovery
