// Window handles as the portable core sees them. Only the Win32 shell looks
// inside them; in the native build they are opaque pointers that the fake
// seam hands out.
#pragma once

#ifdef _WIN32
#include "irc/net.h"  // winsock2.h must come before windows.h
#include <windows.h>
#else
typedef void* HWND;
typedef void* HINSTANCE;
typedef void* WNDPROC;
#endif
