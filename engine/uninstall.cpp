#include "bounded.h"
#include "flags.h"
#include "install.h"
#include "programs.h"
#include "setup_paths.h"

namespace {

void DeleteInstalledFile(const wchar_t* pszInstallFolder, const wchar_t* pszName) {
    wchar_t path[kPathChars];
    if (InstalledFile(pszInstallFolder, pszName, path))
        DeleteFileW(path);
}

}  // namespace

// Each step needs its own name; a step whose name is empty or not plain is
// skipped rather than run against a degenerate path or key, or one outside.
void RemoveFilesAndRegistry(const SetupConfig* cfg) {
    const wchar_t* dir = cfg->szInstallFolder;
    if (dir[0]) {
        DeleteInstalledFile(dir, kRuntimeFileName);
        if (IsPlainName(cfg->szAppFileName))
            DeleteInstalledFile(dir, cfg->szAppFileName);
        DeleteInstalledFile(dir, kAppConfigFileName);
        for (int i = kFirstImageFile; i < kFirstImageFile + kImageFiles; ++i)
            DeleteInstalledFile(dir, g_szSetupFiles[i]);
        if (g_bNT6)
            DeleteInstalledFile(dir, kHelperFileName);
    }

    wchar_t key[kKeyChars];
    HKEY hKey;
    // An empty folder name would delete the whole list of uninstall entries.
    if (IsPlainName(cfg->szAppFolderName) && UninstallListKey(key) &&
        RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_WRITE, &hKey) == ERROR_SUCCESS) {
        RegDeleteKeyW(hKey, cfg->szAppFolderName);
        RegCloseKey(hKey);
    }
    if (!g_bNT6 && IsPlainName(cfg->szAppName) && RunKey(key) &&
        RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_WRITE, &hKey) == ERROR_SUCCESS) {
        RegDeleteValueW(hKey, cfg->szAppName);
        RegCloseKey(hKey);
    }
}

BOOL UninstallPackage(const SetupConfig* cfg) {
    const wchar_t* dir = cfg->szInstallFolder;
    // No test for the helper first: a half-finished installation may have
    // left the service without it.
    if (g_bNT6 && dir[0])
        StopAndRemoveService(dir);
    CloseRunningApp(cfg->szAppName);
    RemoveFilesAndRegistry(cfg);
    if (IsPlainName(cfg->szAppName)) {
        DeleteDesktopShortcut(cfg->szAppName);
        DeleteProgramsShortcut(cfg->szAppName, cfg->szAppName, FALSE);
        DeleteProgramsShortcut(cfg->szAppName, L"Uninstall", TRUE);
    }
    // Done when the application is gone; a configuration with a name missing
    // or not plain could not have removed everything.
    wchar_t appPath[kPathChars];
    if (!dir[0] || FindBadName(cfg, nullptr) || !InstalledFile(dir, cfg->szAppFileName, appPath))
        return FALSE;
    return !PathExists(appPath);
}
