#include "MetricsEndpoint.h"

#include <algorithm>
#include <cstring>

#include "HttpRequest.h"
#include "SearchTarget.h"

CMetricsEndpoint::~CMetricsEndpoint() {
    for (const Connection& connection : m_connections) {
        net::closesocket(connection.s);
    }
    if (m_listener != net::INVALID_SOCKET) {
        net::closesocket(m_listener);
    }
}

bool CMetricsEndpoint::Open(std::uint32_t nAddress, std::uint16_t nPort, int* pnError) {
    net::in_addr address{};
    std::memcpy(&address, &nAddress, sizeof(nAddress));
    m_listener = net::OpenListener(address, nPort, 64);
    if (m_listener == net::INVALID_SOCKET) {
        *pnError = net::WSAGetLastError();
        return false;
    }
    return true;
}

void CMetricsEndpoint::Serve(std::uint32_t nWaitMilliseconds) {
    if (m_listener == net::INVALID_SOCKET) {
        return;
    }
    // Wait for a new connection (when there is room for one) or a request; an answer that is
    // still being sent is tried again soon.
    net::fd_set ready;
    net::FD_ZERO_SET(&ready);
    bool bSending = false;
    if (m_connections.size() < kMostConnections) {
        net::FD_ADD(m_listener, &ready);
    }
    for (const Connection& connection : m_connections) {
        if (connection.answer.empty()) {
            net::FD_ADD(connection.s, &ready);
        } else {
            bSending = true;
        }
    }
    const std::uint32_t nWait =
        bSending ? std::min<std::uint32_t>(nWaitMilliseconds, 10) : nWaitMilliseconds;
    if (ready.fd_count > 0) {
        const net::timeval timeout{static_cast<long>(nWait / 1000),
                                   static_cast<long>(nWait % 1000 * 1000)};
        if (net::select(0, &ready, nullptr, nullptr, &timeout) == net::SOCKET_ERROR) {
            net::FD_ZERO_SET(&ready);
        }
    }
    if (m_connections.size() < kMostConnections && net::WSAFDIsSet(m_listener, &ready)) {
        Accept();
    }
    const std::uint32_t nNow = net::GetTickCount();
    std::vector<Connection> kept;
    for (Connection& connection : m_connections) {
        const bool bLate = nNow - connection.nOpenedAt > kMostMilliseconds;
        if (!bLate && Progress(connection)) {
            kept.push_back(std::move(connection));
        } else {
            net::closesocket(connection.s);
        }
    }
    m_connections = std::move(kept);
}

void CMetricsEndpoint::Accept() {
    while (m_connections.size() < kMostConnections) {
        const net::SOCKET s = net::AcceptWaiting(m_listener);
        if (s == net::INVALID_SOCKET) {
            return;
        }
        m_connections.push_back(Connection{s, net::GetTickCount(), std::string(), std::string()});
    }
}

bool CMetricsEndpoint::Progress(Connection& connection) {
    while (connection.answer.empty()) {
        char buffer[2048];
        const std::size_t nRoom = kMostRequestBytes + 1 - connection.received.size();
        const int n =
            net::recv(connection.s, buffer, static_cast<int>(std::min(sizeof(buffer), nRoom)), 0);
        if (n == 0 || (n == net::SOCKET_ERROR && net::WSAGetLastError() != net::WSAEWOULDBLOCK)) {
            return false;  // the client went, or the connection broke
        }
        if (n == net::SOCKET_ERROR) {
            return true;  // nothing more yet
        }
        connection.received.append(buffer, static_cast<std::size_t>(n));
        const HttpRequestHead head = ParseRequestHead(connection.received);
        if (head.state != HttpRequestHead::Incomplete) {
            connection.answer = HttpAnswer(head, m_body);
            connection.received.clear();
        }
    }
    while (connection.nSent < connection.answer.size()) {
        const int n = net::send(connection.s, connection.answer.data() + connection.nSent,
                                static_cast<int>(connection.answer.size() - connection.nSent), 0);
        if (n == net::SOCKET_ERROR) {
            return net::WSAGetLastError() == net::WSAEWOULDBLOCK;
        }
        connection.nSent += static_cast<std::size_t>(n);
    }
    // Answered: the client reads the answer up to the closed connection.
    net::shutdown(connection.s, net::SD_BOTH);
    return false;
}

bool ParseListenAddress(const std::string& text, std::uint32_t* pnAddress, std::uint16_t* pnPort) {
    // An address as a search target's, then a port of 1 to 65535 in digits without a leading zero.
    const std::size_t nColon = text.rfind(':');
    std::uint32_t nHost = 0;
    if (nColon == std::string::npos || !ParseDotted(text.substr(0, nColon), &nHost)) {
        return false;
    }
    const std::string port = text.substr(nColon + 1);
    if (port.empty() || port.size() > 5 || port[0] == '0' ||
        port.find_first_not_of("0123456789") != std::string::npos || std::stoul(port) > 65535) {
        return false;
    }
    const auto nPort = static_cast<unsigned>(std::stoul(port));
    const unsigned char bytes[4] = {
        static_cast<unsigned char>(nHost >> 24), static_cast<unsigned char>(nHost >> 16),
        static_cast<unsigned char>(nHost >> 8), static_cast<unsigned char>(nHost)};
    std::memcpy(pnAddress, bytes, 4);
    const unsigned char portBytes[2] = {static_cast<unsigned char>(nPort >> 8),
                                        static_cast<unsigned char>(nPort)};
    std::memcpy(pnPort, portBytes, 2);
    return true;
}
