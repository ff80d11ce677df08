// The run's log, asked for with "log=<path>", and the one way the procedures
// report a failure to the user. Without an open log every Log call does
// nothing, so that a run without "log=" writes nothing.
#pragma once
#include <windows.h>

// Opens a UTF-8 log for appending. FALSE when it cannot be opened: the run
// goes on without one.
BOOL OpenSetupLog(const wchar_t* pszPath);
void CloseSetupLog();

// One line: a time stamp and the text (printf-style, "%ls" for wide
// strings; cut when very long). A step's line ends in ": ok", or in
// ": failed" with the Windows error code and its message when its status
// is not 0; it returns whether the step succeeded.
void LogLine(const wchar_t* fmt, ...);
BOOL LogStatus(DWORD status, const wchar_t* fmt, ...);
// The step succeeded when ok; otherwise GetLastError() is its status.
BOOL LogResult(BOOL ok, const wchar_t* fmt, ...);
// A removal: one that found nothing to remove ends in ": not there" and
// counts as done. Returns whether the thing is gone.
BOOL LogRemoval(DWORD status, const wchar_t* fmt, ...);
BOOL DeleteFileLogged(const wchar_t* pszPath);

// A failure the user is told of: logged, then shown through the hook that
// start-up sets (a box captioned "Fail"); a quiet run sets none, and the
// log alone tells. The engine itself shows nothing.
extern void (*g_pfnShowFailure)(const wchar_t* pszText);
void ReportFail(const wchar_t* pszText);
