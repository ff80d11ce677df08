// The install and uninstall procedures. Each reports whether it succeeded;
// the caller decides what the user sees.
#pragma once
#include <windows.h>

#include "config.h"
#include "setup_paths.h"

// The package's file table: 13 language libraries, then 7 images.
constexpr int kSetupFileCount = 20;
constexpr int kSetupFileChars = 50;
extern const wchar_t g_szSetupFiles[kSetupFileCount][kSetupFileChars];
constexpr int kFirstLanguageFile = 0, kUninstallLanguageFiles = 4;
constexpr int kFirstImageFile = 13, kImageFiles = 7;

// How a procedure ended. A file in use that waits for the restart counts as
// in place (or gone): the procedure is complete once the computer restarts.
enum SetupResult { kSetupFailed = 0, kSetupDone = 1, kSetupRestartNeeded = 2 };

// The files a procedure places or removes, counted as they end: complete
// while each is in place (or gone) or waits for the restart.
struct FileOutcome {
    BOOL bComplete = TRUE;
    BOOL bRestart = FALSE;
    void Add(FileFate fate) {
        bComplete &= fate != FileFate::Failed;
        bRestart |= fate == FileFate::AtRestart;
    }
    SetupResult Result() const { return !bComplete ? kSetupFailed : bRestart ? kSetupRestartNeeded : kSetupDone; }
};

// Failed after any "Fail" message, when the install folder is missing after
// its creation, or when a file of the installation (the uninstaller's, the
// runtime, the application, the helper, an image the package holds) is
// neither in place nor waiting for the restart. A configuration without its
// names, with one that is not plain (IsPlainName) or with paths too long, is
// refused with a "Fail" message before anything is done.
SetupResult InstallPackage(const wchar_t* pszSourceFolder, const SetupConfig* cfg);
SetupResult InstallFilesAndRegistry(const wchar_t* pszSourceFolder, const SetupConfig* cfg);
// The install without a window, on the calling thread.
SetupResult SilentInstall(const wchar_t* pszSourceFolder);

// Failed unless every file, value and shortcut that the uninstall removes is
// gone (removed, not there, or waiting for the restart); also when the
// configuration lacked a plain name (the steps needing it were skipped).
// The uninstall entry goes last, and only then: an uninstall that leaves
// anything keeps it, so that it can be found and tried again.
SetupResult UninstallPackage(const SetupConfig* cfg);
// The uninstall without a window, on the calling thread.
SetupResult QuietUninstall(const wchar_t* pszSourceFolder);
