#include "win32/WindowsApi.h"

#include <fcntl.h>
#include <io.h>

#include "stdio/StandardStreams.h"

// A Windows process gets no descriptors in the C runtime's low numbers that a socket could
// take: sockets are handles of their own. Nothing to open; a stream without a handle is told.
unsigned OpenClosedStandardStreams() {
    unsigned nClosed = 0;
    const DWORD kStreams[] = {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};
    for (unsigned i = 0; i < 3; ++i) {
        const HANDLE hStream = ::GetStdHandle(kStreams[i]);
        if (hStream == nullptr || hStream == INVALID_HANDLE_VALUE) {
            nClosed |= 1u << i;
        }
    }
    return nClosed;
}

void UseUtf8Console() {
    ::SetConsoleOutputCP(CP_UTF8);
}

void UseBinaryOutput(std::FILE* pStream) {
    std::fflush(pStream);
    _setmode(_fileno(pStream), _O_BINARY);
}

void IgnoreBrokenPipes() {}

bool IsTerminal(std::FILE* pStream) {
    return _isatty(_fileno(pStream)) != 0;
}
