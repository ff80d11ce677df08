#include "setup_paths.h"

#include <wchar.h>

#include "flags.h"
#include "setup_log.h"

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

BOOL IsFileInUse(const wchar_t* pszPath) {
    DWORD attributes = GetFileAttributesW(pszPath);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return FALSE;
    // Sharing every way, an open for writing is refused only by another
    // process's handle or a running image.
    HANDLE h = CreateFileW(pszPath, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        CloseHandle(h);
        return FALSE;
    }
    DWORD status = GetLastError();
    return status == ERROR_SHARING_VIOLATION || status == ERROR_LOCK_VIOLATION;
}

FileFate PlaceFile(const wchar_t* pszSource, const wchar_t* pszTarget) {
    if (CopyFileW(pszSource, pszTarget, FALSE)) {
        LogResult(TRUE, L"copy \"%ls\" to \"%ls\"", pszSource, pszTarget);
        return FileFate::Done;
    }
    DWORD status = GetLastError();
    wchar_t folder[kPathChars], temp[kPathChars] = L"";
    wchar_t* name = Format(folder, L"%ls", pszTarget) ? wcsrchr(folder, L'\\') : nullptr;
    if (name && IsFileInUse(pszTarget)) {
        *name = L'\0';
        // In the same folder, so that the move at the restart is a rename.
        if (GetTempFileNameW(folder, L"stp", 0, temp) && CopyFileW(pszSource, temp, FALSE) &&
            MoveFileExW(temp, pszTarget, MOVEFILE_DELAY_UNTIL_REBOOT | MOVEFILE_REPLACE_EXISTING)) {
            LogLine(L"copy \"%ls\" to \"%ls\": in use, replaced at the restart by \"%ls\"", pszSource, pszTarget, temp);
            return FileFate::AtRestart;
        }
        status = GetLastError();
        if (temp[0])
            DeleteFileW(temp);
    }
    LogStatus(status, L"copy \"%ls\" to \"%ls\"", pszSource, pszTarget);
    return FileFate::Failed;
}

FileFate RemoveFile(const wchar_t* pszPath) {
    DWORD status = DeleteFileW(pszPath) ? 0 : GetLastError();
    if (status != 0 && IsFileInUse(pszPath) && MoveFileExW(pszPath, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) {
        LogLine(L"delete \"%ls\": in use, deleted at the restart", pszPath);
        return FileFate::AtRestart;
    }
    return LogRemoval(status, L"delete \"%ls\"", pszPath) ? FileFate::Done : FileFate::Failed;
}
