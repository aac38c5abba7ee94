// The search: one complete exchange of the discovery protocol, from the query to the last reply.
// Its parts live beside it: the sending (SearchSend), the replies (ReplyReceiver), the targets
// beyond the local networks (TargetSweep), the local networks (LocalNetworks); the failures that
// end a search and the lines their location lines name are in SearchContext.h.
#include "Search.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "BurstRecovery.h"
#include "LocalNetworks.h"
#include "ReplyReceiver.h"
#include "SearchContext.h"
#include "SearchSend.h"
#include "TargetSweep.h"

using discovery::CReplyReceiver;
using discovery::CSearchContext;

namespace {

// The longest receive phase: replies that keep coming cannot hold a search for ever.
constexpr std::uint32_t kLongestReceivePhase = 30000;
// The receive buffer asked for: a plant's burst of replies fits, where the system grants it.
constexpr int kReceiveBufferBytes = 8 * 1024 * 1024;

/// The end of a search that went well.
void WriteDone(CSearchContext& context) {
    context.EnsureBlankLine();
    context.Printf("%s", context.Say(texts::SearchDone));
}

/// The receive phase: replies until the network has been quiet long enough, with the broadcasts
/// sent again after a burst whose replies the system dropped.
void ReceiveReplies(CSearchContext& context, CReplyReceiver& receiver,
                    discovery::CBurstRecovery& recovery) {
    const std::uint32_t nPhaseStart = net::GetTickCount();
    for (;;) {
        if (receiver.QuietLongEnough()) {
            break;
        }
        if (net::GetTickCount() - nPhaseStart >= kLongestReceivePhase) {
            context.Warn("%s", context.Say(texts::WarningRepliesKeptArriving));
            break;
        }
        if (!receiver.Pass(discovery::kPassMilliseconds) || !recovery.AfterPass()) {
            if (!context.Finishing()) {
                return;  // failed or cancelled
            }
            break;  // the user has what he needs
        }
    }
    recovery.ReportLost();
    receiver.ReportDropped();
    WriteDone(context);
}

/// Whether the planned queries stay within the bound of a search; says why not in an error line
/// (nothing has been sent then).
bool WithinBound(CSearchContext& context, const discovery::TargetPlan& plan) {
    const SearchSettings& settings = context.settings;
    const std::uint64_t nMost = settings.nMostTargetAddresses > 0
                                    ? static_cast<std::uint64_t>(settings.nMostTargetAddresses)
                                    : static_cast<std::uint64_t>(kDefaultMostTargetAddresses);
    if (plan.nTotal <= nMost) {
        return true;
    }
    context.Printf(context.Say(texts::ErrorTargetsBeyondBound),
                   static_cast<unsigned long long>(plan.nTotal),
                   static_cast<unsigned long long>(nMost));
    context.Fail(0, 0);
    return false;
}

/// Readies the open socket: broadcasts allowed, where each reply came in noted, the largest
/// receive buffer the system grants, and sends that never wait.
void PrepareSocket(net::SOCKET s) {
    const int bOn = 1;
    net::setsockopt(s, net::SOL_SOCKET, net::SO_BROADCAST, reinterpret_cast<const char*>(&bOn),
                    sizeof(bOn));
    // Where each reply came in, for the exports.
    net::setsockopt(s, net::IPPROTO_IP, net::IP_PKTINFO, reinterpret_cast<const char*>(&bOn),
                    sizeof(bOn));
    // Room for a plant's burst of replies, as far as the system grants it.
    net::EnlargeReceiveBuffer(s, kReceiveBufferBytes);
    // A send never waits: a full buffer is taken as a moment to receive in (SendQuery).
    unsigned long nNonBlocking = 1;
    net::ioctlsocket(s, net::FIONBIO, &nNonBlocking);
}

/// Resolves and plans the targets of the settings; false when the search ends before anything
/// is sent (the host asked it to, or the targets hold more addresses than the bound).
bool PlanTargets(CSearchContext& context, const std::vector<discovery::LocalNetwork>& networks,
                 const std::vector<std::uint32_t>& broadcasts,
                 discovery::ResolvedTargets* pResolved, discovery::TargetPlan* pPlan) {
    *pResolved = discovery::ResolveTargetNames(context);
    *pPlan = discovery::PlanSearchTargets(context, *pResolved, networks, broadcasts);
    if (context.Ending()) {
        if (context.Finishing()) {
            WriteDone(context);  // nothing was sent yet
        }
        return false;
    }
    return WithinBound(context, *pPlan);
}

/// Sends every query of the search and receives the replies, on a socket that is open.
void Exchange(CSearchContext& context, net::SOCKET s, const char* pszExpectedPrefix) {
    PrepareSocket(s);
    // The interfaces once per search: every reply is matched against this.
    std::vector<net::INTERFACE_INFO> interfaces;
    discovery::ReadInterfaceList(s, &interfaces, context);
    discovery::CInterfaceNames names;
    names.Read();
    const std::vector<discovery::LocalNetwork> networks =
        discovery::LocalNetworks(interfaces, names);
    std::vector<const discovery::LocalNetwork*> owners;
    const std::vector<std::uint32_t> broadcasts = discovery::BroadcastTargets(networks, &owners);
    context.outcome.bBehindVirtualNat =
        discovery::LooksLikeVirtualNat(net::SystemRelease(), networks);
    const bool bTargets = !context.settings.targets.empty();
    discovery::ResolvedTargets resolved;
    discovery::TargetPlan plan;
    if (bTargets && !PlanTargets(context, networks, broadcasts, &resolved, &plan)) {
        return;
    }

    CReplyReceiver receiver(context, s, pszExpectedPrefix, names, networks);
    discovery::CBurstRecovery recovery(context, s, receiver);
    std::vector<std::uint32_t> sent;
    long nQueries = discovery::SendBroadcasts(context, s, broadcasts, owners, networks, bTargets,
                                              receiver, &sent);
    recovery.SetBroadcasts(sent);
    context.UpdateDisplay();  // what went where, before the wait
    if (nQueries >= 0 && bTargets) {
        const long nTargetQueries =
            discovery::SendTargetQueries(context, s, receiver, resolved, plan);
        nQueries = nTargetQueries < 0 ? -1 : nQueries + nTargetQueries;
        if (nQueries == 0) {
            // Neither a broadcast nor a target query went out.
            context.Printf(context.Say(texts::ErrorSendReturned), context.nLastSendError);
            context.Fail(context.nLastSendError, discovery::kLineDirectedSendFailed);
            nQueries = -1;
        }
    }
    if (nQueries >= 0 || context.Finishing()) {
        context.EnsureBlankLine();
        receiver.RestartQuietPeriod();  // the quiet period begins after the last query
        ReceiveReplies(context, receiver, recovery);
    }
}

}  // namespace

