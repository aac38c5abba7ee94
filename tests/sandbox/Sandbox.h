// A private network for tests: a network namespace of this process with veth pairs and simulated
// devices. Searches in these tests reach nothing but the namespace.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace sandbox {

/// Moves this process into a new network namespace (rootless through a user namespace when not
/// root), checks that it holds nothing but loopback, and builds the test network: for each subnet
/// i a veth pair fnd<i> (10.77+i.0.1/24, the finder's side) and dev<i> (10.77+i.0.20 to .29, the
/// devices' side), all up, without a default route. Returns false with a reason when it cannot;
/// then no search may run.
bool EnterPrivateNetwork(int nSubnets, std::string* pWhy);

/// Devices behind a router, added to the private network: a router namespace (10.76.0.254 towards
/// the finder on rt0, 10.88.0.1/16 towards the devices, so that it resolves every address of the
/// prefix; forwarding on, directed broadcasts not forwarded, as on real routers) and a devices
/// namespace (10.88.0.20 to .29 and 10.88.3.200, far into a /22, on dv0, default route via the
/// router). The finder reaches 10.88.0.0/16 through 10.76.0.254 only; no broadcast of the finder
/// crosses the router. The namespaces end with the object.
class RoutedNetwork {
public:
    RoutedNetwork();
    ~RoutedNetwork();
    RoutedNetwork(const RoutedNetwork&) = delete;
    RoutedNetwork& operator=(const RoutedNetwork&) = delete;
    bool IsReady() const { return m_bReady; }
    const std::string& Why() const { return m_why; }
    /// The devices' namespace, for lorixlog-sim --netns.
    std::string DevicesNamespace() const;

private:
    pid_t m_router = -1;
    pid_t m_devices = -1;
    bool m_bReady = false;
    std::string m_why;
};

/// Devices on the finder's own link, in a namespace of their own, so that addresses are resolved
/// (ARP) between the two: the finder's fnd9 with 10.60.0.1/16, the devices' dv9 with 10.60.0.20
/// to .29/16 and a logger left at a foreign address, 192.168.0.50/24 (with a route back to
/// 10.60.0.0/16), which the finder has no route to. The namespace ends with the object.
class LinkedNetwork {
public:
    /// With nPlant, as many more devices' addresses on the link, from 10.60.1.1 upwards
    /// (PlantAddresses).
    explicit LinkedNetwork(int nPlant = 0);
    ~LinkedNetwork();
    LinkedNetwork(const LinkedNetwork&) = delete;
    LinkedNetwork& operator=(const LinkedNetwork&) = delete;
    bool IsReady() const { return m_bReady; }
    const std::string& Why() const { return m_why; }
    std::string DevicesNamespace() const;

private:
    pid_t m_devices = -1;
    bool m_bReady = false;
    std::string m_why;
};

/// A plant: 500 loggers on the finder's own link (a LinkedNetwork with PlantAddresses(500)).
class PlantNetwork : public LinkedNetwork {
public:
    static constexpr int kLoggers = 500;
    PlantNetwork() : LinkedNetwork(kLoggers) {}
};

/// The addresses of the first n plant devices: 10.60.1.1 upwards.
std::vector<std::string> PlantAddresses(int n);

/// A running lorixlog-sim with the options given; stopped on destruction.
class Simulator {
public:
    /// With pszLog, the simulator logs every datagram it receives and sends (--verbose) to that
    /// file.
    explicit Simulator(const std::vector<std::string>& options, const char* pszLog = nullptr);
    ~Simulator();
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;
    bool IsReady() const { return m_bReady; }
    /// Sends SIGTERM and waits for the simulator to end; returns the milliseconds that took.
    long StopAndMeasure();

private:
    pid_t m_pid = -1;
    bool m_bReady = false;
    std::string m_readyFile;
};

/// Result of a command run in the sandbox.
struct CommandResult {
    int nExitStatus;
    std::string out;
    std::string err;
};

/// Runs the program with the arguments and extra environment ("NAME=value"), capturing both
/// output streams.
CommandResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                         const std::vector<std::string>& environment = {});

/// Starts the program with standard output on the file (opened for writing), or closed when
/// pszStdout is null; standard input and error stay those of the test. Returns its pid or -1.
pid_t StartProgram(const std::string& program, const std::vector<std::string>& args,
                   const char* pszStdout);
/// Waits for a started program; returns its exit status (128 + signal when killed).
int WaitForProgram(pid_t pid);

/// Sends one UDP datagram to the address and port (inside the sandbox).
bool SendDatagram(const char* pszAddress, int nPort, const std::string& payload);

/// Runs a shell command line quietly; whether it succeeded.
bool Shell(const std::string& command);

}  // namespace sandbox
