#include "win32/WindowsApi.h"

#include <fcntl.h>
#include <io.h>

#include "stdio/StandardStreams.h"

// A Windows process gets no descriptors in the C runtime's low numbers that a socket could
// take: sockets are handles of their own. Nothing to do.
void OpenClosedStandardStreams() {}

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
