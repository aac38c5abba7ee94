// The simulator's command line and its help: no sockets, so that tests can check them alone.
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
    "  --shuffle         answer each query in another order of the devices, as devices on\n"
    "                    one switch do (else in the order they are given)\n"
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
    "  --up FROM-[TO]    answer only from FROM to TO seconds after the start (no TO: for\n"
    "                    ever); repeatable, for devices that come and go\n"
    "  --cycle UP,DOWN   answer for UP seconds, then not for DOWN seconds, and again\n"
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

namespace {

/// Walks the command line: the option at hand and its value, with the message of a wrong one.
class ArgReader {
public:
    ArgReader(const std::vector<std::string>& args, std::string* pError)
        : m_args(args), m_pError(pError) {}
    bool Next() { return ++m_i < m_args.size(); }
    const std::string& Arg() const { return m_args[m_i]; }
    bool Fail(const std::string& message) {
        *m_pError = message;
        return false;
    }
    bool Value(std::string* pOut) {
        if (m_i + 1 >= m_args.size()) {
            return Fail("option '" + Arg() + "' needs a value");
        }
        *pOut = m_args[++m_i];
        return true;
    }
    bool Number(int nMin, int nMax, int* pOut) {
        const std::string& option = Arg();
        std::string text;
        if (!Value(&text)) {
            return false;
        }
        if (!ParseInt(text, nMin, nMax, pOut)) {
            return Fail("option '" + option + "' needs a number from " + std::to_string(nMin) +
                        " to " + std::to_string(nMax));
        }
        return true;
    }

private:
    const std::vector<std::string>& m_args;
    std::string* m_pError;
    std::size_t m_i = static_cast<std::size_t>(-1);
};

/// How an option went: taken, wrong (the reader has the message), or not one of the kind asked.
enum class Parsed { Taken, Wrong, Unknown };

Parsed Result(bool bOk) {
    return bOk ? Parsed::Taken : Parsed::Wrong;
}

struct TextOption {
    const char* pszName;
    std::string SimulatedDevice::*pField;
};
constexpr TextOption kTextOptions[] = {
    {"--maker", &SimulatedDevice::maker},   {"--model", &SimulatedDevice::model},
    {"--detail", &SimulatedDevice::detail}, {"--serial", &SimulatedDevice::serial},
    {"--name", &SimulatedDevice::name},     {"--firmware", &SimulatedDevice::firmware},
};
struct NumberOption {
    const char* pszName;
    int nMin;
    int nMax;
    int SimulatedDevice::*pField;
};
constexpr NumberOption kNumberOptions[] = {
    {"--delay", 0, 600000, &SimulatedDevice::nDelayMs},
    {"--pad-to", 0, 65507, &SimulatedDevice::nPadTo},
    {"--flood", 0, 10000000, &SimulatedDevice::nFlood},
};
struct FlagOption {
    const char* pszName;
    bool SimulatedDevice::*pField;
    bool bValue;
};
constexpr FlagOption kFlagOptions[] = {
    {"--twice", &SimulatedDevice::bTwice, true},
    {"--vary", &SimulatedDevice::bVary, true},
    {"--no-http", &SimulatedDevice::bHttp, false},
};

/// Seconds as the schedule options take them: whole, from 0 to a day.
bool ParseSeconds(const std::string& text, std::int64_t* pnMs) {
    int n = 0;
    if (!ParseInt(text, 0, 86400, &n)) {
        return false;
    }
    *pnMs = static_cast<std::int64_t>(n) * 1000;
    return true;
}

bool ParseUpWindow(const std::string& text, SimulatedDevice* pDevice) {
    const std::size_t nDash = text.find('-');
    SimulatedDevice::Window window{0, -1};
    if (nDash == std::string::npos || !ParseSeconds(text.substr(0, nDash), &window.nFromMs)) {
        return false;
    }
    const std::string to = text.substr(nDash + 1);
    if (!to.empty() && (!ParseSeconds(to, &window.nToMs) || window.nToMs <= window.nFromMs)) {
        return false;
    }
    pDevice->upWindows.push_back(window);
    return true;
}

bool ParseCycle(const std::string& text, SimulatedDevice* pDevice) {
    const std::size_t nComma = text.find(',');
    return nComma != std::string::npos &&
           ParseSeconds(text.substr(0, nComma), &pDevice->nCycleUpMs) &&
           ParseSeconds(text.substr(nComma + 1), &pDevice->nCycleDownMs) && pDevice->nCycleUpMs > 0;
}

/// An option of one device (it needs a --device before it).
Parsed ParseDeviceOption(ArgReader& reader, SimulatedDevice* pDevice) {
    const std::string& arg = reader.Arg();
    auto needDevice = [&] {
        return pDevice != nullptr || reader.Fail("option '" + arg + "' must follow a --device");
    };
    std::string text;
    for (const TextOption& option : kTextOptions) {
        if (arg == option.pszName) {
            const bool bOk = needDevice() && reader.Value(&text);
            if (bOk) {
                pDevice->*option.pField = Unescape(text);
            }
            return Result(bOk);
        }
    }
    if (arg == "--reply") {
        const bool bOk = needDevice() && reader.Value(&text);
        if (bOk) {
            pDevice->reply = Unescape(text);
        }
        return Result(bOk);
    }
    for (const NumberOption& option : kNumberOptions) {
        if (arg == option.pszName) {
            return Result(needDevice() &&
                          reader.Number(option.nMin, option.nMax, &(pDevice->*option.pField)));
        }
    }
    if (arg == "--up" || arg == "--cycle") {
        if (!needDevice() || !reader.Value(&text)) {
            return Parsed::Wrong;
        }
        const bool bUp = arg == "--up";
        return Result((bUp ? ParseUpWindow(text, pDevice) : ParseCycle(text, pDevice)) ||
                      reader.Fail("option '" + arg + "' needs " + (bUp ? "FROM-[TO]" : "UP,DOWN") +
                                  " in whole seconds (TO after FROM, UP above 0)"));
    }
    for (const FlagOption& option : kFlagOptions) {
        if (arg == option.pszName) {
            const bool bOk = needDevice();
            if (bOk) {
                pDevice->*option.pField = option.bValue;
            }
            return Result(bOk);
        }
    }
    return Parsed::Unknown;
}

/// An option of the simulator as a whole.
Parsed ParseProgramOption(ArgReader& reader, Options* pOptions) {
    const std::string& arg = reader.Arg();
    int n = 0;
    if (arg == "--device") {
        std::string text;
        if (!reader.Value(&text)) {
            return Parsed::Wrong;
        }
        in_addr address{};
        if (inet_pton(AF_INET, text.c_str(), &address) != 1) {
            return Result(reader.Fail("'" + text + "' is no IPv4 address"));
        }
        SimulatedDevice config;
        config.address = text;
        pOptions->devices.push_back(config);
        return Parsed::Taken;
    }
    if (arg == "--port" || arg == "--http-port") {
        if (!reader.Number(1, 65535, &n)) {
            return Parsed::Wrong;
        }
        (arg == "--port" ? pOptions->nPort : pOptions->nHttpPort) = static_cast<std::uint16_t>(n);
        return Parsed::Taken;
    }
    if (arg == "--ready-file") {
        return Result(reader.Value(&pOptions->readyFile));
    }
    if (arg == "--netns") {
        return Result(reader.Value(&pOptions->netns));
    }
    if (arg == "--max-seconds") {
        return Result(reader.Number(0, 86400, &pOptions->nMaxSeconds));
    }
    if (arg == "--verbose" || arg == "--shuffle") {
        (arg == "--verbose" ? pOptions->bVerbose : pOptions->bShuffle) = true;
        return Parsed::Taken;
    }
    return Parsed::Unknown;
}

/// The serial number from the address's last two bytes, and the name from the serial number,
/// where the command line gave none.
void FillDefaults(SimulatedDevice* pDevice) {
    if (pDevice->serial.empty()) {
        in_addr address{};
        inet_pton(AF_INET, pDevice->address.c_str(), &address);
        char sz[16];
        std::snprintf(sz, sizeof(sz), "LX%05u", ntohl(address.s_addr) & 0xFFFF);
        pDevice->serial = sz;
    }
    if (pDevice->name.empty()) {
        pDevice->name = pDevice->serial;
    }
}

}  // namespace

bool ParseOptions(const std::vector<std::string>& args, Options* pOptions, bool* pbHelp,
                  std::string* pError) {
    *pbHelp = false;
    ArgReader reader(args, pError);
    while (reader.Next()) {
        if (reader.Arg() == "-h" || reader.Arg() == "--help") {
            *pbHelp = true;
            return true;
        }
        Parsed parsed = ParseProgramOption(reader, pOptions);
        if (parsed == Parsed::Unknown) {
            SimulatedDevice* pDevice =
                pOptions->devices.empty() ? nullptr : &pOptions->devices.back();
            parsed = ParseDeviceOption(reader, pDevice);
        }
        if (parsed == Parsed::Unknown) {
            return reader.Fail("unknown option '" + reader.Arg() + "'");
        }
        if (parsed == Parsed::Wrong) {
            return false;
        }
    }
    if (pOptions->devices.empty()) {
        *pError = "no --device given";
        return false;
    }
    for (SimulatedDevice& device : pOptions->devices) {
        FillDefaults(&device);
    }
    return true;
}

}  // namespace sim
