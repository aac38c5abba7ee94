// The metrics endpoint of lorixlog-find --watch: answers GET /metrics with the watch's metrics,
// on the thread of the watch, without ever waiting for a client. Each connection gets one
// answer and is closed; a client has kMostMilliseconds for its request, at most kMostConnections
// are served at once (the others wait in the system's queue), and a request may have
// kMostRequestBytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "net/SocketLayer.h"

class CMetricsEndpoint {
public:
    static constexpr std::size_t kMostConnections = 8;
    static constexpr std::uint32_t kMostMilliseconds = 5000;

    CMetricsEndpoint() = default;
    CMetricsEndpoint(const CMetricsEndpoint&) = delete;
    CMetricsEndpoint& operator=(const CMetricsEndpoint&) = delete;
    ~CMetricsEndpoint();

    /// Listens on the address and port (network byte order); false with the socket layer's
    /// error code when it cannot (a port in use: WSAEADDRINUSE).
    bool Open(std::uint32_t nAddress, std::uint16_t nPort, int* pnError);
    /// The metrics that the next answers give.
    void SetBody(std::string body) { m_body = std::move(body); }
    /// Serves what waits: takes new connections and requests, sends answers, drops clients that
    /// took too long. Waits at most nWaitMilliseconds for something to arrive (0: not at all).
    void Serve(std::uint32_t nWaitMilliseconds);
    /// The connections being served now.
    std::size_t Connections() const { return m_connections.size(); }

private:
    struct Connection {
        net::SOCKET s;
        std::uint32_t nOpenedAt;
        std::string received;
        std::string answer;  ///< empty until the request is read
        std::size_t nSent = 0;
    };
    void Accept();
    /// Reads, answers and sends; false when the connection is done with.
    bool Progress(Connection& connection);

    net::SOCKET m_listener = net::INVALID_SOCKET;
    std::vector<Connection> m_connections;
    std::string m_body;
};

/// Reads "A.B.C.D:PORT" (port 1 to 65535) into network byte order; false when it is not that.
bool ParseListenAddress(const std::string& text, std::uint32_t* pnAddress, std::uint16_t* pnPort);
