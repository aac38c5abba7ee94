// A socket layer that plays a script, for tests: an interface list, datagrams that arrive at set
// times from set addresses, failures injected at each call, and a simulated millisecond clock that
// advances only while select waits. A whole search runs in milliseconds and is reproducible.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "net/SocketLayer.h"

namespace net {

class ScriptedSocketLayer final : public SocketLayer {
public:
    /// A datagram that arrives at tick nAt; with nError set, recvfrom fails with that code instead.
    struct Arrival {
        std::uint32_t nAt;
        sockaddr_in from;
        std::string bytes;
        int nError;
        in_pktinfo info;  ///< where it came in (zero: not said)
    };
    /// A device that answers queries: every "*IDN?" sent to its address, or to a broadcast
    /// address that reaches it, brings its reply nDelay ms later. Anything else sent to it goes
    /// unanswered.
    struct Responder {
        std::uint32_t nAddress;  ///< network byte order
        /// Its network, for the broadcasts that reach it (limited and directed); 0: no broadcast
        /// reaches it (a device behind a router).
        std::uint32_t nNetmask;
        std::string reply;
        std::uint32_t nDelay;
    };
    /// A datagram that the program sent.
    struct Sent {
        std::uint32_t nAt;
        sockaddr_in to;
        std::string bytes;
    };

    explicit ScriptedSocketLayer(std::uint32_t nStartTick = 100000);

    // ---- script -------------------------------------------------------------------------------
    /// An interface entry (IPv4 address and netmask in dotted text), up and able to broadcast,
    /// with its name and interface index.
    void AddInterface(const char* pszAddress, const char* pszNetmask, const char* pszName = "eth0",
                      std::uint32_t nFlags = IFF_UP | IFF_BROADCAST);
    /// A device answering the query from its address (see Responder).
    void AddResponder(const char* pszAddress, const char* pszNetmask, const std::string& reply,
                      std::uint32_t nDelay = 5);
    /// A datagram arriving nDelay ms after the start tick.
    void AddDatagram(std::uint32_t nDelay, const char* pszFromAddress, std::uint16_t nFromPort,
                     const std::string& bytes);
    /// The same, arriving on the local address of an interface (its IP_PKTINFO).
    void AddDatagramTo(std::uint32_t nDelay, const char* pszFromAddress, std::uint16_t nFromPort,
                       const std::string& bytes, const char* pszLocalAddress);
    /// A failing receive nDelay ms after the start tick.
    void AddReceiveError(std::uint32_t nDelay, int nError);

    int m_nStartupResult = 0;
    std::uint16_t m_wGrantedVersion = MAKEWORD(2, 2);
    int m_nSocketError = 0;  ///< socket() fails with this code when non-zero
    bool m_bInterfaceListFails = false;
    /// What SystemRelease tells (the kernel's release).
    std::string m_systemRelease = "6.1.0-28-amd64";
    /// Every sendto to the dotted address fails with the code (a network without a route).
    void FailSendsTo(const char* pszAddress, int nError);
    /// Called at every select, before it waits, with the ticks since the start: the moment for a
    /// test to act while a search runs.
    std::function<void(std::uint32_t nElapsed)> m_onSelect;
    /// The next nCount sends fail with WSAEWOULDBLOCK (a full send buffer) and send nothing.
    int m_nBlockedSends = 0;
    /// Addresses (dotted) to which the system has no route.
    std::vector<std::string> m_aUnroutable;
    /// The next so many replies of the responders never arrive: the receive buffer was full. They
    /// are counted as dropped (DroppedDatagrams), unless m_bDropsUnknown.
    int m_nRepliesToDrop = 0;
    /// DroppedDatagrams returns -1, as on a system that does not tell.
    bool m_bDropsUnknown = false;
    int m_nFailingSend = -1;  ///< index of the sendto that fails (0: the first)
    int m_nSendError = WSAENETUNREACH;
    int m_nShortSend = -1;  ///< index of the sendto that sends too few bytes
    int m_nShortSendBytes = 3;
    int m_nFailingSelect = -1;  ///< index of the select call that fails
    int m_nSelectError = WSAENOTSOCK;
    bool m_bNtoaFails = false;
    /// recvfrom returns the whole length of a datagram longer than the buffer instead of failing
    /// with WSAEMSGSIZE (a layer that reports truncation that way).
    bool m_bReportTruncatedLength = false;

