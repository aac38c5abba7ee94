#include "Simulator.h"

#include <arpa/inet.h>
#include <errno.h>
#include <fcntl.h>
#include <ifaddrs.h>
#include <netinet/in.h>
#include <poll.h>
#include <sched.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>

namespace sim {

namespace {

volatile sig_atomic_t g_bStop = 0;

void OnSignal(int) {
    g_bStop = 1;
}

std::uint64_t NowMs() {
    using namespace std::chrono;
    return static_cast<std::uint64_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

struct Device {
    SimulatedDevice config;
    in_addr address{};
    in_addr netmask{};
    int nHttpSocket = -1;
};

struct PendingReply {
    std::uint64_t nDueMs;
    std::size_t nDevice;
    sockaddr_in to;
    int nCopies;
};

struct HttpConnection {
    int fd;
    std::size_t nDevice;
    std::string request;
    std::uint64_t nOpenedMs;
};

bool FindNetmask(const in_addr& address, in_addr* pMask) {
    ifaddrs* pList = nullptr;
    if (getifaddrs(&pList) != 0) {
        return false;
    }
    bool bFound = false;
    for (const ifaddrs* p = pList; p != nullptr && !bFound; p = p->ifa_next) {
        if (p->ifa_addr != nullptr && p->ifa_addr->sa_family == AF_INET &&
            reinterpret_cast<const sockaddr_in*>(p->ifa_addr)->sin_addr.s_addr == address.s_addr) {
            *pMask = reinterpret_cast<const sockaddr_in*>(p->ifa_netmask)->sin_addr;
            bFound = true;
        }
    }
    freeifaddrs(pList);
    return bFound;
}

bool Answers(const Device& device, const in_addr& destination) {
    const std::uint32_t dest = destination.s_addr;
    const std::uint32_t own = device.address.s_addr;
    const std::uint32_t mask = device.netmask.s_addr;
    return dest == INADDR_BROADCAST || dest == own || dest == ((own & mask) | ~mask);
}

bool SendFrom(int fd, const Device& device, const sockaddr_in& to, const std::string& payload) {
    iovec iov{const_cast<char*>(payload.data()), payload.size()};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo))] = {};
    msghdr msg{};
    msg.msg_name = const_cast<sockaddr_in*>(&to);
    msg.msg_namelen = sizeof(to);
    msg.msg_iov = &iov;
    msg.msg_iovlen = 1;
    msg.msg_control = control;
    msg.msg_controllen = sizeof(control);
    cmsghdr* pHeader = CMSG_FIRSTHDR(&msg);
    pHeader->cmsg_level = IPPROTO_IP;
    pHeader->cmsg_type = IP_PKTINFO;
    pHeader->cmsg_len = CMSG_LEN(sizeof(in_pktinfo));
    in_pktinfo info{};
    info.ipi_spec_dst = device.address;
    std::memcpy(CMSG_DATA(pHeader), &info, sizeof(info));
    return sendmsg(fd, &msg, MSG_NOSIGNAL) == static_cast<ssize_t>(payload.size());
}

int OpenUdp(std::uint16_t nPort) {
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return -1;
    }
    const int one = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof(one));
    setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &one, sizeof(one));
    setsockopt(fd, IPPROTO_IP, IP_PKTINFO, &one, sizeof(one));
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(nPort);
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    if (bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof(local)) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

int OpenHttp(const in_addr& address, std::uint16_t nPort) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        return -1;
    }
    const int one = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof(one));
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(nPort);
    local.sin_addr = address;
    if (bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof(local)) != 0 || listen(fd, 16) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

std::string HttpResponse(const Device& device, const std::string& request) {
    const bool bRoot = request.rfind("GET / ", 0) == 0 || request.rfind("HEAD / ", 0) == 0;
    const std::string body = bRoot ? ComposePage(device.config) : "Not found\n";
    std::string response = bRoot ? "HTTP/1.0 200 OK\r\n" : "HTTP/1.0 404 Not Found\r\n";
    response += bRoot ? "Content-Type: text/html; charset=windows-1252\r\n"
                      : "Content-Type: text/plain\r\n";
    response += "Content-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n";
    if (request.rfind("HEAD ", 0) != 0) {
        response += body;
    }
    return response;
}

}  // namespace

