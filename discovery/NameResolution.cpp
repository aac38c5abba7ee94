#include "NameResolution.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "net/SocketLayer.h"

namespace discovery {

namespace {

// Names resolved at the same time at most; a longer list waits its turn within the bound.
constexpr std::size_t kMostResolvers = 16;

/// What the resolver threads and the waiting search share; it lives as long as the last of them.
struct Resolution {
    std::mutex mutex;
    std::condition_variable done;
    std::vector<std::string> names;
    std::vector<ResolvedName> results;
    std::size_t nNext = 0;
    std::size_t nAnswered = 0;
};

void Resolve(const std::shared_ptr<Resolution>& pShared, net::SocketLayer& layer) {
    for (;;) {
        std::size_t i = 0;
        {
            std::lock_guard<std::mutex> lock(pShared->mutex);
            if (pShared->nNext >= pShared->names.size()) {
                return;
            }
            i = pShared->nNext++;
        }
        std::vector<net::in_addr> addresses;
        const bool bResolved = layer.ResolveIPv4(pShared->names[i].c_str(), &addresses);
        std::lock_guard<std::mutex> lock(pShared->mutex);
        ResolvedName& result = pShared->results[i];
        result.bAnswered = true;
        for (const net::in_addr& address : addresses) {
            if (bResolved) {
                result.addresses.push_back(net::ntohl(address.s_addr));
            }
        }
        ++pShared->nAnswered;
        pShared->done.notify_all();
    }
}

}  // namespace

std::vector<ResolvedName> ResolveNames(const std::vector<std::string>& names,
                                       std::uint32_t nBoundMs, const std::function<bool()>& stop) {
    if (names.empty()) {
        return {};
    }
    auto pShared = std::make_shared<Resolution>();
    pShared->names = names;
    pShared->results.resize(names.size());
    net::SocketLayer& layer = net::CurrentSocketLayer();
    const std::size_t nThreads = std::min(kMostResolvers, names.size());
    for (std::size_t i = 0; i < nThreads; ++i) {
        std::thread(Resolve, pShared, std::ref(layer)).detach();
    }

    using Clock = std::chrono::steady_clock;
    const Clock::time_point end = Clock::now() + std::chrono::milliseconds(nBoundMs);
    std::unique_lock<std::mutex> lock(pShared->mutex);
    while (pShared->nAnswered < names.size()) {
        const Clock::time_point now = Clock::now();
        if (now >= end) {
            break;
        }
        const auto slice = std::min<Clock::duration>(end - now, std::chrono::milliseconds(100));
        if (!pShared->done.wait_for(lock, slice,
                                    [&] { return pShared->nAnswered >= names.size(); })) {
            lock.unlock();
            const bool bStop = stop && stop();
            lock.lock();
            if (bStop) {
                break;
            }
        }
    }
    return pShared->results;
}

}  // namespace discovery
