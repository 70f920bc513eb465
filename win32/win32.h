// The one way a Windows piece includes <windows.h>: lean, without the min and max macros that break
// std::min and std::max, with the wide (W) functions as the unsuffixed names, for Windows 10.
// Only the Windows adapters, host/com, win32/ and tools/ include it (scripts/check-layers.sh); the core never
// does.
#pragma once

#ifndef _WIN32
#error "win32/win32.h is for the Windows pieces only"
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
