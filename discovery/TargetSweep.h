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
/// host is kept alive meanwhile); a name that does not resolve is a warning, and is not queried.
ResolvedTargets ResolveTargetNames(CSearchContext& context);

/// Sends the query to every planned address of the targets, at the pace of the table
/// (m_nQueriesPerSecond), taking in replies between the queries; a sweep that takes more than a
/// second shows its progress on one line. Hosts on the computer's own networks are left to their
/// directed broadcast. Returns the number of queries sent, or -1 when the search must end.
long SendTargetQueries(CSearchContext& context, net::SOCKET s, CReplyReceiver& receiver,
                       const ResolvedTargets& resolved, const std::vector<LocalNetwork>& networks,
                       const std::vector<std::uint32_t>& localBroadcasts);

}  // namespace discovery
