// The queries to targets beyond the local networks: the names resolved first, then every planned
// address at a pace that routers and links survive, while the replies are taken in.
#pragma once

#include <cstdint>
#include <vector>

#include "LocalNetworks.h"
#include "SearchTarget.h"
#include "net/SocketLayer.h"

namespace discovery {

class CReplyReceiver;
class CSearchContext;

/// The targets as a search queries them: the addresses of the names, resolved before anything is
/// sent.
struct ResolvedTargets {
    std::vector<std::vector<std::uint32_t>> nameAddresses;  ///< per name target, host byte order
};

/// Resolves the names among the targets, all at once and bounded to a few seconds in all (the
/// host is kept alive meanwhile); a name that does not resolve, and an address of a name that no
/// host can have (0.0.0.0/8, multicast, reserved), are warnings, and are not queried.
ResolvedTargets ResolveTargetNames(CSearchContext& context);

/// What the queries to the targets will be, planned before anything is sent.
struct TargetPlan {
    std::vector<TargetRange> ranges;  ///< in query order, each address once
    std::vector<TargetShare> shares;  ///< one per target
    std::uint64_t nTotal = 0;         ///< the addresses of all ranges
};

/// Plans the queries of the targets (PlanTargets): hosts on the computer's own networks are left
/// to their directed broadcast, and an address the broadcasts reach already is not queried again.
TargetPlan PlanSearchTargets(CSearchContext& context, const ResolvedTargets& resolved,
                             const std::vector<LocalNetwork>& networks,
                             const std::vector<std::uint32_t>& localBroadcasts);

/// Sends the query to every address of the plan, at the pace of the table
/// (SearchSettings::nQueriesPerSecond), taking in replies between the queries; a sweep that takes
/// more than a second shows its progress on one line, and one that takes more than a minute says
/// how long beforehand. Each target's line of what the query went to counts the queries that went
/// out and those that failed, with the reason. Returns the number of queries sent, or -1 when the
/// search must end.
long SendTargetQueries(CSearchContext& context, net::SOCKET s, CReplyReceiver& receiver,
                       const ResolvedTargets& resolved, const TargetPlan& plan);

}  // namespace discovery
