// The desktop's opener on Linux and other Unix desktops (xdg-open) and on macOS (open).
#include <sys/wait.h>
#include <unistd.h>

#include "shell/Shell.h"

namespace shell {

INT_PTR OpenWithDesktop(const char* pszUrl) {
#if defined(__APPLE__)
    const char* pszOpener = "open";
#else
    const char* pszOpener = "xdg-open";
#endif
    // The opener runs as a grandchild: the child that starts it ends at once, so the program
    // neither waits for the browser nor leaves a zombie behind.
    const pid_t child = fork();
    if (child < 0) {
        return 0;
    }
    if (child == 0) {
        if (fork() == 0) {
            setsid();
            char* argv[] = {const_cast<char*>(pszOpener), const_cast<char*>(pszUrl), nullptr};
            execvp(pszOpener, argv);
            _exit(127);
        }
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 42 : 0;
}

}  // namespace shell
