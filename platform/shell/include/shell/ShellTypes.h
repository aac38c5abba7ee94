// The few Windows-like types of the shell's interface, without the dialog framework: the result
// of an open (a pointer-sized integer, above 32 on success) and the owner window, which the
// shell only passes along.
#pragma once

#include <cstdint>

namespace shell {
using INT_PTR = std::intptr_t;
using HWND = const void*;
}  // namespace shell
