// The one way a Win32 adapter includes <windows.h>: lean, without the min and max macros that break
// std::min and std::max, with the wide (W) functions as the unsuffixed names, for Windows 10.
// Only adapter files named for Windows include this; the core never does.
#pragma once

#ifndef _WIN32
#error "ui/win32.h is for the Windows adapters only"
#endif

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef UNICODE
#define UNICODE
#endif
#ifndef _UNICODE
#define _UNICODE
#endif
#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0x0A00
#endif
#ifndef WINVER
#define WINVER _WIN32_WINNT
#endif

#include <windows.h>
