#include "StandardStreams.h"

// A Windows process gets no descriptors in the C runtime's low numbers that a socket could
// take: sockets are handles of their own. Nothing to do.
void OpenClosedStandardStreams() {}
