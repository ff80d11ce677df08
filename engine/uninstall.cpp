#include "bounded.h"
#include "flags.h"
#include "install.h"
#include "programs.h"
#include "setup_log.h"
#include "setup_paths.h"

namespace {

// What the uninstall leaves: anything at all, and files waiting for the
// restart.
struct Leftovers {
    BOOL bAllGone = TRUE;
    BOOL bRestart = FALSE;
    FileFate Add(FileFate fate) {
        bAllGone &= fate != FileFate::Failed;
        bRestart |= fate == FileFate::AtRestart;
        return fate;
    }
};

FileFate DeleteInstalledFile(const wchar_t* pszInstallFolder, const wchar_t* pszName, Leftovers* pLeft) {
    wchar_t path[kPathChars];
    return pLeft->Add(InstalledFile(pszInstallFolder, pszName, path) ? RemoveFile(path) : FileFate::Failed);
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
void RemoveFilesAndRunValue(const SetupConfig* cfg, Leftovers* pLeft) {
    const wchar_t* dir = cfg->szInstallFolder;
    if (dir[0]) {
        DeleteInstalledFile(dir, kRuntimeFileName, pLeft);
        if (IsPlainName(cfg->szAppFileName))
            DeleteInstalledFile(dir, cfg->szAppFileName, pLeft);
        DeleteInstalledFile(dir, kAppConfigFileName, pLeft);
        for (int i = kFirstImageFile; i < kFirstImageFile + kImageFiles; ++i)
            DeleteInstalledFile(dir, g_szSetupFiles[i], pLeft);
        if (g_bNT6)
            DeleteInstalledFile(dir, kHelperFileName, pLeft);
    }
    wchar_t key[kKeyChars];
    HKEY hKey;
    if (!g_bNT6 && IsPlainName(cfg->szAppName) && RunKey(key) && OpenToRemove(key, &hKey, &pLeft->bAllGone)) {
        pLeft->bAllGone &= LogRemoval((DWORD)RegDeleteValueW(hKey, cfg->szAppName), L"delete value HKLM\\%ls\\%ls", key,
                                      cfg->szAppName);
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
    Leftovers left;
    RemoveFilesAndRunValue(cfg, &left);
    if (IsPlainName(cfg->szAppName)) {
        DeleteDesktopShortcut(cfg->szAppName);
        if (dir[0])
            DeleteCommonDesktopShortcut(cfg->szAppName, dir);
        DeleteProgramsShortcut(cfg->szAppName, cfg->szAppName, FALSE);
        DeleteProgramsShortcut(cfg->szAppName, L"Uninstall", TRUE);
        left.bAllGone &= ShortcutsGone(cfg->szAppName, dir);
    }
    // A configuration with a name missing or not plain could not have
    // removed everything.
    if (!dir[0] || FindBadName(cfg, nullptr))
        left.bAllGone = FALSE;
    // Last, and only when nothing else stays: until then the entry is how
    // the removal is found and tried again. An empty folder name would
    // delete the whole list of uninstall entries.
    wchar_t key[kKeyChars];
    HKEY hKey;
    if (left.bAllGone && IsPlainName(cfg->szAppFolderName) && UninstallListKey(key) &&
        OpenToRemove(key, &hKey, &left.bAllGone)) {
        left.bAllGone &= LogRemoval((DWORD)RegDeleteKeyW(hKey, cfg->szAppFolderName), L"delete key HKLM\\%ls\\%ls", key,
                                    cfg->szAppFolderName);
        RegCloseKey(hKey);
    } else if (!left.bAllGone) {
        LogLine(L"uninstall entry kept: something of the installation stays");
    }
    return !left.bAllGone ? kSetupFailed : left.bRestart ? kSetupRestartNeeded : kSetupDone;
}

SetupResult QuietUninstall(const wchar_t* pszSourceFolder) {
    SetupConfig cfg;
    ReadSetupConfig(pszSourceFolder, &cfg);
    return UninstallPackage(&cfg);
}