    // ---- what happened ------------------------------------------------------------------------
    std::vector<Sent> m_aSent;
    int m_nSocketsCreated = 0;
    int m_nSocketsClosed = 0;
    int m_nShutdowns = 0;
    int m_nSelectCalls = 0;
    int m_nStartups = 0;
    int m_nCleanups = 0;
    bool m_bBroadcastPermitted = false;
    bool m_bPacketInfo = false;  ///< IP_PKTINFO was enabled
    bool m_bNonBlocking = false;
    int m_nWouldBlocks = 0;    ///< sends refused with WSAEWOULDBLOCK
    int m_nReceiveBuffer = 0;  ///< the receive buffer asked for (EnlargeReceiveBuffer)
    long m_nDropped = 0;       ///< replies dropped (m_nRepliesToDrop)
    int m_nHasRouteCalls = 0;
    int m_nInterfaceListings = 0;  ///< calls of ListInterfaceAddresses
    std::uint32_t m_nStartTick;
    std::uint32_t m_nNow;

    /// Ticks since the start tick.
    std::uint32_t Elapsed() const { return m_nNow - m_nStartTick; }
    static std::string DottedText(const sockaddr_in& addr);

    // ---- SocketLayer --------------------------------------------------------------------------
    int WSAStartup(std::uint16_t wVersionRequested, WSADATA* pData) override;
    int WSACleanup() override;
    SOCKET socket(int af, int type, int protocol) override;
    int setsockopt(SOCKET s, int level, int optname, const char* optval, int optlen) override;
    int ioctlsocket(SOCKET s, long cmd, unsigned long* argp) override;
    int sendto(SOCKET s, const char* buf, int len, int flags, const sockaddr* to,
               int tolen) override;
    int recvfrom(SOCKET s, char* buf, int len, int flags, sockaddr* from, int* fromlen) override;
    int RecvFromWithPacketInfo(SOCKET s, char* buf, int len, sockaddr* from, int* fromlen,
                               in_pktinfo* pInfo) override;
    int WSAIoctl(SOCKET s, unsigned long code, void* in, unsigned long inLen, void* out,
                 unsigned long outLen, unsigned long* bytesReturned) override;
    int select(int nfds, fd_set* readfds, fd_set* writefds, fd_set* exceptfds,
               const timeval* timeout) override;
    int shutdown(SOCKET s, int how) override;
    int closesocket(SOCKET s) override;
    int WSAGetLastError() override { return m_nLastError; }
    std::uint32_t GetTickCount() override { return m_nNow; }
    bool ResolveIPv4(const char* pszName, std::vector<in_addr>* pAddresses) override;
    /// Names that resolve, to dotted addresses (a name listed twice has two addresses).
    std::vector<std::pair<std::string, std::string>> m_aHosts;
    /// Names whose resolution waits (a name server that does not answer) until
    /// ReleaseSlowNames; set before any resolution starts.
    std::vector<std::string> m_aSlowNames;
    /// Lets every waiting resolution go on (the layer must not be destroyed before).
    void ReleaseSlowNames();
    /// The resolutions asked of the layer so far (from any thread).
    int ResolveCalls() const { return m_nResolveCalls.load(); }
    bool ListInterfaceAddresses(std::vector<InterfaceAddress>* pAddresses) override;
    std::string SystemRelease() override { return m_systemRelease; }
    int EnlargeReceiveBuffer(SOCKET s, int nBytes) override;
    long DroppedDatagrams(SOCKET s) override;
    bool HasRoute(in_addr address) override;
    const char* inet_ntoa(in_addr addr) override;

private:
    int Fail(int nError);
    bool IsDue(const Arrival& arrival) const;

    void Insert(const Arrival& arrival);
    void Respond(const sockaddr_in& to, const std::string& bytes);

    std::vector<INTERFACE_INFO> m_aInterfaces;
    std::vector<std::string> m_aInterfaceNames;
    std::vector<Responder> m_aResponders;
    std::vector<std::pair<std::uint32_t, int>> m_aFailingTargets;  // address, error code
    std::vector<Arrival> m_aArrivals;                              // kept in order of arrival time
    int m_nLastError = 0;
    int m_nSends = 0;
    std::atomic<int> m_nResolveCalls{0};
    std::mutex m_slowMutex;
    std::condition_variable m_slowReleased;
    bool m_bSlowReleased = false;
    static constexpr SOCKET kSocket = 7;
};

/// Parses dotted text into a network-order address (0 when malformed).
std::uint32_t ParseDotted(const char* pszAddress);
/// A socket address of the dotted text and the port.
sockaddr_in MakeAddress(const char* pszAddress, std::uint16_t nPort);

}  // namespace net
