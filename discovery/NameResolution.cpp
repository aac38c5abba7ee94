#include "NameResolution.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <thread>

#include "net/SocketLayer.h"

namespace discovery {

namespace {

/// The process's resolver: a queue of names, at most kMostResolvers threads that take them, and
/// what is known of each name asked.
class CResolver {
public:
    static CResolver& Instance() {
        // Never destroyed: its threads may still wait for a name server when the program ends.
        static CResolver* pResolver = new CResolver;
        return *pResolver;
    }

    std::vector<ResolvedName> Resolve(const std::vector<std::string>& names, std::uint32_t nBoundMs,
                                      const std::function<bool()>& stop) {
        std::unique_lock<std::mutex> lock(m_mutex);
        net::SocketLayer* pLayer = &net::CurrentSocketLayer();
        for (const std::string& name : names) {
            const auto [it, bNew] = m_entries.emplace(name, Entry{});
            if (bNew) {
                // Not asked yet, or its last answer was taken: ask. A name still pending from an
                // earlier call is not asked again.
                m_queue.push_back(name);
            }
            if (!it->second.bStarted) {
                it->second.pLayer = pLayer;
            }
        }
        while (m_nThreads < kMostResolvers && m_nThreads < m_queue.size() + m_nBusy) {
            ++m_nThreads;
            std::thread([this] { Work(); }).detach();
        }
        m_work.notify_all();

        using Clock = std::chrono::steady_clock;
        const Clock::time_point end = Clock::now() + std::chrono::milliseconds(nBoundMs);
        auto allAnswered = [&] {
            return std::all_of(names.begin(), names.end(),
                               [&](const std::string& n) { return m_entries[n].bAnswered; });
        };
        while (!allAnswered()) {
            const Clock::time_point now = Clock::now();
            if (now >= end) {
                break;
            }
            const auto slice = std::min<Clock::duration>(end - now, std::chrono::milliseconds(100));
            if (!m_done.wait_for(lock, slice, allAnswered)) {
                lock.unlock();
                const bool bStop = stop && stop();
                lock.lock();
                if (bStop) {
                    break;
                }
            }
        }
        std::vector<ResolvedName> results(names.size());
        for (std::size_t i = 0; i < names.size(); ++i) {
            const Entry& entry = m_entries[names[i]];
            if (entry.bAnswered) {
                results[i] = entry.result;
            }
        }
        for (const std::string& name : names) {
            const auto it = m_entries.find(name);
            if (it != m_entries.end() && it->second.bAnswered) {
                m_entries.erase(it);  // taken: the next search asks again
            }
        }
        return results;
    }

    std::size_t Threads() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_nThreads;
    }

private:
    struct Entry {
        bool bStarted = false;  ///< a thread is asking the layer
        bool bAnswered = false;
        ResolvedName result;
        net::SocketLayer* pLayer = nullptr;
    };

    void Work() {
        std::unique_lock<std::mutex> lock(m_mutex);
        for (;;) {
            m_work.wait(lock, [this] { return !m_queue.empty(); });
            const std::string name = m_queue.front();
            m_queue.pop_front();
            Entry& started = m_entries[name];
            started.bStarted = true;
            net::SocketLayer* pLayer = started.pLayer;
            ++m_nBusy;
            lock.unlock();
            std::vector<net::in_addr> addresses;
            const bool bResolved = pLayer->ResolveIPv4(name.c_str(), &addresses);
            lock.lock();
            --m_nBusy;
            Entry& entry = m_entries[name];
            entry.bAnswered = true;
            entry.result.bAnswered = true;
            entry.result.addresses.clear();
            for (const net::in_addr& address : addresses) {
                if (bResolved) {
                    entry.result.addresses.push_back(net::ntohl(address.s_addr));
                }
            }
            m_done.notify_all();
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_work;
    std::condition_variable m_done;
    std::deque<std::string> m_queue;
    std::map<std::string, Entry> m_entries;
    std::size_t m_nThreads = 0;
    std::size_t m_nBusy = 0;
};

}  // namespace

std::vector<ResolvedName> ResolveNames(const std::vector<std::string>& names,
                                       std::uint32_t nBoundMs, const std::function<bool()>& stop) {
    if (names.empty()) {
        return {};
    }
    return CResolver::Instance().Resolve(names, nBoundMs, stop);
}

std::size_t ResolverThreads() {
    return CResolver::Instance().Threads();
}

}  // namespace discovery
