// Names and small helpers that the install and uninstall procedures share.
#pragma once
#include <windows.h>

#include "bounded.h"

extern const wchar_t kUninstallFolderName[];  // "Uninstall" below the install folder
extern const wchar_t kUninstallerName[];      // "setup.exe"
extern const wchar_t kHelperFileName[];       // "VolSvcInstall.exe"
extern const wchar_t kRuntimeFileName[];      // "mingwm10.dll"
extern const wchar_t kAppConfigFileName[];    // "Cfg.QX", the application's own

// True when FindFirstFileW finds the file or folder.
BOOL PathExists(const wchar_t* pszPath);

// "SOFTWARE\[Wow6432Node\]Microsoft\Windows\CurrentVersion\" by g_bWow64.
const wchar_t* RegistryBase();
// HKLM\{base}Uninstall and HKLM\{base}Run.
BOOL UninstallListKey(wchar_t (&key)[kKeyChars]);
BOOL RunKey(wchar_t (&key)[kKeyChars]);
// "{dir}\{name}".
BOOL InstalledFile(const wchar_t* pszInstallFolder, const wchar_t* pszName, wchar_t (&path)[kPathChars]);

// Another process holds the file open or runs it: it can be replaced or
// deleted at the next restart. A folder in its place, a full disk or
// missing rights are no such thing.
BOOL IsFileInUse(const wchar_t* pszPath);

// What became of one file of the installation.
enum class FileFate { Failed, Done, AtRestart };
// Copies a file to its place. One in use gets the new file beside it under
// a temporary name, which replaces it at the restart.
FileFate PlaceFile(const wchar_t* pszSource, const wchar_t* pszTarget);
// Deletes a file; one that is not there counts as done, one in use goes at
// the restart.
FileFate RemoveFile(const wchar_t* pszPath);
