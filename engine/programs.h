// Starting programs, the service helper, the running application and the
// shell shortcuts. Plain functions, no window of their own.
#pragma once
#include <windows.h>

#include "config.h"

// Starts a command line; the process handle, or null. The caller owns the
// handle (CloseHandle).
HANDLE LaunchCommandLine(const wchar_t* pszCommandLine, BOOL bShow);
void StopAndRemoveService(const wchar_t* pszInstallFolder);
// TRUE when the helper process was started with "-i".
BOOL InstallService(const wchar_t* pszInstallFolder);
// Asks the application's window to close: WM_CLOSE, waited for at most
// 5 s, then at most 5 s more for the window to go, then the fixed 1,000 ms
// pause for its process to end. FALSE when a window titled with the name is
// still there after the wait. An empty name closes nothing.
BOOL CloseRunningApp(const wchar_t* pszAppName);
// Starts the installed application; reads setup.ini from the source folder
// when no configuration is given.
void LaunchInstalledApp(const wchar_t* pszSourceFolder, const SetupConfig* cfg);

// Restarts Windows as planned for an installation, with the shutdown
// privilege enabled first. FALSE when the restart could not be started.
BOOL RestartWindows();

// TRUE when the application's shortcut paths (desktop, programs menu) fit;
// a shell folder that is missing leaves its shortcuts out and is no reason.
BOOL ShortcutPathsFit(const wchar_t* pszAppName);
void CreateDesktopShortcut(const wchar_t* pszTargetPath, const wchar_t* pszName);
int DeleteDesktopShortcut(const wchar_t* pszName);
void CreateProgramsShortcut(const wchar_t* pszMenuFolder, const wchar_t* pszTargetPath, const wchar_t* pszName,
                            const wchar_t* pszArguments);
void DeleteProgramsShortcut(const wchar_t* pszMenuFolder, const wchar_t* pszName, BOOL bRemoveFolder);
// None of the application's three shortcuts is there.
BOOL ShortcutsGone(const wchar_t* pszAppName);
