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

}  // namespace

INT_PTR OpenWithDesktop(const char* pszUrl) {
#if defined(__APPLE__)
    const char* pszOpener = "open";
#else
    const char* pszOpener = "xdg-open";
#endif
    // The opener runs as a grandchild: the child that starts it ends at once, so the program
    // neither waits for the browser nor leaves a zombie behind. A close-on-exec pipe tells the
    // program whether the exec worked: it closes unread when it did, and carries errno when not.
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
        const pid_t grandchild = fork();
        if (grandchild == 0) {
            setsid();
            signal(SIGPIPE, SIG_DFL);
            char* argv[] = {const_cast<char*>(pszOpener), const_cast<char*>(pszUrl), nullptr};
            execvp(pszOpener, argv);
            const int nError = errno;
            (void)!write(report[1], &nError, sizeof(nError));
            _exit(127);
        }
        if (grandchild < 0) {
            const int nError = errno;
            (void)!write(report[1], &nError, sizeof(nError));
        }
        _exit(0);
    }
    close(report[1]);
    int status = 0;
    waitpid(child, &status, 0);
    int nError = 0;
    ssize_t nRead;
    do {
        nRead = read(report[0], &nError, sizeof(nError));
    } while (nRead < 0 && errno == EINTR);
    close(report[0]);
    if (nRead == static_cast<ssize_t>(sizeof(nError))) {
        return nError == ENOENT ? kFileNotFound : kNoAssociation;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? kStarted : kOutOfResources;
}

}  // namespace shell
