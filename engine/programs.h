// Starting programs, the service helper, the running application and the
// shell shortcuts. Plain functions, no window of their own.
#pragma once
#include <windows.h>

#include "config.h"

// Starts a command line in a priority class; the process handle, or null.
// The caller owns the handle (CloseHandle).
HANDLE LaunchCommandLine(const wchar_t* pszCommandLine, BOOL bShow, DWORD dwPriorityClass);
// Told the creation flags of each program just before it is started; null
// in setup.exe. Wine reads every class back as normal, so only this shows
// which class a program was asked to run in.
extern void (*g_pfnStarting)(const wchar_t* pszCommandLine, DWORD dwCreationFlags);
void StopAndRemoveService(const wchar_t* pszInstallFolder);
// TRUE when the helper process was started with "-i".
BOOL InstallService(const wchar_t* pszInstallFolder);
// Asks the application's window to close: WM_CLOSE, waited for at most
// 5 s, then at most 5 s more for the window to go, then the fixed 1,000 ms
// pause for its process to end. FALSE when a window titled with the name is
// still there after the wait. An empty name closes nothing.
BOOL CloseRunningApp(const wchar_t* pszAppName);
// Starts the installed application at normal priority; reads setup.ini
// from the source folder when no configuration is given.
void LaunchInstalledApp(const wchar_t* pszSourceFolder, const SetupConfig* cfg);

// Restarts Windows as planned for an installation, with the shutdown
// privilege enabled first. FALSE when the restart could not be started.
BOOL RestartWindows();

// Whether this process runs as LocalSystem (its token's user S-1-5-18), as
// deployment services run setup: the desktop shortcut then goes on the
// all-users desktop, since nobody sees the system profile's own. Only a
// test program sets another, since nothing runs as LocalSystem under Wine.
extern BOOL (*g_pfnRunsAsLocalSystem)();
BOOL TokenIsLocalSystem();

// TRUE when the application's shortcut paths (both desktops, programs menu)
// fit; a shell folder that is missing leaves its shortcuts out and is no
// reason.
BOOL ShortcutPathsFit(const wchar_t* pszAppName);
void CreateDesktopShortcut(const wchar_t* pszTargetPath, const wchar_t* pszName);
// The user's desktop shortcut, by name: 0 when deleted, else -1.
int DeleteDesktopShortcut(const wchar_t* pszName);
// The all-users desktop's shortcut, shared with others: deleted only when
// it points into the install folder.
void DeleteCommonDesktopShortcut(const wchar_t* pszName, const wchar_t* pszInstallFolder);
void CreateProgramsShortcut(const wchar_t* pszMenuFolder, const wchar_t* pszTargetPath, const wchar_t* pszName,
                            const wchar_t* pszArguments);
void DeleteProgramsShortcut(const wchar_t* pszMenuFolder, const wchar_t* pszName, BOOL bRemoveFolder);
// None of the application's shortcuts is there: the programs menu's two,
// the user's desktop one, and an all-users desktop one into the folder.
BOOL ShortcutsGone(const wchar_t* pszAppName, const wchar_t* pszInstallFolder);
