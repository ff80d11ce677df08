#include "install.h"

#include "bounded.h"
#include "flags.h"
#include "programs.h"
#include "setup_log.h"
#include "setup_paths.h"

const wchar_t g_szSetupFiles[kSetupFileCount][kSetupFileChars] = {
    L"setupENU.dll",    L"setupCHT.dll", L"setupCHS.dll",   L"setupJPN.dll",  L"setupKOR.dll",
    L"setupFRA.dll",    L"setupDEU.dll", L"setupITA.dll",   L"setupRUS.dll",  L"setupESN.dll",
    L"setupSVE.dll",    L"setupNLD.dll", L"setupPTB.dll",   L"middle.gif",    L"gauge_left.gif",
    L"gauge_right.gif", L"Vendor.bmp",   L"ArrayTitle.bmp", L"Arraylogo.png", L"infoTitle.bmp",
};

namespace {

const wchar_t kApplicationFolderName[] = L"Application";
const wchar_t kSetupIniName[] = L"setup.ini";

// The longest paths of each kind fit, the shortcuts' among them, so that no
// step below is cut short halfway through the installation. An install
// folder left empty while its name is given did not fit either.
BOOL PathsFit(const wchar_t* src, const SetupConfig* cfg) {
    wchar_t path[kPathChars];
    const wchar_t* dir = cfg->szInstallFolder;
    return dir[0] && Format(path, L"%ls\\%ls\\%ls", dir, kUninstallFolderName, g_szSetupFiles[0]) &&
           Format(path, L"%ls\\%ls", dir, cfg->szAppFileName) &&
           Format(path, L"%ls%ls\\%ls", src, kApplicationFolderName, kHelperFileName) &&
           Format(path, L"%ls%ls\\%ls", src, kApplicationFolderName, cfg->szAppFileName) &&
           ShortcutPathsFit(cfg->szAppName);
}

void AddFileSize(const wchar_t* pszPath, ULONGLONG* pTotal) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (GetFileAttributesExW(pszPath, GetFileExInfoStandard, &data) &&
        !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        *pTotal += ((ULONGLONG)data.nFileSizeHigh << 32) | data.nFileSizeLow;
}

// The files of an installation, and what lies at their places afterwards.
struct FileTally : FileOutcome {
    ULONGLONG cbInstalled = 0;
};

// Copies a package file to its place and counts it.
void CopyPackageFile(const wchar_t* pszSource, const wchar_t* pszTarget, FileTally* pTally) {
    pTally->Add(PlaceFile(pszSource, pszTarget));
    AddFileSize(pszTarget, &pTally->cbInstalled);
}

BOOL SetString(HKEY hKey, const wchar_t* pszName, const wchar_t* pszData) {
    DWORD cb = (DWORD)(lstrlenW(pszData) + 1) * sizeof(wchar_t);
    LONG status = RegSetValueExW(hKey, pszName, 0, REG_SZ, reinterpret_cast<const BYTE*>(pszData), cb);
    return LogStatus((DWORD)status, L"write value %ls = %ls", pszName, pszData);
}

void SetDword(HKEY hKey, const wchar_t* pszName, DWORD dwData) {
    LONG status = RegSetValueExW(hKey, pszName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dwData), sizeof(dwData));
    LogStatus((DWORD)status, L"write value %ls = %lu", pszName, dwData);
}

// The Run value that starts the application at log-on (not on Windows 6).
// FALSE only when the key opened and the value could not be set.
BOOL WriteRunValue(const SetupConfig* cfg) {
    wchar_t key[kKeyChars], data[kCmdChars];
    if (!RunKey(key) || !Format(data, L"\"%ls\\%ls\" min", cfg->szInstallFolder, cfg->szAppFileName))
        return FALSE;
    HKEY hKey;
    LONG status = RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_WRITE, &hKey);
    if (!LogStatus((DWORD)status, L"open key HKLM\\%ls", key))
        return TRUE;  // never created: a system without it starts nothing at log-on
    BOOL ok = SetString(hKey, cfg->szAppName, data);
    if (!ok)
        ReportFail(L"Fail to write the Run registry key!");
    RegCloseKey(hKey);
    return ok;
}

