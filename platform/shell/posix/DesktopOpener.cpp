// The desktop's opener on Linux and other Unix desktops (xdg-open) and on macOS (open).
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "shell/Shell.h"

namespace shell {

namespace {

// ShellExecute's results for an opener that cannot be started.
constexpr INT_PTR kFileNotFound = 2;    // ERROR_FILE_NOT_FOUND
constexpr INT_PTR kOutOfResources = 0;  // no process could be made
constexpr INT_PTR kNoAssociation = 31;  // SE_ERR_NOASSOC: started, but nothing to run
constexpr INT_PTR kStarted = 42;

// How long the program waits for the opener to say whether it worked, and how often it looks.
constexpr int kOpenerWaitMilliseconds = 4000;
constexpr int kPollMilliseconds = 20;

/// What the opener's processes tell the program: 'E' and an errno (it could not be started),
/// 'X' and its exit status, or 'R' (still running when the wait was over).
struct Message {
    char kind;
    int nValue;
};

/// In the child: starts the opener as a grandchild, watches it for nWaitMs, writes the verdict
/// (or the exec's error, which the grandchild writes) to the pipe, and ends.
[[noreturn]] void WatchOpener(const char* pszOpener, const char* pszUrl, int nWaitMs, int nPipe) {
    const pid_t grandchild = fork();
    if (grandchild == 0) {
        setsid();
        signal(SIGPIPE, SIG_DFL);
        char* argv[] = {const_cast<char*>(pszOpener), const_cast<char*>(pszUrl), nullptr};
        execvp(pszOpener, argv);
        const Message message{'E', errno};
        (void)!write(nPipe, &message, sizeof(message));
        _exit(127);
    }
    Message verdict{'E', errno};
    if (grandchild > 0) {
        verdict = Message{'R', 0};
        for (int nWaited = 0; nWaited < nWaitMs; nWaited += kPollMilliseconds) {
            int status = 0;
            if (waitpid(grandchild, &status, WNOHANG) == grandchild) {
                verdict = Message{'X', WIFEXITED(status) ? WEXITSTATUS(status) : 128};
                break;
            }
            usleep(kPollMilliseconds * 1000);
        }
    }
    (void)!write(nPipe, &verdict, sizeof(verdict));
    _exit(0);
}

/// The first message that comes through the pipe before all its writers closed it ('?' when
/// none came).
Message FirstMessage(int nPipe) {
    Message first{'?', 0};
    Message message{};
    bool bFirst = true;
    for (;;) {
        const ssize_t nRead = read(nPipe, &message, sizeof(message));
        if (nRead < 0 && errno == EINTR) {
            continue;
        }
        if (nRead != static_cast<ssize_t>(sizeof(message))) {
            break;
        }
        if (bFirst) {
            first = message;
            bFirst = false;
        }
    }
    return first;
}

}  // namespace

INT_PTR OpenWithDesktop(const char* pszUrl) {
    return OpenWithDesktop(pszUrl, kOpenerWaitMilliseconds);
}

INT_PTR OpenWithDesktop(const char* pszUrl, int nWaitMs) {
#if defined(__APPLE__)
    const char* pszOpener = "open";
#else
    const char* pszOpener = "xdg-open";
#endif
    // The opener runs as a grandchild, watched by the child for a few seconds: xdg-open ends
    // once it has started the browser, and with 3 or 4 when there is none or it failed. An
    // opener that runs longer (some wait for the browser) counts as started and is left to
    // itself: the child ends, so the program leaves no zombie behind. What happened comes back
    // through a close-on-exec pipe: the exec's errno from the grandchild, or the child's verdict.
    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0) {
        return kOutOfResources;
    }
    const pid_t child = fork();
    if (child < 0) {
        close(report[0]);
        close(report[1]);
        return kOutOfResources;
    }
    if (child == 0) {
        close(report[0]);
        WatchOpener(pszOpener, pszUrl, nWaitMs, report[1]);
    }
    close(report[1]);
    const Message first = FirstMessage(report[0]);
    close(report[0]);
    int status = 0;
    waitpid(child, &status, 0);
    switch (first.kind) {
        case 'E':  // the opener could not be started
            return first.nValue == ENOENT ? kFileNotFound : kNoAssociation;
        case 'X':  // it ended: 0 when it handed the URL on
            return first.nValue == 0 ? kStarted : kNoAssociation;
        case 'R':  // it still runs: the browser has it
            return kStarted;
        default:
            return kOutOfResources;
    }
}

}  // namespace shell
