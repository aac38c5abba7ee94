// Sending the query: one datagram to one address, and the broadcasts of a search.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Language.h"
#include "LocalNetworks.h"
#include "net/SocketLayer.h"

namespace discovery {

class CReplyReceiver;
class CSearchContext;

enum class SendResult {
    Sent,
    Failed,      ///< the send failed; *pnError holds the code
    Short,       ///< fewer bytes went out than the query has; *pnSent holds how many
    SearchEnds,  ///< the search must end (a receive failure while waiting, or the host asked)
};

/// Sends the query to port 9959 of the address (network byte order). When the socket cannot take
/// the datagram now (its buffer is full of queries that wait for an address to be resolved:
/// WSAEWOULDBLOCK, WSAENOBUFS), the replies that wait are taken in for a moment and the same query
/// is sent again, for some seconds at most: no query is dropped for a full buffer, and it is no
/// warning.
SendResult SendQuery(net::SOCKET s, std::uint32_t nTarget, CReplyReceiver& receiver, int* pnError,
                     int* pnSent);

/// The warning for a query that could not be sent to one address; the search goes on.
void WarnSendFailed(CSearchContext& context, std::uint32_t nTarget, int nError);

/// A send's error code with its reason in words: "10051 (network unreachable)", in German
/// "10051 (Netz nicht erreichbar)"; the number alone for a code without words, and for 0 (a
/// send that went out short) the words alone.
std::string SendErrorText(int nError, Language language);

/// Sends the query to every broadcast address (owners: the local network of each, null for the
/// limited broadcast), writing the target lines at verbosity 1 and the interfaces at verbosity 2. A
/// failure is a warning, unless nothing went out and nothing more is to be sent: then it ends the
/// search with the error line, as does a short send. *pSent gets the addresses the query went
/// to. Returns the number of queries that went out, or -1 when the search ends.
int SendBroadcasts(CSearchContext& context, net::SOCKET s,
                   const std::vector<std::uint32_t>& targets,
                   const std::vector<const LocalNetwork*>& owners,
                   const std::vector<LocalNetwork>& networks, bool bMoreToSend,
                   CReplyReceiver& receiver, std::vector<std::uint32_t>* pSent);

}  // namespace discovery
