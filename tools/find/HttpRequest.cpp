#include "HttpRequest.h"

namespace {

bool IsMethodChar(char c) {
    return c >= 'A' && c <= 'Z';
}

bool IsTargetChar(char c) {
    return c > ' ' && c < 0x7F;
}

std::string Status(const char* pszStatus, const std::string& body, const char* pszMore = "") {
    return std::string("HTTP/1.1 ") + pszStatus +
           "\r\nContent-Type: text/plain; charset=utf-8\r\nContent-Length: " +
           std::to_string(body.size()) + "\r\n" + pszMore + "Connection: close\r\n\r\n" + body;
}

}  // namespace

HttpRequestHead ParseRequestHead(std::string_view bytes) {
    HttpRequestHead head;
    const std::string_view window = bytes.substr(0, kMostRequestBytes);
    // The head ends with an empty line: LF LF or LF CR LF.
    std::size_t nEnd = std::string_view::npos;
    for (std::size_t i = window.find('\n'); i != std::string_view::npos;
         i = window.find('\n', i + 1)) {
        if (i + 1 < window.size() && window[i + 1] == '\n') {
            nEnd = i;
            break;
        }
        if (i + 2 < window.size() && window[i + 1] == '\r' && window[i + 2] == '\n') {
            nEnd = i;
            break;
        }
    }
    // The request line is judged as soon as it is whole, so that garbage is refused at once.
    const std::size_t nLineEnd = window.find('\n');
    if (nLineEnd == std::string_view::npos) {
        head.state = bytes.size() >= kMostRequestBytes ? HttpRequestHead::TooLarge
                                                       : HttpRequestHead::Incomplete;
        return head;
    }
    std::string_view line = window.substr(0, nLineEnd);
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    std::size_t i = 0;
    while (i < line.size() && IsMethodChar(line[i])) {
        ++i;
    }
    if (i == 0 || i > 16 || i >= line.size() || line[i] != ' ') {
        head.state = HttpRequestHead::Bad;
        return head;
    }
    const std::size_t nTarget = ++i;
    while (i < line.size() && IsTargetChar(line[i])) {
        ++i;
    }
    if (i == nTarget || line[nTarget] != '/' || i >= line.size() || line[i] != ' ' ||
        (line.substr(i + 1) != "HTTP/1.1" && line.substr(i + 1) != "HTTP/1.0")) {
        head.state = HttpRequestHead::Bad;
        return head;
    }
    if (nEnd == std::string_view::npos) {
        head.state = bytes.size() >= kMostRequestBytes ? HttpRequestHead::TooLarge
                                                       : HttpRequestHead::Incomplete;
        return head;
    }
    head.state = HttpRequestHead::Complete;
    head.method = std::string(line.substr(0, nTarget - 1));
    head.target = std::string(line.substr(nTarget, i - nTarget));
    return head;
}

std::string HttpAnswer(const HttpRequestHead& head, const std::string& body) {
    switch (head.state) {
        case HttpRequestHead::Bad:
        case HttpRequestHead::Incomplete:
            return Status("400 Bad Request", "bad request\n");
        case HttpRequestHead::TooLarge:
            return Status("431 Request Header Fields Too Large", "request too large\n");
        case HttpRequestHead::Complete:
            break;
    }
    const std::string path = head.target.substr(0, head.target.find('?'));
    if (path != "/metrics") {
        return Status("404 Not Found", "only /metrics is here\n");
    }
    if (head.method != "GET" && head.method != "HEAD") {
        return Status("405 Method Not Allowed", "GET or HEAD\n", "Allow: GET, HEAD\r\n");
    }
    std::string answer =
        "HTTP/1.1 200 OK\r\nContent-Type: text/plain; version=0.0.4; charset=utf-8\r\n"
        "Content-Length: " +
        std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n";
    if (head.method == "GET") {
        answer += body;
    }
    return answer;
}