// The uninstall entry. FALSE when the key could not be had or one of the
// values that carry a message could not be set. It names the version only
// when all of its files are in place or waiting for the restart; else it
// keeps the version still installed, or names none, and can remove what is
// there.
BOOL WriteUninstallEntry(const SetupConfig* cfg, const FileTally& files) {
    const wchar_t* dir = cfg->szInstallFolder;
    wchar_t key[kKeyChars], uninstall[kCmdChars], quiet[kCmdChars], appPath[kPathChars];
    if (!Format(key, L"%lsUninstall\\%ls", RegistryBase(), cfg->szAppFolderName) ||
        !Format(uninstall, L"\"%ls\\%ls\\%ls\" delpkg", dir, kUninstallFolderName, kUninstallerName) ||
        !Format(quiet, L"%ls quiet", uninstall) || !InstalledFile(dir, cfg->szAppFileName, appPath))
        return FALSE;
    HKEY hKey;
    LONG status = RegCreateKeyExW(HKEY_LOCAL_MACHINE, key, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr,
                                  &hKey, nullptr);
    if (!LogStatus((DWORD)status, L"open key HKLM\\%ls", key))
        return FALSE;
    BOOL ok = FALSE;
    if (!SetString(hKey, L"UninstallString", uninstall)) {
        ReportFail(L"Fail to write the UninstallString registry key!");
    } else if (!SetString(hKey, L"DisplayName", cfg->szAppName)) {
        ReportFail(L"Fail to write the DisplayName registry key!");
    } else {
        SetString(hKey, L"Publisher", cfg->szCompanyName);
        if (!files.bComplete)
            LogLine(L"DisplayVersion left as it was: version %ls is incomplete", cfg->szVersion);
        if (files.bComplete && !SetString(hKey, L"DisplayVersion", cfg->szVersion)) {
            ReportFail(L"Fail to write the DisplayVersion registry key!");
        } else {
            ok = TRUE;
            // What the system's list of programs shows besides; not worth a
            // message when it cannot be written.
            SetString(hKey, L"DisplayIcon", appPath);
            SetString(hKey, L"InstallLocation", dir);
            // What deployment tools run to remove the application unattended.
            SetString(hKey, L"QuietUninstallString", quiet);
            ULONGLONG kib = (files.cbInstalled + 1023) / 1024;
            SetDword(hKey, L"EstimatedSize", kib > MAXDWORD ? MAXDWORD : (DWORD)kib);
            SetDword(hKey, L"NoModify", 1);
            SetDword(hKey, L"NoRepair", 1);
        }
    }
    RegCloseKey(hKey);
    return ok;
}

}  // namespace

SetupResult InstallFilesAndRegistry(const wchar_t* pszSourceFolder, const SetupConfig* cfg) {
    if (FindBadName(cfg, nullptr) || !PathsFit(pszSourceFolder, cfg))
        return kSetupFailed;
    const wchar_t* src = pszSourceFolder;
    const wchar_t* dir = cfg->szInstallFolder;
    BOOL ok = TRUE;
    FileTally files;
    wchar_t source[kPathChars], target[kPathChars], uninstallDir[kPathChars];

    // Only the last component of each is created.
    if (!Format(uninstallDir, L"%ls\\%ls", dir, kUninstallFolderName))
        return kSetupFailed;
    if (!PathExists(dir)) {
        LogResult(CreateDirectoryW(dir, nullptr), L"create folder \"%ls\"", dir);
        LogResult(CreateDirectoryW(uninstallDir, nullptr), L"create folder \"%ls\"", uninstallDir);
    } else if (!PathExists(uninstallDir)) {
        LogResult(CreateDirectoryW(uninstallDir, nullptr), L"create folder \"%ls\"", uninstallDir);
    }
    if (!PathExists(dir))
        ok = FALSE;

    // The uninstaller: always the package's setup.exe, whatever this
    // program's own name, with setup.ini and four language libraries.
    const wchar_t* uninstallerFiles[] = {kUninstallerName,  kSetupIniName,     g_szSetupFiles[0],
                                         g_szSetupFiles[1], g_szSetupFiles[2], g_szSetupFiles[3]};
    static_assert(kUninstallLanguageFiles == 4, "four language libraries go with the uninstaller");
    for (const wchar_t* name : uninstallerFiles) {
        if (Format(source, L"%ls%ls", src, name) && Format(target, L"%ls\\%ls", uninstallDir, name))
            CopyPackageFile(source, target, &files);
        else
            files.bComplete = FALSE;
    }

    if (Format(source, L"%ls%ls\\%ls", src, kApplicationFolderName, kRuntimeFileName) &&
        InstalledFile(dir, kRuntimeFileName, target))
        CopyPackageFile(source, target, &files);
    else
        files.bComplete = FALSE;

    // An application still running keeps its executable until the restart.
    if (Format(source, L"%ls%ls\\%ls", src, kApplicationFolderName, cfg->szAppFileName) &&
        InstalledFile(dir, cfg->szAppFileName, target))
        CopyPackageFile(source, target, &files);
    else
        files.bComplete = FALSE;

    for (int i = kFirstImageFile; i < kFirstImageFile + kImageFiles; ++i) {
        if (!Format(source, L"%ls%ls\\%ls", src, kApplicationFolderName, g_szSetupFiles[i]) ||
            !InstalledFile(dir, g_szSetupFiles[i], target)) {
            files.bComplete = FALSE;
            continue;
        }
        if (PathExists(source))  // the package may leave an image out
            CopyPackageFile(source, target, &files);
    }

    if (g_bNT6) {
        if (Format(source, L"%ls%ls\\%ls", src, kApplicationFolderName, kHelperFileName) &&
            InstalledFile(dir, kHelperFileName, target))
            CopyPackageFile(source, target, &files);
        else
            files.bComplete = FALSE;
    }

    if (!g_bNT6 && !WriteRunValue(cfg))
        ok = FALSE;
    if (!WriteUninstallEntry(cfg, files))
        ok = FALSE;
    return ok ? files.Result() : kSetupFailed;
}