SearchOutcome CDeviceInfo::SearchDevices(CReportSink& report, CSearchHost* pHost) {
    SearchSettings settings;
    settings.nVerbosity = m_nVerbosity;
    settings.modelPrefix = m_szModelPrefix;
    return SearchDevices(settings, report, pHost);
}

SearchOutcome CDeviceInfo::SearchDevices(const SearchSettings& settings, CReportSink& report,
                                         CSearchHost* pHost) {
    // The table keeps what it was searched with (the reply check and the report read it here).
    m_nVerbosity = settings.nVerbosity;
    std::memset(m_szModelPrefix, 0, sizeof(m_szModelPrefix));
    std::strncpy(m_szModelPrefix, settings.modelPrefix.c_str(), sizeof(m_szModelPrefix) - 1);
    CSearchContext context(*this, settings, report, pHost);
    char szExpectedPrefix[48] = {};
    std::snprintf(szExpectedPrefix, sizeof(szExpectedPrefix), "TVK,%s", m_szModelPrefix);
    ClearDevices();
    ReportSearchStart(report);
    context.EnsureBlankLine();
    // The display is brought up to date once per device, at the progress of a sweep and at the
    // end, not at every line; a host that paints while the search runs refreshes it too.
    report.HoldDisplay(true);

    net::SOCKET s = net::socket(net::AF_INET, net::SOCK_DGRAM, net::IPPROTO_UDP);
    if (s == net::INVALID_SOCKET) {
        context.Printf("%s", context.Say(texts::ErrorSocket));
        context.Fail(net::WSAGetLastError(), discovery::kLineSocket);
    } else {
        Exchange(context, s, szExpectedPrefix);
        net::shutdown(s, net::SD_BOTH);
        net::closesocket(s);
    }

    SearchOutcome& outcome = context.outcome;
    if (outcome.result == SearchOutcome::Cancelled) {
        context.EnsureBlankLine();
        context.Printf("%s", context.Say(texts::SearchCancelled));
    }
    report.HoldDisplay(false);
    report.EnsureLineEnd();
    report.UpdateDisplay();
    if (outcome.result == SearchOutcome::Completed && outcome.nWarnings > 0) {
        outcome.result = SearchOutcome::CompletedWithWarnings;
    }
    return outcome;
}

void ReportNoDeviceAnswered(CReportSink& report, const CDeviceInfo& info,
                            const SearchOutcome& outcome, texts::Id targetsHint) {
    report.EnsureBlankLine();
    report.Printf(report.Say(texts::NobodyAnswered), info.m_szModelPrefix);
    for (const std::string& line : outcome.queried) {
        report.Printf("  %s\r\n", line.c_str());
    }
    report.Printf(report.Say(texts::PleaseCheck), report.Say(targetsHint));
    if (outcome.bBehindVirtualNat) {
        report.Printf("%s", report.Say(texts::VirtualNatHint));
    }
}
