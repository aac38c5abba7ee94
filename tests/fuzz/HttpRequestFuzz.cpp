// The metrics endpoint's request parser, fed the request in the pieces a network delivers: the
// first byte chooses the size of the pieces, the rest is the request.
// What must hold: a head judged bad or too large stays so as more arrives; a complete head has a
// method of capital letters and a target from '/' of printable ASCII; every answer is one HTTP/1.1
// status line that closes the connection, and only GET of /metrics carries the metrics.
#include <cstdint>
#include <string>
#include <string_view>

#include "HttpRequest.h"
#include "Invariants.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize) {
    if (nSize == 0) {
        return 0;
    }
    const std::size_t nPiece = 1 + pData[0] % 64;
    const std::string_view request(reinterpret_cast<const char*>(pData + 1), nSize - 1);
    HttpRequestHead::State judged = HttpRequestHead::Incomplete;
    for (std::size_t n = 0;; n = std::min(n + nPiece, request.size())) {
        const HttpRequestHead head = ParseRequestHead(request.substr(0, n));
        if (judged == HttpRequestHead::Bad || judged == HttpRequestHead::TooLarge) {
            fuzz::Require(head.state == judged, "a refused request stays refused", request);
        }
        judged = head.state;
        if (head.state == HttpRequestHead::Complete) {
            fuzz::Require(!head.method.empty() && head.method.size() <= 16,
                          "a method of 1 to 16 letters", head.method);
            for (const char c : head.method) {
                fuzz::Require(c >= 'A' && c <= 'Z', "a method of capital letters", head.method);
            }
            fuzz::Require(!head.target.empty() && head.target[0] == '/', "a target from '/'",
                          head.target);
            for (const char c : head.target) {
                fuzz::Require(c > ' ' && c < 0x7F, "a target of printable ASCII", head.target);
            }
        }
        if (head.state != HttpRequestHead::Incomplete || n == request.size()) {
            const std::string answer = HttpAnswer(head, "lorixlog_devices 0\n");
            fuzz::Require(answer.rfind("HTTP/1.1 ", 0) == 0 &&
                              answer.find("\r\nConnection: close\r\n") != std::string::npos,
                          "one HTTP/1.1 answer that closes", answer);
            const bool bMetrics = answer.find("lorixlog_devices 0\n") != std::string::npos;
            fuzz::Require(
                bMetrics == (answer.rfind("HTTP/1.1 200 ", 0) == 0 && head.method == "GET"),
                "only GET of /metrics gives the metrics", answer);
        }
        if (n == request.size()) {
            break;
        }
    }
    return 0;
}
