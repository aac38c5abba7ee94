// What a simulated device sends: its replies, its web page, and when it answers at all.
#include <string>

#include "SimulatedDevice.h"

namespace sim {

namespace {

std::string HtmlEscape(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '&':
                out += "&amp;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
                break;
        }
    }
    return out;
}

}  // namespace

bool IsUpAt(const SimulatedDevice& device, std::int64_t nMs) {
    bool bInWindow = device.upWindows.empty();
    for (const SimulatedDevice::Window& window : device.upWindows) {
        bInWindow =
            bInWindow || (nMs >= window.nFromMs && (window.nToMs < 0 || nMs < window.nToMs));
    }
    const std::int64_t nPeriod = device.nCycleUpMs + device.nCycleDownMs;
    const bool bCycleUp = device.nCycleUpMs == 0 || nMs % nPeriod < device.nCycleUpMs;
    return bInWindow && bCycleUp;
}

std::string ComposeReply(const SimulatedDevice& device, int nCopy) {
    std::string reply;
    if (device.reply) {
        reply = *device.reply;
    } else {
        std::string serial = device.serial;
        if (device.bVary && nCopy > 0) {
            serial += "-" + std::to_string(nCopy);
        }
        reply = device.maker + "," + device.model + "," + device.detail + "," + serial + "," +
                device.name + "," + device.firmware;
    }
    if (device.nPadTo > 0 && reply.size() < static_cast<std::size_t>(device.nPadTo)) {
        reply.append(static_cast<std::size_t>(device.nPadTo) - reply.size(), 'x');
    }
    return reply;
}

std::string ComposePage(const SimulatedDevice& device) {
    const std::string title = HtmlEscape(device.model + " " + device.serial);
    return "<!DOCTYPE html>\n<html><head><meta charset=\"windows-1252\"><title>" + title +
           "</title></head>\n<body><h1>" + title + "</h1>\n<table>\n" + "<tr><th>Model</th><td>" +
           HtmlEscape(device.model + " " + device.detail) + "</td></tr>\n" +
           "<tr><th>Serial number</th><td>" + HtmlEscape(device.serial) + "</td></tr>\n" +
           "<tr><th>Name</th><td>" + HtmlEscape(device.name) + "</td></tr>\n" +
           "<tr><th>Firmware</th><td>" + HtmlEscape(device.firmware) + "</td></tr>\n" +
           "<tr><th>Address</th><td>" + HtmlEscape(device.address) + "</td></tr>\n" +
           "</table>\n<p>Simulated by lorixlog-sim.</p></body></html>\n";
}

}  // namespace sim
