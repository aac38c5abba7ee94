// The Windows API as this program uses it. Every Windows source includes this header instead of
// <windows.h> or <winsock2.h>: the same macros everywhere (no min/max macros, the lean header
// set), and Winsock 2 ahead of <windows.h>, which would otherwise pull in the old Winsock.
#pragma once

#ifndef _WIN32
#error "WindowsApi.h is for Windows builds only"
#endif

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif

// clang-format off
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <commdlg.h>
// clang-format on
