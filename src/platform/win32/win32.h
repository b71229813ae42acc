// The Windows API as the program uses it: Unicode, without the rarely used parts of
// windows.h, and without the min and max macros, which would collide with the C++ library's.
// Every file of the Win32 layer includes this instead of windows.h, so that it builds the same
// whatever its build system defines.
#pragma once

#ifndef UNICODE
#define UNICODE
#endif
#ifndef _UNICODE
#define _UNICODE
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif

#include <windows.h>
