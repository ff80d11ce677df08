#include "setup_paths.h"

#include "flags.h"

const wchar_t kUninstallFolderName[] = L"Uninstall";
const wchar_t kUninstallerName[] = L"setup.exe";
const wchar_t kHelperFileName[] = L"VolSvcInstall.exe";
const wchar_t kRuntimeFileName[] = L"mingwm10.dll";
const wchar_t kAppConfigFileName[] = L"Cfg.QX";

BOOL PathExists(const wchar_t* pszPath) {
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW(pszPath, &fd);
    if (h == INVALID_HANDLE_VALUE)
        return FALSE;
    FindClose(h);
    return TRUE;
}

const wchar_t* RegistryBase() {
    return g_bWow64 ? L"SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\"
                    : L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\";
}

BOOL UninstallListKey(wchar_t (&key)[kKeyChars]) { return Format(key, L"%lsUninstall", RegistryBase()); }

BOOL RunKey(wchar_t (&key)[kKeyChars]) { return Format(key, L"%lsRun", RegistryBase()); }

BOOL InstalledFile(const wchar_t* pszInstallFolder, const wchar_t* pszName, wchar_t (&path)[kPathChars]) {
    return Format(path, L"%ls\\%ls", pszInstallFolder, pszName);
}
