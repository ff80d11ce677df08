// The install and uninstall procedures. Each reports whether it succeeded;
// the caller decides what the user sees.
#pragma once
#include <windows.h>

#include "config.h"

// The package's file table: 13 language libraries, then 7 images.
constexpr int kSetupFileCount = 20;
constexpr int kSetupFileChars = 50;
extern const wchar_t g_szSetupFiles[kSetupFileCount][kSetupFileChars];
constexpr int kFirstLanguageFile = 0, kUninstallLanguageFiles = 4;
constexpr int kFirstImageFile = 13, kImageFiles = 7;

// FALSE after any "Fail" message, when the install folder is missing after
// its creation, or when the application executable could not be copied (it
// is still running, for one). A configuration without its names, with one
// that is not plain (IsPlainName) or with paths too long, is refused with a
// "Fail" message before anything is done.
BOOL InstallPackage(const wchar_t* pszSourceFolder, const SetupConfig* cfg);
BOOL InstallFilesAndRegistry(const wchar_t* pszSourceFolder, const SetupConfig* cfg);
// The install without a window, on the calling thread.
BOOL SilentInstall(const wchar_t* pszSourceFolder);

// FALSE when the application executable is still there afterwards, or the
// configuration lacked a plain name (the steps needing it were skipped).
// *pbAllGone, when asked for, tells whether every file, value and shortcut
// that the uninstall removes is gone (removed, or not there).
BOOL UninstallPackage(const SetupConfig* cfg, BOOL* pbAllGone = nullptr);
// Whether all it removes is gone.
BOOL RemoveFilesAndRegistry(const SetupConfig* cfg);
// The uninstall without a window, on the calling thread: TRUE when all of
// the installation is gone.
BOOL QuietUninstall(const wchar_t* pszSourceFolder);
