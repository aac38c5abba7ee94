// What a search tells its caller besides the table: how it ended, and the host that keeps the
// program alive while it runs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

/// The program that runs a search, as the search sees it besides its report: it keeps the
/// program's windows alive while the search blocks its thread, may ask the search to end, and
/// may show how far a sweep has come.
class CSearchHost {
public:
    /// What the host wants of the search at the moment.
    enum Wish {
        GoOn,    ///< the search goes on
        Finish,  ///< the user has what he needs: the search ends at once and closes as a search
                 ///< that ended by itself does (the devices found kept, "... done.")
        Cancel,  ///< the program is to end: the search ends at once with "... cancelled."
    };
    virtual ~CSearchHost() = default;
    /// Called at least every 100 ms while the search runs; the search ends early, in order, once
    /// the answer is not GoOn.
    virtual Wish KeepResponsive() = 0;
    /// While the addresses of the search targets are queried one by one: nSent of nTotal have
    /// been sent. Called about twice a second, and once at the end of the sweep.
    virtual void SweepProgress(std::uint64_t nSent, std::uint64_t nTotal) {
        static_cast<void>(nSent);
        static_cast<void>(nTotal);
    }
};

/// How a search ended, for its caller; the report says the same in words.
struct SearchOutcome {
    enum Result {
        Completed,              ///< the network was quiet long enough: "... done."
        CompletedWithWarnings,  ///< completed, and the report holds nWarnings warning lines
        Failed,                 ///< ended by an error: no "... done."
        Cancelled,              ///< ended early because the host cancelled: "... cancelled."
    };
    Result result = Completed;
    /// The socket layer's error code of a failure; 0 for a failure without one (a short send,
    /// an address that has no text) and for a completed search.
    int nError = 0;
    /// The location line that the report gives for the failure; 0 when completed, and for a
    /// failure before anything was sent (targets beyond the bound), which has none.
    int nLine = 0;
    /// The warning lines the search wrote (a send that failed for one network, a datagram too
    /// long to receive, a full table, a search that replies kept going).
    int nWarnings = 0;
    /// The replies the system dropped for a full receive buffer during the search (the burst
    /// rounds asked again for them); -1 where the system does not count them.
    long nRepliesDropped = -1;
    /// The computer looks like a virtual machine behind its host's NAT, where no broadcast
    /// reaches the devices' network (LooksLikeVirtualNat).
    bool bBehindVirtualNat = false;
    /// What the query went to, one 8-bit line each: the broadcast addresses (with the interface
    /// for a directed one) and the targets beyond the local networks.
    std::vector<std::string> queried;
};
