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
