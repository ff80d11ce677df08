#include "bounded.h"
#include "flags.h"
#include "install.h"
#include "programs.h"
#include "setup_log.h"
#include "setup_paths.h"

namespace {

// Whether the file is gone: deleted, or not there.
BOOL DeleteInstalledFile(const wchar_t* pszInstallFolder, const wchar_t* pszName) {
    wchar_t path[kPathChars];
    return InstalledFile(pszInstallFolder, pszName, path) && DeleteFileLogged(path);
}

// Opens a key to remove from; a key that does not open counts as gone only
// when it is not there.
BOOL OpenToRemove(const wchar_t* pszKey, HKEY* phKey, BOOL* pbGone) {
    LONG status = RegOpenKeyExW(HKEY_LOCAL_MACHINE, pszKey, 0, KEY_WRITE, phKey);
    if (status != ERROR_SUCCESS)
        *pbGone &= LogRemoval((DWORD)status, L"open key HKLM\\%ls", pszKey);
    return status == ERROR_SUCCESS;
}

}  // namespace

// Each step needs its own name; a step whose name is empty or not plain is
// skipped rather than run against a degenerate path or key, or one outside.
BOOL RemoveFilesAndRegistry(const SetupConfig* cfg) {
    const wchar_t* dir = cfg->szInstallFolder;
    BOOL gone = TRUE;
    if (dir[0]) {
        gone &= DeleteInstalledFile(dir, kRuntimeFileName);
        if (IsPlainName(cfg->szAppFileName))
            gone &= DeleteInstalledFile(dir, cfg->szAppFileName);
        gone &= DeleteInstalledFile(dir, kAppConfigFileName);
        for (int i = kFirstImageFile; i < kFirstImageFile + kImageFiles; ++i)
            gone &= DeleteInstalledFile(dir, g_szSetupFiles[i]);
        if (g_bNT6)
            gone &= DeleteInstalledFile(dir, kHelperFileName);
    }

    wchar_t key[kKeyChars];
    HKEY hKey;
    // An empty folder name would delete the whole list of uninstall entries.
    if (IsPlainName(cfg->szAppFolderName) && UninstallListKey(key) && OpenToRemove(key, &hKey, &gone)) {
        gone &= LogRemoval((DWORD)RegDeleteKeyW(hKey, cfg->szAppFolderName), L"delete key HKLM\\%ls\\%ls", key,
                           cfg->szAppFolderName);
        RegCloseKey(hKey);
    }
    if (!g_bNT6 && IsPlainName(cfg->szAppName) && RunKey(key) && OpenToRemove(key, &hKey, &gone)) {
        gone &= LogRemoval((DWORD)RegDeleteValueW(hKey, cfg->szAppName), L"delete value HKLM\\%ls\\%ls", key,
                           cfg->szAppName);
        RegCloseKey(hKey);
    }
    return gone;
}

BOOL UninstallPackage(const SetupConfig* cfg, BOOL* pbAllGone) {
    const wchar_t* dir = cfg->szInstallFolder;
    // No test for the helper first: a half-finished installation may have
    // left the service without it.
    if (g_bNT6 && dir[0])
        StopAndRemoveService(dir);
    CloseRunningApp(cfg->szAppName);
    BOOL gone = RemoveFilesAndRegistry(cfg);
    if (IsPlainName(cfg->szAppName)) {
        DeleteDesktopShortcut(cfg->szAppName);
        if (dir[0])
            DeleteCommonDesktopShortcut(cfg->szAppName, dir);
        DeleteProgramsShortcut(cfg->szAppName, cfg->szAppName, FALSE);
        DeleteProgramsShortcut(cfg->szAppName, L"Uninstall", TRUE);
        gone &= ShortcutsGone(cfg->szAppName, dir);
    }
    if (pbAllGone)
        *pbAllGone = gone;
    // Done when the application is gone; a configuration with a name missing
    // or not plain could not have removed everything.
    wchar_t appPath[kPathChars];
    if (!dir[0] || FindBadName(cfg, nullptr) || !InstalledFile(dir, cfg->szAppFileName, appPath))
        return FALSE;
    return !PathExists(appPath);
}

BOOL QuietUninstall(const wchar_t* pszSourceFolder) {
    SetupConfig cfg;
    ReadSetupConfig(pszSourceFolder, &cfg);
    BOOL allGone = FALSE;
    return UninstallPackage(&cfg, &allGone) && allGone;
}
