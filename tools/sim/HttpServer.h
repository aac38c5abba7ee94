// The simulator's web side: each device's page, served over HTTP/1.0 from the device's address.
#pragma once

#include <poll.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "SimDevice.h"

namespace sim {

class HttpServer {
public:
    HttpServer(std::vector<Device>& devices, bool bVerbose)
        : m_devices(devices), m_bVerbose(bVerbose) {}
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    /// Listens on the port at the address of every device that serves its page. False (errno
    /// set, *pFailed naming the device) when one cannot.
    bool Listen(std::uint16_t nPort, const Device** pFailed);
    /// Adds the listening sockets and the open connections to the poll set.
    void AddPollEntries(std::vector<pollfd>* pEntries) const;
    /// Accepts, reads and answers what the poll found ready; drops connections older than five
    /// seconds.
    void OnPolled(const std::vector<pollfd>& entries, std::uint64_t nNowMs);

    /// The answer to one request: the page for "/", 404 for anything else, no body for HEAD.
    static std::string Response(const Device& device, const std::string& request);

private:
    struct Connection {
        int fd;
        std::size_t nDevice;
        std::string request;
        std::uint64_t nOpenedMs;
    };
    /// Reads what arrived; true when the connection is done (answered, closed or broken).
    bool Serve(Connection& connection);

    std::vector<Device>& m_devices;
    const bool m_bVerbose;
    std::vector<Connection> m_connections;
};

}  // namespace sim
