#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include "stdio/StandardStreams.h"

unsigned OpenClosedStandardStreams() {
    unsigned nClosed = 0;
    for (int fd = 0; fd <= 2; ++fd) {
        if (fcntl(fd, F_GETFD) == -1) {
            nClosed |= 1u << fd;
            // open returns the lowest free descriptor, which is this one.
            const int nOpened = open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
            if (nOpened >= 0 && nOpened != fd) {
                close(nOpened);
            }
        }
    }
    return nClosed;
}

void UseUtf8Console() {}

void UseBinaryOutput(std::FILE*) {}

void IgnoreBrokenPipes() {
    signal(SIGPIPE, SIG_IGN);
}

bool IsTerminal(std::FILE* pStream) {
    return isatty(fileno(pStream)) == 1;
}
