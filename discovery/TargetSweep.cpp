#include "TargetSweep.h"

#include <cstdio>
#include <string>

#include "NameResolution.h"
#include "ReplyReceiver.h"
#include "SearchContext.h"
#include "SearchSend.h"

namespace discovery {

namespace {

// How long the names of one search may take to resolve, in all.
constexpr std::uint32_t kNameResolutionMilliseconds = 3000;
// How often the progress line of a sweep is written anew.
constexpr std::uint32_t kProgressMilliseconds = 500;

/// At verbosity 1, one line per target: what it adds, and what it leaves out.
void ReportTargetLine(CSearchContext& context, const SearchTarget& target,
                      const std::vector<std::uint32_t>& nameAddresses, const TargetShare& share) {
    if (context.settings.nVerbosity < 1) {
        return;
    }
    if (target.IsSweep()) {
        context.Printf(context.Say(texts::SweepOf), target.text.c_str(),
                       static_cast<unsigned>(target.Count()));
    } else if (!nameAddresses.empty() || !target.bName) {
        std::string addresses;
        for (std::uint32_t nAddress :
             target.bName ? nameAddresses : std::vector<std::uint32_t>{target.nFirst}) {
            addresses += (addresses.empty() ? "" : ", ") + DottedText(net::htonl(nAddress));
        }
        context.Printf(context.Say(texts::QueryTo), target.text.c_str(), addresses.c_str());
    }
    if (share.nOnLink > 0) {
        context.Printf(context.Say(texts::SweepOnLink), static_cast<unsigned>(share.nOnLink));
    }
    if (share.nRepeated > 0) {
        context.Printf(context.Say(texts::SweepRepeated), static_cast<unsigned>(share.nRepeated));
    }
}

/// "10.88.0.0/16" for a single target, else "3 targets".
std::string SweepName(CSearchContext& context) {
    const std::vector<SearchTarget>& targets = context.settings.targets;
    if (targets.size() == 1) {
        return targets.front().text;
    }
    char szName[64] = {};
    std::snprintf(szName, sizeof(szName), context.Say(texts::SweepTargets),
                  static_cast<unsigned>(targets.size()));
    return szName;
}

/// "4 min 22 s", "18 h 38 min": how long the sweep takes, roughly.
std::string Duration(std::uint64_t nSeconds) {
    if (nSeconds >= 3600) {
        return std::to_string(nSeconds / 3600) + " h " + std::to_string(nSeconds / 60 % 60) +
               " min";
    }
    return std::to_string(nSeconds / 60) + " min " + std::to_string(nSeconds % 60) + " s";
}

/// What went to one target: queries that went out, and those that failed with the last reason.
struct TargetCount {
    std::uint32_t nSent = 0;
    std::uint32_t nFailed = 0;
    int nError = 0;
};

/// "255 addresses", "100 of 255 addresses" (a sweep that was stopped), or "0 of 255 addresses;
/// 255 failed: 10051 (network unreachable)".
std::string CountText(CSearchContext& context, const TargetCount& count, std::uint32_t nPlanned) {
    char szCount[512] = {};
    if (count.nFailed == 0 && count.nSent >= nPlanned) {
        std::snprintf(szCount, sizeof(szCount), context.Say(texts::SweepAllSent), nPlanned);
    } else if (count.nFailed == 0) {
        std::snprintf(szCount, sizeof(szCount), context.Say(texts::SweepSomeSent), count.nSent,
                      nPlanned);
    } else {
        std::snprintf(szCount, sizeof(szCount), context.Say(texts::SweepSomeFailed), count.nSent,
                      nPlanned, count.nFailed,
                      SendErrorText(count.nError, context.GetLanguage()).c_str());
    }
    return szCount;
}

/// Sends the query to the addresses of the plan at the pace, taking in replies between sends.
class CPacedSender {
public:
    CPacedSender(CSearchContext& context, net::SOCKET s, CReplyReceiver& receiver,
                 std::uint64_t nTotal, std::size_t nTargets)
        : m_context(context),
          m_s(s),
          m_receiver(receiver),
          m_nRate(context.settings.nQueriesPerSecond > 0
                      ? static_cast<std::uint64_t>(context.settings.nQueriesPerSecond)
                      : static_cast<std::uint64_t>(kDefaultQueriesPerSecond)),
          m_nTotal(nTotal),
          m_bShowProgress(nTotal > m_nRate),
          m_nStart(net::GetTickCount()),
          m_nLastProgress(m_nStart),
          m_counts(nTargets) {}

