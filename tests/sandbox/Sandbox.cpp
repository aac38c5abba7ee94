#include "Sandbox.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sched.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <thread>

extern char** environ;

namespace sandbox {

namespace {

bool WriteFile(const char* pszPath, const std::string& text) {
    std::ofstream file(pszPath);
    file << text;
    return static_cast<bool>(file.flush());
}

bool OnlyLoopback(std::string* pWhy) {
    struct if_nameindex* pList = if_nameindex();
    if (pList == nullptr) {
        *pWhy = "cannot list the interfaces";
        return false;
    }
    bool bOnlyLoopback = true;
    for (struct if_nameindex* p = pList; p->if_index != 0; ++p) {
        if (std::strcmp(p->if_name, "lo") != 0) {
            bOnlyLoopback = false;
            *pWhy = std::string("the namespace is not fresh: it has interface ") + p->if_name;
        }
    }
    if_freenameindex(pList);
    return bOnlyLoopback;
}

bool Run(const std::string& command, std::string* pWhy) {
    if (std::system((command + " >/dev/null 2>&1").c_str()) != 0) {
        *pWhy = "'" + command + "' failed";
        return false;
    }
    return true;
}

/// A program and its arguments as posix_spawn takes them.
class CommandLine {
public:
    CommandLine(const std::string& program, const std::vector<std::string>& args)
        : m_strings{program} {
        m_strings.insert(m_strings.end(), args.begin(), args.end());
        for (std::string& s : m_strings) {
            m_pointers.push_back(s.data());
        }
        m_pointers.push_back(nullptr);
    }
    char* const* Get() { return m_pointers.data(); }

private:
    std::vector<std::string> m_strings;
    std::vector<char*> m_pointers;
};

std::string ReadAll(int fd) {
    std::string text;
    char buffer[4096];
    for (ssize_t n; (n = read(fd, buffer, sizeof(buffer))) > 0;) {
        text.append(buffer, static_cast<std::size_t>(n));
    }
    return text;
}

}  // namespace

bool EnterPrivateNetwork(int nSubnets, std::string* pWhy) {
    if (geteuid() == 0) {
        if (unshare(CLONE_NEWNET) != 0) {
            *pWhy = std::string("unshare(CLONE_NEWNET): ") + std::strerror(errno);
            return false;
        }
    } else {
        const uid_t uid = geteuid();
        const gid_t gid = getegid();
        if (unshare(CLONE_NEWUSER | CLONE_NEWNET) != 0) {
            *pWhy = std::string("unshare(CLONE_NEWUSER | CLONE_NEWNET): ") + std::strerror(errno);
            return false;
        }
        WriteFile("/proc/self/setgroups", "deny");
        if (!WriteFile("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1") ||
            !WriteFile("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1")) {
            *pWhy = "cannot map the user into the user namespace";
            return false;
        }
    }
    if (!OnlyLoopback(pWhy)) {
        return false;
    }
    if (!Run("ip link set lo up", pWhy)) {
        return false;
    }
    for (int i = 0; i < nSubnets; ++i) {
        const std::string n = std::to_string(i);
        const std::string net = "10." + std::to_string(77 + i) + ".0.";
        if (!Run("ip link add fnd" + n + " type veth peer name dev" + n, pWhy) ||
            !Run("ip addr add " + net + "1/24 dev fnd" + n, pWhy)) {
            return false;
        }
        for (int d = 20; d <= 29; ++d) {
            if (!Run("ip addr add " + net + std::to_string(d) + "/24 dev dev" + n, pWhy)) {
                return false;
            }
        }
        if (!Run("ip link set fnd" + n + " up", pWhy) ||
            !Run("ip link set dev" + n + " up", pWhy)) {
            return false;
        }
    }
    return true;
}

Simulator::Simulator(const std::vector<std::string>& options, const char* pszLog) {
    char szTemplate[] = "/tmp/lorixlog-sim-ready.XXXXXX";
    const int fd = mkstemp(szTemplate);
    if (fd < 0) {
        return;
    }
    close(fd);
    unlink(szTemplate);
    m_readyFile = szTemplate;

    std::vector<std::string> args = {"--ready-file", m_readyFile, "--max-seconds", "120"};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (pszLog != nullptr) {
        args.push_back("--verbose");
        posix_spawn_file_actions_addopen(&actions, 2, pszLog, O_WRONLY | O_CREAT | O_TRUNC, 0600);
    }
    args.insert(args.end(), options.begin(), options.end());
    CommandLine argv(LORIXLOG_SIM_PATH, args);
    const int nSpawn =
        posix_spawn(&m_pid, LORIXLOG_SIM_PATH, &actions, nullptr, argv.Get(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (nSpawn != 0) {
        m_pid = -1;
        return;
    }
    struct stat st {};
    for (int i = 0; i < 200 && !m_bReady; ++i) {
        m_bReady = stat(m_readyFile.c_str(), &st) == 0;
        if (!m_bReady) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }
}

long Simulator::StopAndMeasure() {
    if (m_pid <= 0) {
        return -1;
    }
    const auto start = std::chrono::steady_clock::now();
    kill(m_pid, SIGTERM);
    int status = 0;
    waitpid(m_pid, &status, 0);
    m_pid = -1;
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                 std::chrono::steady_clock::now() - start)
                                 .count());
}

Simulator::~Simulator() {
    StopAndMeasure();
    if (!m_readyFile.empty()) {
        unlink(m_readyFile.c_str());
    }
}

CommandResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                         const std::vector<std::string>& environment) {
    CommandResult result{-1, {}, {}};
    int outPipe[2];
    int errPipe[2];
    if (pipe(outPipe) != 0 || pipe(errPipe) != 0) {
        return result;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, outPipe[1], 1);
    posix_spawn_file_actions_adddup2(&actions, errPipe[1], 2);
    posix_spawn_file_actions_addclose(&actions, outPipe[0]);
    posix_spawn_file_actions_addclose(&actions, errPipe[0]);

    CommandLine argv(program, args);
    std::vector<std::string> envStrings;
    for (char** p = environ; *p != nullptr; ++p) {
        const std::string entry = *p;
        bool bReplaced = false;
        for (const std::string& e : environment) {
            bReplaced = bReplaced || entry.compare(0, e.find('=') + 1, e, 0, e.find('=') + 1) == 0;
        }
        if (!bReplaced) {
            envStrings.push_back(entry);
        }
    }
    envStrings.insert(envStrings.end(), environment.begin(), environment.end());
    std::vector<char*> envp;
    for (std::string& e : envStrings) {
        envp.push_back(e.data());
    }
    envp.push_back(nullptr);

    pid_t pid = -1;
    const int nSpawn =
        posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.Get(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(outPipe[1]);
    close(errPipe[1]);
    if (nSpawn != 0) {
        close(outPipe[0]);
        close(errPipe[0]);
        return result;
    }
    // The outputs are small; read standard error in a thread so that neither pipe fills up.
    std::thread errReader([&] { result.err = ReadAll(errPipe[0]); });
    result.out = ReadAll(outPipe[0]);
    errReader.join();
    close(outPipe[0]);
    close(errPipe[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    result.nExitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return result;
}

namespace {
/// A process that only holds a new network namespace.
pid_t StartNamespaceHolder() {
    CommandLine argv("/usr/bin/unshare", {"-n", "sleep", "600"});
    pid_t pid = -1;
    if (posix_spawn(&pid, "/usr/bin/unshare", nullptr, nullptr, argv.Get(), environ) != 0) {
        return -1;
    }
    // unshare has made the namespace once /proc shows another one than ours.
    const std::string own = std::to_string(getpid());
    for (int i = 0; i < 200; ++i) {
        char szMine[64] = {};
        char szTheirs[64] = {};
        if (readlink(("/proc/" + own + "/ns/net").c_str(), szMine, sizeof(szMine) - 1) > 0 &&
            readlink(("/proc/" + std::to_string(pid) + "/ns/net").c_str(), szTheirs,
                     sizeof(szTheirs) - 1) > 0 &&
            std::strcmp(szMine, szTheirs) != 0) {
            return pid;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return pid;
}
}  // namespace

RoutedNetwork::RoutedNetwork() {
    m_router = StartNamespaceHolder();
    m_devices = StartNamespaceHolder();
    if (m_router <= 0 || m_devices <= 0) {
        m_why = "cannot make the router's and the devices' namespaces";
        return;
    }
    const std::string r = std::to_string(m_router);
    const std::string d = std::to_string(m_devices);
    std::string devices = "ip addr add 10.88.3.200/16 dev dv0 && ";
    for (int n = 20; n <= 29; ++n) {
        devices += "ip addr add 10.88.0." + std::to_string(n) + "/16 dev dv0 && ";
    }
    const std::string commands[] = {
        "ip link add rt0 type veth peer name r0 && ip link set r0 netns " + r,
        "ip link add r1 type veth peer name dv0 && ip link set r1 netns " + r +
            " && ip link set dv0 netns " + d,
        "ip addr add 10.76.0.1/24 dev rt0 && ip link set rt0 up",
        "nsenter -t " + r +
            " -n sh -c 'ip link set lo up && ip addr add 10.76.0.254/24 dev r0 && "
            "ip link set r0 up && ip addr add 10.88.0.1/16 dev r1 && ip link set r1 up && "
            "sysctl -qw net.ipv4.ip_forward=1'",
        "nsenter -t " + d + " -n sh -c 'ip link set lo up && " + devices +
            "ip link set dv0 up && ip route add default via 10.88.0.1'",
        "ip route add 10.88.0.0/16 via 10.76.0.254",
    };
    for (const std::string& command : commands) {
        if (!Run(command, &m_why)) {
            return;
        }
    }
    m_bReady = true;
}

RoutedNetwork::~RoutedNetwork() {
    for (pid_t pid : {m_router, m_devices}) {
        if (pid > 0) {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
        }
    }
}

std::string RoutedNetwork::DevicesNamespace() const {
    return "/proc/" + std::to_string(m_devices) + "/ns/net";
}

std::vector<std::string> PlantAddresses(int n) {
    std::vector<std::string> addresses;
    for (int i = 0; i < n; ++i) {
        const int a = 256 + 1 + i;  // 10.60.1.1 upwards
        addresses.push_back("10.60." + std::to_string(a / 256) + "." + std::to_string(a % 256));
    }
    return addresses;
}

LinkedNetwork::LinkedNetwork(int nPlant) {
    m_devices = StartNamespaceHolder();
    if (m_devices <= 0) {
        m_why = "cannot make the devices' namespace";
        return;
    }
    const std::string d = std::to_string(m_devices);
    std::string devices = "ip addr add 192.168.0.50/24 dev dv9 && ";
    for (int n = 20; n <= 29; ++n) {
        devices += "ip addr add 10.60.0." + std::to_string(n) + "/16 dev dv9 && ";
    }
    const std::string commands[] = {
        "ip link add fnd9 type veth peer name dv9 && ip link set dv9 netns " + d,
        "ip addr add 10.60.0.1/16 dev fnd9 && ip link set fnd9 up",
        "nsenter -t " + d + " -n sh -c 'ip link set lo up && " + devices + "ip link set dv9 up'",
    };
    for (const std::string& command : commands) {
        if (!Run(command, &m_why)) {
            return;
        }
    }
    if (nPlant > 0) {
        // One ip process for all addresses of the plant.
        std::string batch;
        for (const std::string& address : PlantAddresses(nPlant)) {
            batch += "address add " + address + "/16 dev dv9\n";
        }
        const std::string file = "/tmp/lorixlog-plant-" + std::to_string(getpid()) + ".batch";
        if (std::FILE* f = std::fopen(file.c_str(), "w")) {
            std::fputs(batch.c_str(), f);
            std::fclose(f);
        }
        const bool bAdded = Run("nsenter -t " + d + " -n ip -batch " + file, &m_why);
        std::remove(file.c_str());
        if (!bAdded) {
            return;
        }
    }
    m_bReady = true;
}

LinkedNetwork::~LinkedNetwork() {
    Run("ip link del fnd9", &m_why);
    if (m_devices > 0) {
        kill(m_devices, SIGTERM);
        waitpid(m_devices, nullptr, 0);
    }
}

std::string LinkedNetwork::DevicesNamespace() const {
    return "/proc/" + std::to_string(m_devices) + "/ns/net";
}

pid_t StartProgram(const std::string& program, const std::vector<std::string>& args,
                   const char* pszStdout) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (pszStdout == nullptr) {
        posix_spawn_file_actions_addclose(&actions, 1);
    } else {
        posix_spawn_file_actions_addopen(&actions, 1, pszStdout, O_WRONLY, 0);
    }
    CommandLine argv(program, args);
    pid_t pid = -1;
    if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.Get(), environ) != 0) {
        pid = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

int WaitForProgram(pid_t pid) {
    int status = 0;
    if (pid <= 0 || waitpid(pid, &status, 0) != pid) {
        return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

bool SendDatagram(const char* pszAddress, int nPort, const std::string& payload) {
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return false;
    }
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<std::uint16_t>(nPort));
    const bool bSent =
        inet_pton(AF_INET, pszAddress, &to.sin_addr) == 1 &&
        sendto(fd, payload.data(), payload.size(), 0, reinterpret_cast<sockaddr*>(&to),
               sizeof(to)) == static_cast<ssize_t>(payload.size());
    close(fd);
    return bSent;
}

bool Shell(const std::string& command) {
    std::string why;
    return Run(command, &why);
}

}  // namespace sandbox
