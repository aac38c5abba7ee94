// The simulator's command line, and the replies and pages of its devices: no sockets, so that
// tests can check them alone.
#include <arpa/inet.h>
#include <errno.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "Simulator.h"

namespace sim {

const char kUsage[] =
    "Usage: lorixlog-sim [OPTION]... --device ADDRESS [DEVICE OPTION]... [--device ...]\n"
    "Act as lorixlog data loggers: answer the query \"*IDN?\" on UDP port 9959 from each\n"
    "device's own IPv4 address (which must be configured on a local interface) and serve\n"
    "each device's web page on TCP port 80 of that address.\n"
    "\n"
    "  --port N          UDP port of the query (default 9959)\n"
    "  --http-port N     TCP port of the web pages (default 80)\n"
    "  --ready-file F    create F once every socket is listening\n"
    "  --netns PATH      run the devices in that network namespace (/proc/PID/ns/net)\n"
    "  --max-seconds N   end after N seconds\n"
    "  --verbose         log queries, replies and page requests to standard error\n"
    "  -h, --help        show this help\n"
    "\n"
    "Device options (for the --device before them):\n"
    "  --maker T --model T --detail T --serial T --firmware T\n"
    "                    the reply fields (defaults TVK, lorixLOG, LX-8, from the address, 3.1.4)\n"
    "  --name T          host name or dotted DNS name (default: the serial number)\n"
    "  --reply T         send T as the whole reply instead\n"
    "  --delay MS        answer MS milliseconds after the query\n"
    "  --twice           answer every query twice\n"
    "  --pad-to N        pad the reply with 'x' to N bytes (oversized replies)\n"
    "  --flood N         answer every query N more times, as fast as possible\n"
    "  --vary            give flood replies serial numbers of their own\n"
    "  --no-http         serve no web page\n"
    "Values take the escapes \\xNN, \\r, \\n, \\t, \\e and \\\\ (8-bit and control bytes).\n";

namespace {

bool ParseInt(const std::string& text, int nMin, int nMax, int* pValue) {
    char* pEnd = nullptr;
    errno = 0;
    const long n = std::strtol(text.c_str(), &pEnd, 10);
    if (errno != 0 || pEnd == text.c_str() || *pEnd != '\0' || n < nMin || n > nMax) {
        return false;
    }
    *pValue = static_cast<int>(n);
    return true;
}

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

std::string Unescape(const std::string& value) {
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        const char c = value[++i];
        switch (c) {
            case 'r':
                out += '\r';
                break;
            case 'n':
                out += '\n';
                break;
            case 't':
                out += '\t';
                break;
            case 'e':
                out += '\x1b';
                break;
            case '\\':
                out += '\\';
                break;
            case 'x':
                if (i + 2 < value.size() + 0 &&
                    std::isxdigit(static_cast<unsigned char>(value[i + 1])) &&
                    std::isxdigit(static_cast<unsigned char>(value[i + 2]))) {
                    out += static_cast<char>(std::stoi(value.substr(i + 1, 2), nullptr, 16));
                    i += 2;
                } else {
                    out += "\\x";
                }
                break;
            default:
                out += '\\';
                out += c;
                break;
        }
    }
    return out;
}

bool ParseOptions(const std::vector<std::string>& args, Options* pOptions, bool* pbHelp,
                  std::string* pError) {
    *pbHelp = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&](std::string* pOut) {
            if (i + 1 >= args.size()) {
                *pError = "option '" + arg + "' needs a value";
                return false;
            }
            *pOut = args[++i];
            return true;
        };
        auto number = [&](int nMin, int nMax, int* pOut) {
            std::string text;
            if (!value(&text)) {
                return false;
            }
            if (!ParseInt(text, nMin, nMax, pOut)) {
                *pError = "option '" + arg + "' needs a number from " + std::to_string(nMin) +
                          " to " + std::to_string(nMax);
                return false;
            }
            return true;
        };
        SimulatedDevice* pDevice = pOptions->devices.empty() ? nullptr : &pOptions->devices.back();
        auto device = [&]() {
            if (pDevice == nullptr) {
                *pError = "option '" + arg + "' must follow a --device";
            }
            return pDevice;
        };
        std::string text;
        int n = 0;
        if (arg == "-h" || arg == "--help") {
            *pbHelp = true;
            return true;
        } else if (arg == "--device") {
            if (!value(&text)) {
                return false;
            }
            in_addr address{};
            if (inet_pton(AF_INET, text.c_str(), &address) != 1) {
                *pError = "'" + text + "' is no IPv4 address";
                return false;
            }
            SimulatedDevice config;
            config.address = text;
            pOptions->devices.push_back(config);
        } else if (arg == "--port" || arg == "--http-port") {
            if (!number(1, 65535, &n)) {
                return false;
            }
            (arg == "--port" ? pOptions->nPort : pOptions->nHttpPort) =
                static_cast<std::uint16_t>(n);
        } else if (arg == "--ready-file") {
            if (!value(&pOptions->readyFile)) {
                return false;
            }
        } else if (arg == "--netns") {
            if (!value(&pOptions->netns)) {
                return false;
            }
        } else if (arg == "--max-seconds") {
            if (!number(0, 86400, &pOptions->nMaxSeconds)) {
                return false;
            }
        } else if (arg == "--verbose") {
            pOptions->bVerbose = true;
        } else if (arg == "--maker" || arg == "--model" || arg == "--detail" || arg == "--serial" ||
                   arg == "--name" || arg == "--firmware" || arg == "--reply") {
            if (!device() || !value(&text)) {
                return false;
            }
            text = Unescape(text);
            if (arg == "--maker")
                pDevice->maker = text;
            if (arg == "--model")
                pDevice->model = text;
            if (arg == "--detail")
                pDevice->detail = text;
            if (arg == "--serial")
                pDevice->serial = text;
            if (arg == "--name")
                pDevice->name = text;
            if (arg == "--firmware")
                pDevice->firmware = text;
            if (arg == "--reply")
                pDevice->reply = text;
        } else if (arg == "--delay") {
            if (!device() || !number(0, 600000, &pDevice->nDelayMs)) {
                return false;
            }
        } else if (arg == "--pad-to") {
            if (!device() || !number(0, 65507, &pDevice->nPadTo)) {
                return false;
            }
        } else if (arg == "--flood") {
            if (!device() || !number(0, 10000000, &pDevice->nFlood)) {
                return false;
            }
        } else if (arg == "--twice" || arg == "--vary" || arg == "--no-http") {
            if (!device()) {
                return false;
            }
            if (arg == "--twice")
                pDevice->bTwice = true;
            if (arg == "--vary")
                pDevice->bVary = true;
            if (arg == "--no-http")
                pDevice->bHttp = false;
        } else {
            *pError = "unknown option '" + arg + "'";
            return false;
        }
    }
    if (pOptions->devices.empty()) {
        *pError = "no --device given";
        return false;
    }
    for (SimulatedDevice& device : pOptions->devices) {
        if (device.serial.empty()) {
            in_addr address{};
            inet_pton(AF_INET, device.address.c_str(), &address);
            char sz[16];
            std::snprintf(sz, sizeof(sz), "LX%05u", ntohl(address.s_addr) & 0xFFFF);
            device.serial = sz;
        }
        if (device.name.empty()) {
            device.name = device.serial;
        }
    }
    return true;
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