SetupResult InstallPackage(const wchar_t* pszSourceFolder, const SetupConfig* cfg) {
    // An empty name would install into a degenerate folder or under the list
    // of uninstall entries; one with a path in it, somewhere else entirely.
    const wchar_t* value;
    if (const wchar_t* key = FindBadName(cfg, &value)) {
        wchar_t text[2 * kPathChars];
        if (value[0])  // at most 259 characters: it fits
            Format(text, L"Fail to install: setup.ini's %ls is no plain name: %ls", key, value);
        else
            Format(text, L"%ls", L"Fail to install: setup.ini names no install folder or application!");
        ReportFail(text);
        return kSetupFailed;
    }
    if (!PathsFit(pszSourceFolder, cfg)) {
        ReportFail(L"Fail to install: the path of the package, the install folder or a shortcut is too long!");
        return kSetupFailed;
    }
    const wchar_t* dir = cfg->szInstallFolder;
    wchar_t helper[kPathChars], appPath[kPathChars], uninstaller[kPathChars];
    if (!InstalledFile(dir, kHelperFileName, helper) || !InstalledFile(dir, cfg->szAppFileName, appPath) ||
        !Format(uninstaller, L"%ls\\%ls\\%ls", dir, kUninstallFolderName, kUninstallerName))
        return kSetupFailed;

    // The old service holds its files until the helper has stopped it.
    if (g_bNT6 && PathExists(helper))
        StopAndRemoveService(dir);
    CloseRunningApp(cfg->szAppName);
    SetupResult result = InstallFilesAndRegistry(pszSourceFolder, cfg);

    if (g_bNT6 && !InstallService(dir)) {
        ReportFail(L"Fail to install the service!");
        return kSetupFailed;
    }
    CreateDesktopShortcut(appPath, cfg->szAppName);
    CreateProgramsShortcut(cfg->szAppName, appPath, cfg->szAppName, nullptr);
    CreateProgramsShortcut(cfg->szAppName, uninstaller, L"Uninstall", L"delpkg");
    if (g_bNT6)
        LogStatus((DWORD)WriteCompatAssistantFlag(appPath), L"write value HKCU\\%ls\\%ls = 1", kCompatAssistantKey,
                  appPath);
    return result;
}

SetupResult SilentInstall(const wchar_t* pszSourceFolder) {
    SetupConfig cfg;
    ReadSetupConfig(pszSourceFolder, &cfg);
    SetupResult result = InstallPackage(pszSourceFolder, &cfg);
    // Started even after a failure, as the package asks.
    if (cfg.bLaunchAppInSilentMode)
        LaunchInstalledApp(pszSourceFolder, &cfg);
    return result;
}