    /// Sends to the address (host byte order) of the target when its turn has come. False when
    /// the search must end.
    bool Send(std::uint32_t nAddress, std::size_t nTarget) {
        if (!WaitForTurn()) {
            return false;
        }
        int nError = 0;
        int nSent = 0;
        TargetCount& count = m_counts[nTarget];
        switch (SendQuery(m_s, net::htonl(nAddress), m_receiver, &nError, &nSent)) {
            case SendResult::SearchEnds:
                return false;
            case SendResult::Sent:
                ++m_nQueries;
                ++count.nSent;
                break;
            case SendResult::Short:
                nError = 0;
                [[fallthrough]];
            case SendResult::Failed:
                if (!m_bFailureReported) {
                    // One line for all: a network without a route fails for every host.
                    m_bFailureReported = true;
                    WarnSendFailed(m_context, net::htonl(nAddress), nError);
                }
                m_context.nLastSendError = nError;
                ++m_nFailed;
                ++count.nFailed;
                count.nError = nError;
                m_nLastError = nError;
                break;
        }
        ++m_nSent;
        ShowProgress(false);
        return true;
    }
    void Finish() { ShowProgress(true); }
    long Queries() const { return m_nQueries; }
    const TargetCount& CountOf(std::size_t nTarget) const { return m_counts[nTarget]; }

private:
    /// Takes in replies until the next query is due: query n goes n / rate seconds after the
    /// first.
    bool WaitForTurn() {
        for (;;) {
            const std::uint64_t nElapsed = net::GetTickCount() - m_nStart;
            const std::uint64_t nDueAt = m_nSent * 1000 / m_nRate;
            if (nElapsed >= nDueAt) {
                return true;
            }
            const std::uint64_t nWait =
                std::min<std::uint64_t>(nDueAt - nElapsed, kPassMilliseconds);
            if (!m_receiver.Pass(static_cast<std::uint32_t>(nWait))) {
                return false;
            }
        }
    }
    void ShowProgress(bool bFinal) {
        if (!m_bShowProgress) {
            return;
        }
        const std::string name = SweepName(m_context);
        if (bFinal) {
            m_context.SweepProgress(m_nSent, m_nTotal);
            TargetCount all;
            all.nSent = static_cast<std::uint32_t>(m_nQueries);
            all.nFailed = m_nFailed;
            all.nError = m_nLastError;
            m_context.Printf(
                m_context.Say(texts::SweepQueried), name.c_str(),
                CountText(m_context, all, static_cast<std::uint32_t>(m_nTotal)).c_str());
            return;
        }
        const std::uint32_t nNow = net::GetTickCount();
        if (nNow - m_nLastProgress < kProgressMilliseconds) {
            return;
        }
        m_nLastProgress = nNow;
        m_context.SweepProgress(m_nSent, m_nTotal);
        m_context.Printf(m_context.Say(texts::SweepQuerying), name.c_str(),
                         static_cast<unsigned>(m_nSent), static_cast<unsigned>(m_nTotal));
        // A progress line holds no line end and so refreshes nothing by itself.
        m_context.UpdateDisplay();
    }

