#include "BurstRecovery.h"

#include <algorithm>

#include "ReplyReceiver.h"
#include "SearchContext.h"
#include "SearchSend.h"

namespace discovery {

CBurstRecovery::CBurstRecovery(CSearchContext& context, net::SOCKET s, CReplyReceiver& receiver)
    : m_context(context),
      m_s(s),
      m_receiver(receiver),
      m_nDroppedBefore(net::DroppedDatagrams(s)),
      m_nDroppedAtStart(m_nDroppedBefore) {}

bool CBurstRecovery::AfterPass() {
    m_nLargestBurst = std::max(m_nLargestBurst, m_receiver.TakeLargestBurst());
    if (m_broadcasts.empty() || m_receiver.QuietFor() < kBurstOverMilliseconds) {
        return true;
    }
    if (m_nNext < m_broadcasts.size()) {
        return SendNext();  // the round goes on
    }
    if (m_nRound >= kMostRounds) {
        return true;
    }
    const long nDropped = net::DroppedDatagrams(m_s);
    if (nDropped >= 0 && m_nDroppedBefore >= 0) {
        const long nLost = nDropped - m_nDroppedBefore;
        if (nLost <= 0) {
            return true;
        }
        m_context.Printf(m_context.Say(texts::BurstRepliesLost), nLost, m_nRound + 1, kMostRounds);
    } else {
        // The system does not count its drops: a large burst is sent for once more.
        if (m_nRound > 1 || m_nLargestBurst < kSuspectBurst) {
            return true;
        }
        m_context.Printf(m_context.Say(texts::BurstMayHaveLost),
                         static_cast<unsigned>(m_nLargestBurst), m_nRound + 1);
    }
    m_context.UpdateDisplay();
    ++m_nRound;
    m_nDroppedBefore = nDropped;
    m_nLargestBurst = 0;
    m_nNext = 0;
    return SendNext();
}

bool CBurstRecovery::SendNext() {
    int nError = 0;
    int nSent = 0;
    // A broadcast that fails now failed the first time too, and was said then.
    if (SendQuery(m_s, m_broadcasts[m_nNext++], m_receiver, &nError, &nSent) ==
        SendResult::SearchEnds) {
        return false;
    }
    m_receiver.RestartQuietPeriod();
    return true;
}

void CBurstRecovery::ReportLost() {
    const long nDropped = net::DroppedDatagrams(m_s);
    if (nDropped >= 0 && m_nDroppedAtStart >= 0) {
        m_context.outcome.nRepliesDropped = nDropped - m_nDroppedAtStart;
    }
    if (nDropped < 0 || m_nDroppedBefore < 0 || nDropped <= m_nDroppedBefore) {
        return;
    }
    m_context.Warn(m_context.Say(texts::WarningRepliesLost), nDropped - m_nDroppedBefore);
}

}  // namespace discovery
