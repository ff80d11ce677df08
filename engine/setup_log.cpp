#include "setup_log.h"

#include <strsafe.h>

namespace {

// Long enough for a command line with its step; a longer text is cut.
constexpr int kLineChars = 2048;
constexpr int kMessageChars = 256;

HANDLE g_hLog = INVALID_HANDLE_VALUE;

// The system's message for a status, on one line.
void ErrorMessage(DWORD status, wchar_t (&out)[kMessageChars]) {
    DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_MAX_WIDTH_MASK,
                             nullptr, status, 0, out, kMessageChars, nullptr);
    while (n > 0 && (out[n - 1] == L' ' || out[n - 1] == L'\r' || out[n - 1] == L'\n'))
        --n;
    out[n] = L'\0';
}

// A step's line ends in its outcome, pszOutcome when given; a plain line
// (bStep FALSE) does not.
void WriteLine(BOOL bStep, DWORD status, const wchar_t* pszOutcome, const wchar_t* fmt, va_list args) {
    if (g_hLog == INVALID_HANDLE_VALUE)
        return;
    SYSTEMTIME t;
    GetLocalTime(&t);
    wchar_t line[kLineChars], message[kMessageChars];
    StringCchPrintfW(line, kLineChars, L"%04u-%02u-%02u %02u:%02u:%02u.%03u ", t.wYear, t.wMonth, t.wDay, t.wHour,
                     t.wMinute, t.wSecond, t.wMilliseconds);
    size_t used = lstrlenW(line);
    // A text too long is cut, leaving room for the outcome.
    StringCchVPrintfW(line + used, kLineChars - kMessageChars - 64 - used, fmt, args);
    used = lstrlenW(line);
    if (bStep && (pszOutcome || status == 0)) {
        StringCchPrintfW(line + used, kLineChars - used, L": %ls", pszOutcome ? pszOutcome : L"ok");
    } else if (bStep) {
        ErrorMessage(status, message);
        StringCchPrintfW(line + used, kLineChars - used, L": failed, error %lu: %ls", status, message);
    }
    char utf8[kLineChars * 3 + 2];
    int n = WideCharToMultiByte(CP_UTF8, 0, line, -1, utf8, kLineChars * 3, nullptr, nullptr);
    if (n > 0) {
        utf8[n - 1] = '\r';
        utf8[n] = '\n';
        DWORD written;
        WriteFile(g_hLog, utf8, (DWORD)n + 1, &written, nullptr);
    }
}

}  // namespace

void (*g_pfnShowFailure)(const wchar_t* pszText) = nullptr;

BOOL OpenSetupLog(const wchar_t* pszPath) {
    CloseSetupLog();
    g_hLog = CreateFileW(pszPath, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
    return g_hLog != INVALID_HANDLE_VALUE;
}

void CloseSetupLog() {
    if (g_hLog != INVALID_HANDLE_VALUE)
        CloseHandle(g_hLog);
    g_hLog = INVALID_HANDLE_VALUE;
}

void LogLine(const wchar_t* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    WriteLine(FALSE, 0, nullptr, fmt, args);
    va_end(args);
}

BOOL LogStatus(DWORD status, const wchar_t* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    WriteLine(TRUE, status, nullptr, fmt, args);
    va_end(args);
    return status == 0;
}

BOOL LogResult(BOOL ok, const wchar_t* fmt, ...) {
    DWORD status = ok ? 0 : GetLastError();
    if (!ok && status == 0)
        status = (DWORD)E_FAIL;  // failed without saying why
    va_list args;
    va_start(args, fmt);
    WriteLine(TRUE, status, nullptr, fmt, args);
    va_end(args);
    return ok;
}

BOOL LogRemoval(DWORD status, const wchar_t* fmt, ...) {
    BOOL notThere = status == ERROR_FILE_NOT_FOUND || status == ERROR_PATH_NOT_FOUND;
    va_list args;
    va_start(args, fmt);
    WriteLine(TRUE, status, notThere ? L"not there" : nullptr, fmt, args);
    va_end(args);
    return status == 0 || notThere;
}

BOOL DeleteFileLogged(const wchar_t* pszPath) {
    return LogRemoval(DeleteFileW(pszPath) ? 0 : GetLastError(), L"delete \"%ls\"", pszPath);
}

void ReportFail(const wchar_t* pszText) {
    LogLine(L"Fail: %ls", pszText);
    if (g_pfnShowFailure)
        g_pfnShowFailure(pszText);
}