    CSearchContext& m_context;
    net::SOCKET m_s;
    CReplyReceiver& m_receiver;
    const std::uint64_t m_nRate;
    const std::uint64_t m_nTotal;
    const bool m_bShowProgress;
    const std::uint32_t m_nStart;
    std::uint32_t m_nLastProgress;
    std::uint64_t m_nSent = 0;
    long m_nQueries = 0;
    std::uint32_t m_nFailed = 0;
    int m_nLastError = 0;
    bool m_bFailureReported = false;
    std::vector<TargetCount> m_counts;
};

}  // namespace

ResolvedTargets ResolveTargetNames(CSearchContext& context) {
    ResolvedTargets resolved;
    std::vector<std::string> names;
    for (const SearchTarget& target : context.settings.targets) {
        if (target.bName) {
            names.push_back(target.text);
        }
    }
    const std::vector<ResolvedName> results =
        ResolveNames(names, kNameResolutionMilliseconds, [&context] { return context.Ending(); });
    for (std::size_t i = 0; i < results.size(); ++i) {
        const std::string& shown = names[i];
        if (results[i].addresses.empty()) {
            context.Warn(results[i].bAnswered ? context.Say(texts::WarningNameUnresolved)
                                              : context.Say(texts::WarningNameNotInTime),
                         shown.c_str());
        }
        // A name is no way around the rules of an address: one that no host can have is named
        // and left out.
        std::vector<std::uint32_t> addresses;
        for (std::uint32_t nAddress : results[i].addresses) {
            if (IsHostAddress(nAddress)) {
                addresses.push_back(nAddress);
                continue;
            }
            context.Warn(context.Say(texts::WarningNameNoHost), shown.c_str(),
                         DottedText(net::htonl(nAddress)).c_str());
        }
        resolved.nameAddresses.push_back(addresses);
    }
    return resolved;
}

TargetPlan PlanSearchTargets(CSearchContext& context, const ResolvedTargets& resolved,
                             const std::vector<LocalNetwork>& networks,
                             const std::vector<std::uint32_t>& localBroadcasts) {
    std::vector<OnLinkNetwork> onLink;
    for (const LocalNetwork& network : networks) {
        if (network.bQueried) {
            onLink.push_back({net::ntohl(network.nAddress), net::ntohl(network.nNetmask)});
        }
    }
    std::vector<std::uint32_t> broadcasts;
    for (std::uint32_t nBroadcast : localBroadcasts) {
        broadcasts.push_back(net::ntohl(nBroadcast));
    }
    TargetPlan plan;
    plan.ranges = PlanTargets(context.settings.targets, resolved.nameAddresses, onLink, broadcasts,
                              &plan.shares);
    for (const TargetRange& range : plan.ranges) {
        plan.nTotal += range.Count();
    }
    return plan;
}

long SendTargetQueries(CSearchContext& context, net::SOCKET s, CReplyReceiver& receiver,
                       const ResolvedTargets& resolved, const TargetPlan& plan) {
    const std::vector<SearchTarget>& targets = context.settings.targets;
    std::size_t nName = 0;
    for (std::size_t i = 0; i < targets.size(); ++i) {
        static const std::vector<std::uint32_t> kNone;
        const std::vector<std::uint32_t>& addresses =
            targets[i].bName && nName < resolved.nameAddresses.size()
                ? resolved.nameAddresses[nName]
                : kNone;
        nName += targets[i].bName ? 1 : 0;
        ReportTargetLine(context, targets[i], addresses, plan.shares[i]);
    }

    const std::uint64_t nRate = context.settings.nQueriesPerSecond > 0
                                    ? static_cast<std::uint64_t>(context.settings.nQueriesPerSecond)
                                    : static_cast<std::uint64_t>(kDefaultQueriesPerSecond);
    if (plan.nTotal / nRate >= 60) {
        const Language language = context.GetLanguage();
        context.Printf(
            context.Say(texts::SweepEstimate), texts::Grouped(plan.nTotal, language).c_str(),
            texts::Grouped(nRate, language).c_str(), Duration(plan.nTotal / nRate).c_str());
    }
    context.UpdateDisplay();
    CPacedSender sender(context, s, receiver, plan.nTotal, targets.size());
    bool bStopped = false;
    for (auto range = plan.ranges.begin(); range != plan.ranges.end() && !bStopped; ++range) {
        for (std::uint64_t n = range->nFirst; n <= range->nLast; ++n) {
            if (!sender.Send(static_cast<std::uint32_t>(n), range->nTarget)) {
                if (!context.Finishing()) {
                    return -1;
                }
                bStopped = true;  // the user stopped the sweep: what went out is counted
                break;
            }
        }
    }
    sender.Finish();
    for (std::size_t i = 0; i < targets.size(); ++i) {
        const TargetCount& count = sender.CountOf(i);
        if (count.nSent + count.nFailed > 0) {
            context.outcome.queried.push_back(
                targets[i].text + " (" + CountText(context, count, plan.shares[i].nQueried) + ")");
        }
    }
    return sender.Queries();
}

}  // namespace discovery
