#include "bounded.h"

#include <strsafe.h>

BOOL FormatBoundedV(wchar_t* dst, size_t cch, const wchar_t* fmt, va_list args) {
    if (!dst || cch == 0)
        return FALSE;
    if (FAILED(StringCchVPrintfW(dst, cch, fmt, args))) {
        dst[0] = L'\0';
        return FALSE;
    }
    return TRUE;
}

BOOL FormatBounded(wchar_t* dst, size_t cch, const wchar_t* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    BOOL ok = FormatBoundedV(dst, cch, fmt, args);
    va_end(args);
    return ok;
}
