// How the POSIX socket layer converts at the system's boundary: error codes, socket addresses
// and where a datagram came in.
#pragma once

#include "net/SocketLayer.h"

#include <netinet/in.h>
#include <sys/socket.h>

namespace net::system {

/// The Winsock code of an errno (WSAEWOULDBLOCK for EAGAIN and so on; 10000 + errno for one
/// Winsock has no code for).
int WsaErrorFromErrno(int nErrno);
/// The system's socket address of the layer's, and back.
::sockaddr_in ToSystem(const sockaddr_in& addr);
sockaddr_in FromSystem(const ::sockaddr_in& addr);
/// Where a received datagram came in, from its IP_PKTINFO; all zero without one.
in_pktinfo PacketInfo(msghdr& msg);

}  // namespace net::system
