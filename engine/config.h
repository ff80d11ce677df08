// setup.ini beside the running executable, and the install folder.
#pragma once
#include <windows.h>

#include "bounded.h"

struct SetupConfig {
    wchar_t szInstallFolder[kPathChars];  // computed; empty when it cannot be
    wchar_t szAppFileName[kPathChars];
    wchar_t szAppName[kPathChars];
    wchar_t szCompanyName[kPathChars];
    wchar_t szAppFolderName[kPathChars];
    wchar_t szVersion[kPathChars];
    BOOL bLaunchAppInSilentMode;
};

// Fills cfg from folder + "setup.ini" (folder ends with a backslash). A
// folder whose setup.ini path would not fit is read as if the file were
// absent: the defaults. A folder name that is not plain gives no install
// folder.
void ReadSetupConfig(const wchar_t* pszFolder, SetupConfig* cfg);

// Cuts a path behind its last backslash (kept) into out, which must hold at
// least the path's length + 1; returns the backslash's index, or -1 and an
// empty out when there is none.
int GetPathFolder(const wchar_t* pszPath, wchar_t* pszOut);

// The install folder rule: the parent of the Windows folder, then
// "Program Files" (or "Program Files (x86)" under WOW64), then the folder
// name. FALSE and an empty result when it would not fit.
BOOL ComposeInstallFolder(const wchar_t* pszWindowsDir, BOOL bWow64, const wchar_t* pszAppFolderName,
                          wchar_t (&out)[kPathChars]);

// A value of setup.ini that becomes one part of a path (the install folder,
// a file, a shortcut, a programs-menu folder): not empty, no separator,
// drive colon, wildcard, quote, angle bracket, bar or control character,
// not "." or "..", and no dot or blank at its end, which Windows drops.
// Anything else could lead a write or a delete out of its folder.
BOOL IsPlainName(const wchar_t* pszName);

// The first of the names that paths are built from (APPFolderName, AppName,
// APPFileName) that is not plain: its key, and its value in *ppszValue when
// that is not null; null when all are plain.
const wchar_t* FindBadName(const SetupConfig* cfg, const wchar_t** ppszValue);

// setup.ini's sections, keys and defaults.
extern const wchar_t kIniFileName[];
extern const wchar_t kSectionCustomized[];
extern const wchar_t kSectionStartup[];
extern const wchar_t kKeyAppName[];
extern const wchar_t kDefaultAppName[];
