// The simulator's run: its devices at their addresses, and one poll loop over the UDP queries and
// the web pages until a signal ends it.
#include "Simulator.h"

#include <arpa/inet.h>
#include <errno.h>
#include <fcntl.h>
#include <ifaddrs.h>
#include <poll.h>
#include <sched.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <map>

#include "HttpServer.h"
#include "SimDevice.h"
#include "UdpResponder.h"

namespace sim {

namespace {

volatile std::sig_atomic_t g_bStop = 0;

void OnSignal(int) {
    g_bStop = 1;
}

void EndOnSignals() {
    signal(SIGPIPE, SIG_IGN);
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

/// Devices behind a router live in a network of their own: moves the process into it.
bool EnterNetwork(const std::string& netns) {
    const int fd = open(netns.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 || setns(fd, CLONE_NEWNET) != 0) {
        std::fprintf(stderr, "lorixlog-sim: cannot enter the network namespace %s: %s\n",
                     netns.c_str(), std::strerror(errno));
        if (fd >= 0) {
            close(fd);
        }
        return false;
    }
    close(fd);
    return true;
}

/// The devices at their addresses, which must be addresses of this computer (one list of the
/// interfaces for all: a plant has a thousand of them).
bool PlaceDevices(const std::vector<SimulatedDevice>& configs, std::vector<Device>* pDevices) {
    ifaddrs* pList = nullptr;
    if (getifaddrs(&pList) != 0) {
        std::perror("lorixlog-sim: getifaddrs");
        return false;
    }
    std::map<std::uint32_t, in_addr> netmasks;
    for (const ifaddrs* p = pList; p != nullptr; p = p->ifa_next) {
        if (p->ifa_addr != nullptr && p->ifa_addr->sa_family == AF_INET &&
            p->ifa_netmask != nullptr) {
            netmasks.emplace(reinterpret_cast<const sockaddr_in*>(p->ifa_addr)->sin_addr.s_addr,
                             reinterpret_cast<const sockaddr_in*>(p->ifa_netmask)->sin_addr);
        }
    }
    freeifaddrs(pList);
    for (const SimulatedDevice& config : configs) {
        Device device;
        device.config = config;
        inet_pton(AF_INET, config.address.c_str(), &device.address);
        const auto it = netmasks.find(device.address.s_addr);
        if (it == netmasks.end()) {
            std::fprintf(stderr, "lorixlog-sim: %s is not an address of this computer\n",
                         config.address.c_str());
            return false;
        }
        device.netmask = it->second;
        pDevices->push_back(device);
    }
    return true;
}

void SignalReady(const std::string& readyFile) {
    if (!readyFile.empty()) {
        if (std::FILE* f = std::fopen(readyFile.c_str(), "w")) {
            std::fclose(f);
        }
    }
}

/// Polls both kinds of socket and hands each handler what is ready, until a signal, the time
/// limit or a failing poll.
void PollLoop(const Options& options, UdpResponder& udp, HttpServer& http) {
    constexpr int kLongestWaitMs = 200;
    const std::uint64_t nStartMs = NowMs();
    const auto nLimitMs = static_cast<std::uint64_t>(options.nMaxSeconds) * 1000;
    std::vector<pollfd> entries;
    while (g_bStop == 0) {
        std::uint64_t nNowMs = NowMs();
        if (options.nMaxSeconds > 0 && nNowMs - nStartMs >= nLimitMs) {
            break;
        }
        udp.SendDue(nNowMs, &g_bStop);
        entries.clear();
        entries.push_back(udp.PollEntry());
        http.AddPollEntries(&entries);
        if (poll(entries.data(), entries.size(), udp.WaitMs(nNowMs, kLongestWaitMs)) < 0) {
            if (errno == EINTR) {
                continue;
            }
            std::perror("lorixlog-sim: poll");
            break;
        }
        nNowMs = NowMs();
        if ((entries[0].revents & POLLIN) != 0) {
            udp.OnReadable(nNowMs);
        }
        http.OnPolled(entries, nNowMs);
    }
}

}  // namespace

int Run(const Options& options) {
    EndOnSignals();
    if (!options.netns.empty() && !EnterNetwork(options.netns)) {
        return 1;
    }
    std::vector<Device> devices;
    if (!PlaceDevices(options.devices, &devices)) {
        return 1;
    }
    HttpServer http(devices, options.bVerbose);
    const Device* pFailed = nullptr;
    if (!http.Listen(options.nHttpPort, &pFailed)) {
        std::fprintf(stderr, "lorixlog-sim: cannot serve %s:%u: %s\n",
                     pFailed->config.address.c_str(), options.nHttpPort, std::strerror(errno));
        return 1;
    }
    UdpResponder udp(devices, options.bVerbose, options.bShuffle, NowMs());
    if (!udp.Open(options.nPort)) {
        std::fprintf(stderr, "lorixlog-sim: cannot listen on UDP port %u: %s\n", options.nPort,
                     std::strerror(errno));
        return 1;
    }
    SignalReady(options.readyFile);
    PollLoop(options, udp, http);
    return 0;
}

}  // namespace sim
