#include "MetricsEndpoint.h"

#include <algorithm>
#include <cstring>

#include "HttpRequest.h"

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
    const std::size_t nColon = text.rfind(':');
    if (nColon == std::string::npos) {
        return false;
    }
    // Four numbers of 0 to 255 with dots between them, then a port of 1 to 65535; digits only,
    // no leading zeros that could be read as octal.
    unsigned parts[5] = {};
    std::size_t nPart = 0;
    std::size_t nDigits = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        const char c = i < text.size() ? text[i] : '\0';
        const bool bEnd = c == '\0' || (nPart < 3 && c == '.') || (i == nColon);
        if (bEnd) {
            if (nDigits == 0 || nPart >= 5) {
                return false;
            }
            ++nPart;
            nDigits = 0;
            if (c == '\0') {
                break;
            }
            continue;
        }
        if (c < '0' || c > '9' || (nDigits > 0 && parts[nPart] == 0) || nDigits >= 5) {
            return false;
        }
        parts[nPart] = parts[nPart] * 10 + static_cast<unsigned>(c - '0');
        ++nDigits;
    }
    if (nPart != 5 || parts[0] > 255 || parts[1] > 255 || parts[2] > 255 || parts[3] > 255 ||
        parts[4] < 1 || parts[4] > 65535) {
        return false;
    }
    const std::uint32_t nHost = parts[0] << 24 | parts[1] << 16 | parts[2] << 8 | parts[3];
    const unsigned char bytes[4] = {
        static_cast<unsigned char>(nHost >> 24), static_cast<unsigned char>(nHost >> 16),
        static_cast<unsigned char>(nHost >> 8), static_cast<unsigned char>(nHost)};
    std::memcpy(pnAddress, bytes, 4);
    const unsigned char port[2] = {static_cast<unsigned char>(parts[4] >> 8),
                                   static_cast<unsigned char>(parts[4])};
    std::memcpy(pnPort, port, 2);
    return true;
}
