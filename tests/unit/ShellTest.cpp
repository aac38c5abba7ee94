// The desktop's opener on POSIX systems, with stand-in openers on PATH: nothing here starts a
// real browser.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "shell/Shell.h"

namespace {

class DesktopOpener : public ::testing::Test {
protected:
    void SetUp() override {
        char szDir[] = "/tmp/lorixlog-opener.XXXXXX";
        ASSERT_NE(mkdtemp(szDir), nullptr);
        m_dir = szDir;
        const char* pszPath = getenv("PATH");
        m_oldPath = pszPath != nullptr ? pszPath : "";
        setenv("PATH", m_dir.c_str(), 1);
    }
    void TearDown() override {
        setenv("PATH", m_oldPath.c_str(), 1);
        std::system(("rm -rf '" + m_dir + "'").c_str());
    }
    void StandIn(const std::string& name, const std::string& script) {
        const std::string path = m_dir + "/" + name;
        std::ofstream(path) << script;
        chmod(path.c_str(), 0755);
    }
    std::string WaitForFile(const std::string& path) {
        for (int i = 0; i < 250; ++i) {
            std::ifstream file(path);
            std::stringstream text;
            text << file.rdbuf();
            if (!text.str().empty() && text.str().back() == '\n') {
                return text.str();
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return {};
    }

    std::string m_dir;
    std::string m_oldPath;
};

TEST_F(DesktopOpener, ReportsAnOpenerThatIsMissing) {
    EXPECT_LE(shell::OpenWithDesktop("http://10.0.0.1/"), 32);
    EXPECT_LE(shell::ShellExecuteA(nullptr, nullptr, "http://10.0.0.1/", nullptr, nullptr, 1), 32);
}

TEST_F(DesktopOpener, ReportsAnOpenerThatCannotBeRun) {
    StandIn("xdg-open", "");  // executable, but no program the system can run
    chmod((m_dir + "/xdg-open").c_str(), 0644);
    EXPECT_LE(shell::OpenWithDesktop("http://10.0.0.1/"), 32);
}

TEST_F(DesktopOpener, HandsTheUrlOverAsOneArgument) {
    const std::string out = m_dir + "/args";
    StandIn("xdg-open",
            "#!/bin/sh\nprintf '%s|' \"$#\" \"$@\" > '" + out + "'\necho >> '" + out + "'\n");
    EXPECT_GT(shell::OpenWithDesktop("http://h/a b;$(touch x)'\""), 32);
    EXPECT_EQ(WaitForFile(out), "1|http://h/a b;$(touch x)'\"|\n");
}

// xdg-open that started but failed (3: no browser found, 4: the browser failed) is no success.
TEST_F(DesktopOpener, AnOpenerThatFailsAfterItStartedIsReported) {
    for (const char* pszStatus : {"1", "3", "4"}) {
        StandIn("xdg-open", std::string("#!/bin/sh\nexit ") + pszStatus + "\n");
        EXPECT_EQ(shell::OpenWithDesktop("http://10.0.0.1/"), 31) << pszStatus;
    }
}

// An opener that keeps running (it waits for the browser) counts as started once the wait is
// over; the program does not wait for it to end.
TEST_F(DesktopOpener, AnOpenerThatKeepsRunningCountsAsStarted) {
    const std::string out = m_dir + "/late";
    StandIn("xdg-open", "#!/bin/sh\n/bin/sleep 2\necho done > '" + out + "'\nexit 4\n");
    EXPECT_GT(shell::OpenWithDesktop("http://10.0.0.1/", 200), 32);
    std::ifstream late(out);
    EXPECT_FALSE(late.good()) << "returned after the opener ended";
}

}  // namespace
