// Target lists and watching, with lorixlog-find on real sockets: the devices that one search
// found are a list for the next; a watch tells what appeared, changed and vanished as simulated
// devices come and go, and ends at once, cleanly, on a signal.
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "NetworkFixture.h"

namespace {

std::string TemporaryFile(const char* pszName) {
    return "/tmp/lorixlog-" + std::to_string(getpid()) + "-" + pszName;
}

std::string ReadFile(const std::string& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream(path) << text;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

// The JSON of one search, read from a file, standard input or process substitution (a pipe by a
// name), is the target list of the next; a malformed list names its file and line and is refused
// before anything is sent.
TEST_F(Routed, TheDevicesOfOneSearchAreTheTargetsOfTheNext) {
    sandbox::Simulator sim({"--netns", Net().DevicesNamespace(), "--device", "10.88.0.20",
                            "--serial", "NEAR", "--device", "10.88.3.200", "--serial", "FAR"});
    ASSERT_TRUE(sim.IsReady());
    const auto first = sandbox::RunProgram(
        LORIXLOG_FIND_PATH, {"--json", "--target", "10.88.0.20", "--target", "10.88.3.200"});
    ASSERT_EQ(first.nExitStatus, 0) << first.err;
    const std::string list = TemporaryFile("devices.json");
    WriteFile(list, first.out);
    const auto again = sandbox::RunProgram(
        "/bin/bash", {"-c", std::string(LORIXLOG_FIND_PATH) + " --csv --targets-from - <" + list +
                                " --targets-from <(cat " + list + ")"});
    std::remove(list.c_str());
    EXPECT_EQ(again.nExitStatus, 0) << again.err;
    EXPECT_NE(again.out.find("\r\n10.88.0.20,9959,"), std::string::npos) << again.out;
    EXPECT_NE(again.out.find("\r\n10.88.3.200,9959,"), std::string::npos) << again.out;

    const std::string wrong = TemporaryFile("wrong-targets");
    WriteFile(wrong, "10.88.0.20\n\n# the plant\nnot a target\n10.88.0.0/8\n");
    const auto refused =
        sandbox::RunProgram(LORIXLOG_FIND_PATH, {"--targets-from", wrong, "-T", "/no/such/list"});
    std::remove(wrong.c_str());
    EXPECT_EQ(refused.nExitStatus, 2);
    EXPECT_EQ(refused.out, "") << "nothing was searched";
    for (const std::string& expected :
         {"lorixlog-find: " + wrong + ":4: 'not a target' is no",
          "lorixlog-find: " + wrong + ":5: the prefix length of '10.88.0.0/8' is not from 16 to 32",
          std::string("lorixlog-find: cannot read /no/such/list: ")}) {
        EXPECT_NE(refused.err.find(expected), std::string::npos) << refused.err;
    }
}

// Devices come and go on the simulator's schedule: one stays, one moves to another address (a
// change, not a new device), one is switched off and has vanished once two searches missed it.
// Each change is one JSON line; SIGINT ends the watch with 0.
TEST_F(Finder, AWatchTellsWhatAppearedChangedAndVanished) {
    sandbox::Simulator sim({"--device", "10.77.0.20", "--serial", "STAY",  // always there
                            "--device", "10.77.0.21", "--serial", "MOVE", "--up", "0-7",
                            "--device", "10.77.0.22", "--serial", "MOVE", "--up", "7-",
                            "--device", "10.77.0.23", "--serial", "GONE", "--up", "0-7"});
    ASSERT_TRUE(sim.IsReady());
    const std::string out = TemporaryFile("watch.jsonl");
    WriteFile(out, "");
    const pid_t pid =
        sandbox::StartProgram(LORIXLOG_FIND_PATH, {"--watch=10", "--json"}, out.c_str());
    ASSERT_GT(pid, 0);
    // Searches at 0, 10 and 20 seconds: GONE is missed by the second and the third.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(40);
    while (ReadFile(out).find("\"vanished\"") == std::string::npos &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    kill(pid, SIGINT);
    EXPECT_EQ(sandbox::WaitForProgram(pid), 0);
    const std::string text = ReadFile(out);
    std::remove(out.c_str());
    std::vector<std::string> events;
    for (const std::string& line : Lines(text)) {
        ASSERT_EQ(line.rfind("{\"event\": \"", 0), 0u) << line;
        ASSERT_EQ(line.back(), '}') << line;
        const std::size_t nEvent = line.find('"', 11);
        const std::size_t nSerial = line.find("\"serial_number\": \"");
        const std::size_t nAddress = line.find("\"ipv4\": \"");
        ASSERT_NE(nSerial, std::string::npos) << line;
        events.push_back(line.substr(11, nEvent - 11) + " " +
                         line.substr(nSerial + 18, line.find('"', nSerial + 18) - nSerial - 18) +
                         " " +
                         line.substr(nAddress + 9, line.find('"', nAddress + 9) - nAddress - 9));
        EXPECT_NE(line.find("\"time\": \"20"), std::string::npos) << line;
    }
    EXPECT_EQ(events,
              (std::vector<std::string>{"appeared GONE 10.77.0.23", "appeared MOVE 10.77.0.21",
                                        "appeared STAY 10.77.0.20", "changed MOVE 10.77.0.22",
                                        "vanished GONE 10.77.0.23"}))
        << text;
}

// SIGTERM during a search and SIGINT between two end the watch at once, with 0 and no line cut
// short.
TEST_F(Finder, AWatchEndsAtOnceOnASignal) {
    sandbox::Simulator sim({"--device", "10.77.0.20", "--serial", "S1"});
    ASSERT_TRUE(sim.IsReady());
    const std::string out = TemporaryFile("watch.txt");
    for (int nSignal : {SIGTERM, SIGINT}) {
        WriteFile(out, "");
        const pid_t pid = sandbox::StartProgram(LORIXLOG_FIND_PATH, {"-w"}, out.c_str());
        ASSERT_GT(pid, 0);
        // During the first search, or after it (it takes about four seconds).
        std::this_thread::sleep_for(std::chrono::milliseconds(nSignal == SIGTERM ? 1000 : 5500));
        const auto start = std::chrono::steady_clock::now();
        kill(pid, nSignal);
        EXPECT_EQ(sandbox::WaitForProgram(pid), 0) << nSignal;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2)) << nSignal;
        const std::string text = ReadFile(out);
        EXPECT_TRUE(text.empty() || text.back() == '\n') << text;
        if (nSignal == SIGINT) {
            EXPECT_NE(text.find(" appeared lorixLOG LX-8 S1 at 10.77.0.20\n"), std::string::npos)
                << text;
        }
    }
    std::remove(out.c_str());
}

// The seconds of --watch are joined to it with '=': apart, they are a wrong argument, and the
// message says what was meant; --metrics is refused without a watch; one data format at a time,
// and the watch only in one that has a line for a change. The help names every format.
TEST_F(Finder, WatchOptionsThatAreWrongAreExplained) {
    const struct {
        std::vector<std::string> args;
        const char* pszSaid;
    } cases[] = {
        {{"--watch", "60"}, "unknown option '60'\nlorixlog-find: Did you mean --watch=60?\n"},
        {{"--json", "-w", "60"}, "Did you mean --watch=60?"},
        {{"--watch=5"}, "--watch takes a number of seconds from 10 to 86400, not '5'"},
        {{"--metrics", "127.0.0.1:9469"}, "--metrics serves the metrics of a watch"},
        {{"-w", "--metrics", "localhost:80"}, "--metrics takes ADDRESS:PORT"},
        {{"--json", "--csv"}, "--json and --csv exclude each other"},
        {{"--csv", "-w", "--json"}, "--csv and --json exclude each other"},
        {{"--watch=60", "--csv"}, "--watch and --csv exclude each other"},
    };
    for (const auto& c : cases) {
        const auto result = sandbox::RunProgram(LORIXLOG_FIND_PATH, c.args);
        EXPECT_EQ(result.nExitStatus, 2) << c.pszSaid;
        EXPECT_NE(result.err.find(c.pszSaid), std::string::npos) << result.err;
    }
    const auto other = sandbox::RunProgram(LORIXLOG_FIND_PATH, {"--json", "60"});
    EXPECT_EQ(other.nExitStatus, 2);
    EXPECT_EQ(other.err.find("Did you mean"), std::string::npos) << other.err;
    const auto help = sandbox::RunProgram(LORIXLOG_FIND_PATH, {"--help"});
    EXPECT_EQ(help.nExitStatus, 0);
    for (const char* pszLine : {"\n  --csv          write the devices as CSV to standard output\n",
                                "\n  --json         write the devices as a JSON array"}) {
        EXPECT_NE(help.out.find(pszLine), std::string::npos) << help.out;
    }
}

}  // namespace
