#include "HttpServer.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>

namespace sim {

namespace {

// A client that has not finished its request by then is dropped.
constexpr std::uint64_t kRequestTimeoutMs = 5000;
// The most of a request that is read before it is answered all the same.
constexpr std::size_t kLongestRequest = 8192;

int OpenListener(const in_addr& address, std::uint16_t nPort) {
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
        const int nError = errno;
        close(fd);
        errno = nError;
        return -1;
    }
    return fd;
}

const pollfd* EntryOf(const std::vector<pollfd>& entries, int fd) {
    for (const pollfd& entry : entries) {
        if (entry.fd == fd) {
            return &entry;
        }
    }
    return nullptr;
}

}  // namespace

HttpServer::~HttpServer() {
    for (const Connection& c : m_connections) {
        close(c.fd);
    }
    for (Device& device : m_devices) {
        if (device.nHttpSocket >= 0) {
            close(device.nHttpSocket);
            device.nHttpSocket = -1;
        }
    }
}

bool HttpServer::Listen(std::uint16_t nPort, const Device** pFailed) {
    for (Device& device : m_devices) {
        if (device.config.bHttp) {
            device.nHttpSocket = OpenListener(device.address, nPort);
            if (device.nHttpSocket < 0) {
                *pFailed = &device;
                return false;
            }
        }
    }
    return true;
}

void HttpServer::AddPollEntries(std::vector<pollfd>* pEntries) const {
    for (const Device& device : m_devices) {
        if (device.nHttpSocket >= 0) {
            pEntries->push_back(pollfd{device.nHttpSocket, POLLIN, 0});
        }
    }
    for (const Connection& c : m_connections) {
        pEntries->push_back(pollfd{c.fd, POLLIN, 0});
    }
}

void HttpServer::OnPolled(const std::vector<pollfd>& entries, std::uint64_t nNowMs) {
    for (std::size_t k = 0; k < m_connections.size();) {
        Connection& c = m_connections[k];
        const pollfd* pEntry = EntryOf(entries, c.fd);
        bool bDone = nNowMs - c.nOpenedMs > kRequestTimeoutMs;
        if (pEntry != nullptr && (pEntry->revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
            bDone = Serve(c) || bDone;
        }
        if (bDone) {
            close(c.fd);
            m_connections.erase(m_connections.begin() + static_cast<std::ptrdiff_t>(k));
        } else {
            ++k;
        }
    }
    for (std::size_t i = 0; i < m_devices.size(); ++i) {
        const pollfd* pEntry = EntryOf(entries, m_devices[i].nHttpSocket);
        if (m_devices[i].nHttpSocket < 0 || pEntry == nullptr || (pEntry->revents & POLLIN) == 0) {
            continue;
        }
        const int fd =
            accept4(m_devices[i].nHttpSocket, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd >= 0) {
            m_connections.push_back(Connection{fd, i, std::string(), nNowMs});
        }
    }
}

bool HttpServer::Serve(Connection& c) {
    char buffer[1024];
    const ssize_t n = recv(c.fd, buffer, sizeof(buffer), 0);
    if (n <= 0) {
        return true;
    }
    c.request.append(buffer, static_cast<std::size_t>(n));
    if (c.request.find("\r\n\r\n") == std::string::npos && c.request.size() <= kLongestRequest) {
        return false;
    }
    const Device& device = m_devices[c.nDevice];
    const std::string response = Response(device, c.request);
    if (m_bVerbose) {
        std::fprintf(stderr, "lorixlog-sim: %s page request: %s\n", device.config.address.c_str(),
                     c.request.substr(0, c.request.find("\r\n")).c_str());
    }
    // The page is small: send it whole, then close.
    const int flags = fcntl(c.fd, F_GETFL);
    fcntl(c.fd, F_SETFL, flags & ~O_NONBLOCK);
    send(c.fd, response.data(), response.size(), MSG_NOSIGNAL);
    return true;
}

std::string HttpServer::Response(const Device& device, const std::string& request) {
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

}  // namespace sim
