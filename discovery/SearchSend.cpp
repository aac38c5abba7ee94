#include "SearchSend.h"

#include <cstdio>

#include "ReplyReceiver.h"
#include "SearchContext.h"

namespace discovery {

namespace {

// How long a query waits for room in a full send buffer before it counts as failed: longer than
// a neighbour entry takes to be resolved or given up (about 3 s).
constexpr std::uint32_t kSendRetryMilliseconds = 8000;
constexpr std::uint32_t kSendRetryPauseMilliseconds = 10;

void ReportSendError(CSearchContext& context, int nError) {
    switch (nError) {
        case net::WSAECONNABORTED:
            context.Printf("%s", context.Say(texts::ErrorSendAborted));
            break;
        case net::WSAECONNRESET:
            context.Printf("%s", context.Say(texts::ErrorSendReset));
            break;
        case net::WSAESHUTDOWN:
            context.Printf("%s", context.Say(texts::ErrorSendShutdown));
            break;
        default:
            context.Printf(context.Say(texts::ErrorSendReturned), nError);
            break;
    }
}

void ReportTarget(CSearchContext& context, std::uint32_t nAddress) {
    if (context.settings.nVerbosity >= 1) {
        context.Printf(context.Say(texts::BroadcastOnto), DottedText(nAddress).c_str());
    }
}

/// At verbosity 2: every interface address, with whether the query goes to its broadcast.
void ReportInterfaces(CSearchContext& context, const std::vector<LocalNetwork>& networks) {
    if (context.settings.nVerbosity < 2) {
        return;
    }
    for (const LocalNetwork& network : networks) {
        const std::string name = network.name.empty() ? "?" : network.name;
        const std::string address =
            DottedText(network.nAddress) + "/" + std::to_string(network.PrefixLength());
        if (network.bQueried) {
            context.Printf(context.Say(texts::InterfaceBroadcasts), name.c_str(), address.c_str(),
                           DottedText(network.Broadcast()).c_str());
        } else {
            context.Printf(context.Say(texts::InterfaceNotQueried), name.c_str(), address.c_str());
        }
    }
}

}  // namespace

SendResult SendQuery(net::SOCKET s, std::uint32_t nTarget, CReplyReceiver& receiver, int* pnError,
                     int* pnSent) {
    net::sockaddr_in addrDest{};
    addrDest.sin_family = net::AF_INET;
    addrDest.sin_port = net::htons(kDiscoveryPort);
    addrDest.sin_addr.s_addr = nTarget;
    const std::uint32_t nStart = net::GetTickCount();
    for (;;) {
        *pnSent = net::sendto(s, kRequest, kRequestLength, 0,
                              reinterpret_cast<const net::sockaddr*>(&addrDest), sizeof(addrDest));
        if (*pnSent == kRequestLength) {
            return SendResult::Sent;
        }
        if (*pnSent != net::SOCKET_ERROR) {
            return SendResult::Short;
        }
        *pnError = net::WSAGetLastError();
        const bool bBufferFull = *pnError == net::WSAEWOULDBLOCK || *pnError == net::WSAENOBUFS;
        if (!bBufferFull || net::GetTickCount() - nStart >= kSendRetryMilliseconds) {
            return SendResult::Failed;
        }
        // The buffer empties as addresses are resolved or given up: take in what arrives
        // meanwhile, then send the same query again.
        if (!receiver.Drain(kSendRetryPauseMilliseconds)) {
            return SendResult::SearchEnds;
        }
    }
}

std::string SendErrorText(int nError, Language language) {
    struct Words {
        int nError;
        texts::Id words;
    };
    static constexpr Words kWords[] = {
        {0, texts::SendShort},
        {net::WSAENETUNREACH, texts::SendNetworkUnreachable},
        {net::WSAEHOSTUNREACH, texts::SendHostUnreachable},
        {net::WSAENETDOWN, texts::SendNetworkDown},
        {net::WSAEACCES, texts::SendPermissionDenied},
        {net::WSAEADDRNOTAVAIL, texts::SendAddressNotAvailable},
        {net::WSAEADDRINUSE, texts::SendAddressInUse},
        {net::WSAENOBUFS, texts::SendNoBufferSpace},
        {net::WSAEWOULDBLOCK, texts::SendBufferStayedFull},
        {net::WSAEMSGSIZE, texts::SendMessageTooLong},
        {net::WSAEINVAL, texts::SendInvalidArgument},
        {net::WSAENOTSOCK, texts::SendNotASocket},
        {net::WSAECONNRESET, texts::SendConnectionReset},
        {net::WSAECONNABORTED, texts::SendConnectionAborted},
        {net::WSAESHUTDOWN, texts::SendShutDown},
    };
    for (const Words& words : kWords) {
        if (words.nError == nError) {
            const char* pszWords = texts::Get(words.words, language);
            return nError == 0 ? pszWords : std::to_string(nError) + " (" + pszWords + ")";
        }
    }
    return std::to_string(nError);
}

void WarnSendFailed(CSearchContext& context, std::uint32_t nTarget, int nError) {
    context.nLastSendError = nError;
    context.Warn(context.Say(texts::WarningSendFailed), DottedText(nTarget).c_str(),
                 SendErrorText(nError, context.GetLanguage()).c_str());
}

int SendBroadcasts(CSearchContext& context, net::SOCKET s,
                   const std::vector<std::uint32_t>& targets,
                   const std::vector<const LocalNetwork*>& owners,
                   const std::vector<LocalNetwork>& networks, bool bMoreToSend,
                   CReplyReceiver& receiver, std::vector<std::uint32_t>* pSent) {
    int nQueries = 0;
    for (std::size_t i = 0; i < targets.size(); ++i) {
        const bool bLimited = i == 0;
        if (bLimited) {
            context.EnsureBlankLine();
        }
        ReportTarget(context, targets[i]);
        const bool bLastChance = nQueries == 0 && i + 1 == targets.size() && !bMoreToSend;
        int nError = 0;
        int nSent = 0;
        const SendResult result = SendQuery(s, targets[i], receiver, &nError, &nSent);
        if (result == SendResult::SearchEnds) {
            return -1;
        }
        if (result == SendResult::Short) {
            context.Printf(context.Say(texts::ErrorSendShort), nSent, kRequestLength);
            context.Fail(0, bLimited ? kLineLimitedSendShort : kLineDirectedSendShort);
            return -1;
        }
        if (result == SendResult::Failed) {
            if (bLastChance) {
                ReportSendError(context, nError);
                context.Fail(nError, bLimited ? kLineLimitedSendFailed : kLineDirectedSendFailed);
                return -1;
            }
            WarnSendFailed(context, targets[i], nError);
        } else {
            ++nQueries;
            pSent->push_back(targets[i]);
        }
        // What the query went to, and where it failed, for a search in which nobody answers.
        std::string queried = DottedText(targets[i]);
        std::string failed;
        if (result == SendResult::Failed) {
            char szFailed[256] = {};
            std::snprintf(szFailed, sizeof(szFailed), context.Say(texts::QueryFailed),
                          SendErrorText(nError, context.GetLanguage()).c_str());
            failed = szFailed;
        }
        if (owners[i] != nullptr) {
            queried += " (" + owners[i]->Describe() + (failed.empty() ? "" : "; " + failed) + ")";
        } else if (!failed.empty()) {
            queried += " (" + failed + ")";
        }
        context.outcome.queried.push_back(queried);
        if (bLimited) {
            context.EnsureBlankLine();
            ReportInterfaces(context, networks);
        }
    }
    return nQueries;
}

}  // namespace discovery