int Run(const Options& options) {
    signal(SIGPIPE, SIG_IGN);
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);

    if (!options.netns.empty()) {
        // Devices behind a router live in a network of their own.
        const int fd = open(options.netns.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0 || setns(fd, CLONE_NEWNET) != 0) {
            std::fprintf(stderr, "lorixlog-sim: cannot enter the network namespace %s: %s\n",
                         options.netns.c_str(), std::strerror(errno));
            return 1;
        }
        close(fd);
    }
    std::vector<Device> devices;
    for (const SimulatedDevice& config : options.devices) {
        Device device;
        device.config = config;
        inet_pton(AF_INET, config.address.c_str(), &device.address);
        if (!FindNetmask(device.address, &device.netmask)) {
            std::fprintf(stderr, "lorixlog-sim: %s is not an address of this computer\n",
                         config.address.c_str());
            return 1;
        }
        if (config.bHttp) {
            device.nHttpSocket = OpenHttp(device.address, options.nHttpPort);
            if (device.nHttpSocket < 0) {
                std::fprintf(stderr, "lorixlog-sim: cannot serve %s:%u: %s\n",
                             config.address.c_str(), options.nHttpPort, std::strerror(errno));
                return 1;
            }
        }
        devices.push_back(device);
    }
    const int udp = OpenUdp(options.nPort);
    if (udp < 0) {
        std::fprintf(stderr, "lorixlog-sim: cannot listen on UDP port %u: %s\n", options.nPort,
                     std::strerror(errno));
        return 1;
    }
    if (!options.readyFile.empty()) {
        if (std::FILE* f = std::fopen(options.readyFile.c_str(), "w")) {
            std::fclose(f);
        }
    }

    const std::uint64_t nStartMs = NowMs();
    std::vector<PendingReply> pending;
    std::vector<HttpConnection> connections;
    while (!g_bStop) {
        std::uint64_t nNow = NowMs();
        if (options.nMaxSeconds > 0 &&
            nNow - nStartMs >= static_cast<std::uint64_t>(options.nMaxSeconds) * 1000) {
            break;
        }
        // Replies that are due.
        for (std::size_t i = 0; i < pending.size() && !g_bStop;) {
            if (pending[i].nDueMs > nNow) {
                ++i;
                continue;
            }
            const PendingReply reply = pending[i];
            pending.erase(pending.begin() + static_cast<std::ptrdiff_t>(i));
            const Device& device = devices[reply.nDevice];
            // A flood can take minutes: a signal ends it at once.
            for (int nCopy = 0; nCopy < reply.nCopies && !g_bStop; ++nCopy) {
                const std::string payload = ComposeReply(device.config, nCopy);
                const bool bSent = SendFrom(udp, device, reply.to, payload);
                if (options.bVerbose || !bSent) {
                    std::fprintf(stderr, "lorixlog-sim: %s %s -> %s:%u (%zu bytes)%s\n",
                                 device.config.address.c_str(),
                                 bSent ? "answered" : "could not answer",
                                 inet_ntoa(reply.to.sin_addr), ntohs(reply.to.sin_port),
                                 payload.size(), bSent ? "" : std::strerror(errno));
                }
            }
        }

        std::vector<pollfd> fds;
        fds.push_back(pollfd{udp, POLLIN, 0});
        for (const Device& device : devices) {
            fds.push_back(pollfd{device.nHttpSocket, POLLIN, 0});
        }
        for (const HttpConnection& c : connections) {
            fds.push_back(pollfd{c.fd, POLLIN, 0});
        }
        int nTimeout = 200;
        for (const PendingReply& reply : pending) {
            const auto nWait = static_cast<int>(reply.nDueMs > nNow ? reply.nDueMs - nNow : 0);
            nTimeout = std::min(nTimeout, nWait);
        }
        if (poll(fds.data(), fds.size(), nTimeout) < 0) {
            if (errno == EINTR) {
                continue;
            }
            std::perror("lorixlog-sim: poll");
            break;
        }
        nNow = NowMs();

        if ((fds[0].revents & POLLIN) != 0) {
            char buffer[2048];
            sockaddr_in from{};
            alignas(cmsghdr) char control[256];
            iovec iov{buffer, sizeof(buffer)};
            msghdr msg{};
            msg.msg_name = &from;
            msg.msg_namelen = sizeof(from);
            msg.msg_iov = &iov;
            msg.msg_iovlen = 1;
            msg.msg_control = control;
            msg.msg_controllen = sizeof(control);
            const ssize_t n = recvmsg(udp, &msg, MSG_DONTWAIT);
            in_addr destination{};
            destination.s_addr = INADDR_BROADCAST;
            for (cmsghdr* p = CMSG_FIRSTHDR(&msg); p != nullptr; p = CMSG_NXTHDR(&msg, p)) {
                if (p->cmsg_level == IPPROTO_IP && p->cmsg_type == IP_PKTINFO) {
                    in_pktinfo info{};
                    std::memcpy(&info, CMSG_DATA(p), sizeof(info));
                    destination = info.ipi_addr;
                }
            }
            const bool bQuery = n >= 5 && std::memcmp(buffer, "*IDN?", 5) == 0;
            if (options.bVerbose && n >= 0) {
                char szDest[INET_ADDRSTRLEN];
                inet_ntop(AF_INET, &destination, szDest, sizeof(szDest));
                std::fprintf(stderr, "lorixlog-sim: %s from %s:%u to %s\n",
                             bQuery ? "query" : "datagram", inet_ntoa(from.sin_addr),
                             ntohs(from.sin_port), szDest);
            }
            if (bQuery) {
                for (std::size_t i = 0; i < devices.size(); ++i) {
                    if (!Answers(devices[i], destination)) {
                        continue;
                    }
                    const SimulatedDevice& config = devices[i].config;
                    const int nCopies = (config.bTwice ? 2 : 1) + config.nFlood;
                    pending.push_back(PendingReply{
                        nNow + static_cast<std::uint64_t>(config.nDelayMs), i, from, nCopies});
                }
            }
        }
        for (std::size_t i = 0; i < devices.size(); ++i) {
            if ((fds[1 + i].revents & POLLIN) == 0) {
                continue;
            }
            const int fd =
                accept4(devices[i].nHttpSocket, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
            if (fd >= 0) {
                connections.push_back(HttpConnection{fd, i, std::string(), nNow});
            }
        }
        for (std::size_t k = 0; k < connections.size();) {
            HttpConnection& c = connections[k];
            const pollfd* pfd = nullptr;
            for (const pollfd& f : fds) {
                pfd = f.fd == c.fd ? &f : pfd;
            }
            bool bClose = nNow - c.nOpenedMs > 5000;
            if (pfd != nullptr && (pfd->revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
                char buffer[1024];
                const ssize_t n = recv(c.fd, buffer, sizeof(buffer), 0);
                if (n <= 0) {
                    bClose = true;
                } else {
                    c.request.append(buffer, static_cast<std::size_t>(n));
                    if (c.request.find("\r\n\r\n") != std::string::npos ||
                        c.request.size() > 8192) {
                        const std::string response = HttpResponse(devices[c.nDevice], c.request);
                        if (options.bVerbose) {
                            std::fprintf(stderr, "lorixlog-sim: %s page request: %s\n",
                                         devices[c.nDevice].config.address.c_str(),
                                         c.request.substr(0, c.request.find("\r\n")).c_str());
                        }
                        const int flags = fcntl(c.fd, F_GETFL);
                        fcntl(c.fd, F_SETFL, flags & ~O_NONBLOCK);
                        send(c.fd, response.data(), response.size(), MSG_NOSIGNAL);
                        bClose = true;
                    }
                }
            }
            if (bClose) {
                close(c.fd);
                connections.erase(connections.begin() + static_cast<std::ptrdiff_t>(k));
            } else {
                ++k;
            }
        }
    }

    for (const HttpConnection& c : connections) {
        close(c.fd);
    }
    for (const Device& device : devices) {
        if (device.nHttpSocket >= 0) {
            close(device.nHttpSocket);
        }
    }
    close(udp);
    return 0;
}

}  // namespace sim
