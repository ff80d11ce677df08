// Bounded composition of paths, registry keys and command lines. A result
// that would not fit its buffer is refused (FALSE, empty buffer), never cut
// into another path and never overflowed. Use "%ls" for wide strings.
#pragma once
#include <stdarg.h>
#include <windows.h>

constexpr int kPathChars = MAX_PATH;  // paths and setup.ini values
constexpr int kKeyChars = 1024;       // registry key paths
constexpr int kCmdChars = 1024;       // command lines

BOOL FormatBoundedV(wchar_t* dst, size_t cch, const wchar_t* fmt, va_list args);
BOOL FormatBounded(wchar_t* dst, size_t cch, const wchar_t* fmt, ...);

template <size_t N>
BOOL Format(wchar_t (&dst)[N], const wchar_t* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    BOOL ok = FormatBoundedV(dst, N, fmt, args);
    va_end(args);
    return ok;
}
