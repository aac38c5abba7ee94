// The little HTTP the metrics endpoint speaks: the head of a request, read from the bytes
// received so far, and the answer to it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

/// The most bytes a request may have before its head ends; more is refused.
constexpr std::size_t kMostRequestBytes = 8192;

struct HttpRequestHead {
    enum State {
        Incomplete,  ///< the head has not ended yet: wait for more
        Complete,    ///< the head ended with an empty line; method and target are set
        Bad,         ///< not an HTTP/1.x request line
        TooLarge,    ///< kMostRequestBytes passed before the head ended
    };
    State state = Incomplete;
    std::string method;
    std::string target;
};

/// Reads the head of a request from the bytes received so far: a request line "METHOD TARGET
/// HTTP/1.x" (the method in capital letters, the target from '/' with printable ASCII only),
/// header lines, then an empty line (CR LF or LF line ends). Bytes after the head are ignored.
HttpRequestHead ParseRequestHead(std::string_view bytes);

/// The whole answer to a request: GET of /metrics (a query after '?' allowed) gives 200 with the
/// body as Prometheus text 0.0.4, HEAD the same without the body; another method on /metrics
/// 405, any other target 404, a bad request 400, one too large 431. Every answer closes the
/// connection.
std::string HttpAnswer(const HttpRequestHead& head, const std::string& body);
