// The one place where the portable folders meet the Windows headers. On
// Windows it brings in Winsock and then <windows.h> (in that order: the other
// way round, windows.h would pull in the old winsock.h). Natively the window
// handles are opaque pointers that only the fake seam hands out: only the
// Win32 shell looks inside them.
#pragma once

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#else
typedef void* HWND;
typedef void* HINSTANCE;
typedef void* WNDPROC;
#endif
