#include "bounded.h"
#include "flags.h"
#include "install.h"
#include "programs.h"
#include "setup_log.h"
#include "setup_paths.h"

namespace {

void DeleteInstalledFile(const wchar_t* pszInstallFolder, const wchar_t* pszName, FileOutcome* pRemoval) {
    wchar_t path[kPathChars];
    pRemoval->Add(InstalledFile(pszInstallFolder, pszName, path) ? RemoveFile(path) : FileFate::Failed);
}

// Opens a key to remove from; a key that does not open counts as gone only
// when it is not there.
BOOL OpenToRemove(const wchar_t* pszKey, HKEY* phKey, BOOL* pbGone) {
    LONG status = RegOpenKeyExW(HKEY_LOCAL_MACHINE, pszKey, 0, KEY_WRITE, phKey);
    if (status != ERROR_SUCCESS)
        *pbGone &= LogRemoval((DWORD)status, L"open key HKLM\\%ls", pszKey);
    return status == ERROR_SUCCESS;
}

// Each step needs its own name; a step whose name is empty or not plain is
// skipped rather than run against a degenerate path or key, or one outside.
void RemoveFilesAndRunValue(const SetupConfig* cfg, FileOutcome* pRemoval) {
    const wchar_t* dir = cfg->szInstallFolder;
    if (dir[0]) {
        DeleteInstalledFile(dir, kRuntimeFileName, pRemoval);
        if (IsPlainName(cfg->szAppFileName))
            DeleteInstalledFile(dir, cfg->szAppFileName, pRemoval);
        DeleteInstalledFile(dir, kAppConfigFileName, pRemoval);
        for (int i = kFirstImageFile; i < kFirstImageFile + kImageFiles; ++i)
            DeleteInstalledFile(dir, g_szSetupFiles[i], pRemoval);
        if (g_bNT6)
            DeleteInstalledFile(dir, kHelperFileName, pRemoval);
    }
    wchar_t key[kKeyChars];
    HKEY hKey;
    if (!g_bNT6 && IsPlainName(cfg->szAppName) && RunKey(key) && OpenToRemove(key, &hKey, &pRemoval->bComplete)) {
        pRemoval->bComplete &= LogRemoval((DWORD)RegDeleteValueW(hKey, cfg->szAppName), L"delete value HKLM\\%ls\\%ls",
                                          key, cfg->szAppName);
        RegCloseKey(hKey);
    }
}

}  // namespace

SetupResult UninstallPackage(const SetupConfig* cfg) {
    const wchar_t* dir = cfg->szInstallFolder;
    // No test for the helper first: a half-finished installation may have
    // left the service without it.
    if (g_bNT6 && dir[0])
        StopAndRemoveService(dir);
    CloseRunningApp(cfg->szAppName);
    FileOutcome removal;
    RemoveFilesAndRunValue(cfg, &removal);
    if (IsPlainName(cfg->szAppName)) {
        DeleteDesktopShortcut(cfg->szAppName);
        if (dir[0])
            DeleteCommonDesktopShortcut(cfg->szAppName, dir);
        DeleteProgramsShortcut(cfg->szAppName, cfg->szAppName, FALSE);
        DeleteProgramsShortcut(cfg->szAppName, L"Uninstall", TRUE);
        removal.bComplete &= ShortcutsGone(cfg->szAppName, dir);
    }
    // A configuration with a name missing or not plain could not have
    // removed everything.
    if (!dir[0] || FindBadName(cfg, nullptr))
        removal.bComplete = FALSE;
    // Last, and only when nothing else stays: until then the entry is how
    // the removal is found and tried again. An empty folder name would
    // delete the whole list of uninstall entries.
    wchar_t key[kKeyChars];
    HKEY hKey;
    if (removal.bComplete && IsPlainName(cfg->szAppFolderName) && UninstallListKey(key) &&
        OpenToRemove(key, &hKey, &removal.bComplete)) {
        removal.bComplete &= LogRemoval((DWORD)RegDeleteKeyW(hKey, cfg->szAppFolderName), L"delete key HKLM\\%ls\\%ls",
                                        key, cfg->szAppFolderName);
        RegCloseKey(hKey);
    } else if (!removal.bComplete) {
        LogLine(L"uninstall entry kept: something of the installation stays");
    }
    return removal.Result();
}

SetupResult QuietUninstall(const wchar_t* pszSourceFolder) {
    SetupConfig cfg;
    ReadSetupConfig(pszSourceFolder, &cfg);
    return UninstallPackage(&cfg);
}
