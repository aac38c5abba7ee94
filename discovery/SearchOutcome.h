// What a search tells its caller besides the table: how it ended, and the host that keeps the
// program alive while it runs.
#pragma once

#include <string>
#include <vector>

/// The program that runs a search, as the search sees it besides its report: it keeps the
/// program's windows alive while the search blocks its thread, and may ask the search to stop.
class CSearchHost {
public:
    virtual ~CSearchHost() = default;
    /// Called at least every 100 ms while the search runs. Returns true when the search is to
    /// end now (the user asked to quit); the search then ends early, in order.
    virtual bool KeepResponsive() = 0;
};

/// How a search ended, for its caller; the report says the same in words.
struct SearchOutcome {
    enum Result {
        Completed,              ///< the network was quiet long enough: "... done."
        CompletedWithWarnings,  ///< completed, and the report holds nWarnings warning lines
        Failed,                 ///< ended by an error: no "... done."
        Cancelled,              ///< ended early because the host asked: "... cancelled."
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
    /// What the query went to, one 8-bit line each: the broadcast addresses (with the interface
    /// for a directed one) and the targets beyond the local networks.
    std::vector<std::string> queried;
};
