#include "config.h"

#include <wchar.h>

#include "flags.h"

const wchar_t kIniFileName[] = L"setup.ini";
const wchar_t kSectionCustomized[] = L"Customized_Setting";
const wchar_t kSectionStartup[] = L"Startup";
const wchar_t kKeyAppName[] = L"AppName";
const wchar_t kDefaultAppName[] = L"Tarvex Array Console";

namespace {

// A null ini (its path would not fit) reads as a missing file: the default.
DWORD ProfileString(const wchar_t* ini, const wchar_t* section, const wchar_t* key, const wchar_t* def,
                    wchar_t (&value)[kPathChars]) {
    if (!ini) {
        lstrcpynW(value, def, kPathChars);
        return (DWORD)lstrlenW(value);
    }
    return GetPrivateProfileStringW(section, key, def, value, kPathChars, ini);
}

// Reads one string key into field when the read gave at least one character.
void ReadString(const wchar_t* ini, const wchar_t* section, const wchar_t* key, const wchar_t* def,
                wchar_t (&field)[kPathChars]) {
    wchar_t value[kPathChars];
    if (ProfileString(ini, section, key, def, value) > 0)
        lstrcpynW(field, value, kPathChars);
}

}  // namespace

BOOL IsPlainName(const wchar_t* pszName) {
    const int len = lstrlenW(pszName);
    // "." and ".." end in a dot.
    if (len == 0 || pszName[len - 1] == L'.' || pszName[len - 1] == L' ')
        return FALSE;
    for (const wchar_t* p = pszName; *p; ++p)
        if (*p < L' ' || wcschr(L"\\/:*?\"<>|", *p))
            return FALSE;
    return TRUE;
}

const wchar_t* FindBadName(const SetupConfig* cfg, const wchar_t** ppszValue) {
    const wchar_t* const names[][2] = {
        {L"APPFolderName", cfg->szAppFolderName}, {kKeyAppName, cfg->szAppName}, {L"APPFileName", cfg->szAppFileName}};
    for (const auto& name : names) {
        if (!IsPlainName(name[1])) {
            if (ppszValue)
                *ppszValue = name[1];
            return name[0];
        }
    }
    return nullptr;
}

int GetPathFolder(const wchar_t* pszPath, wchar_t* pszOut) {
    int len = lstrlenW(pszPath);
    for (int i = len - 1; i >= 0; --i) {
        if (pszPath[i] == L'\\') {
            CopyMemory(pszOut, pszPath, (i + 1) * sizeof(wchar_t));
            pszOut[i + 1] = L'\0';
            return i;
        }
    }
    pszOut[0] = L'\0';
    return -1;
}

BOOL ComposeInstallFolder(const wchar_t* pszWindowsDir, BOOL bWow64, const wchar_t* pszAppFolderName,
                          wchar_t (&out)[kPathChars]) {
    wchar_t parent[kPathChars];
    if (lstrlenW(pszWindowsDir) >= kPathChars) {
        out[0] = L'\0';
        return FALSE;
    }
    GetPathFolder(pszWindowsDir, parent);
    const wchar_t* programFiles = bWow64 ? L"Program Files (x86)" : L"Program Files";
    return Format(out, L"%ls%ls\\%ls", parent, programFiles, pszAppFolderName);
}

void ReadSetupConfig(const wchar_t* pszFolder, SetupConfig* cfg) {
    ZeroMemory(cfg, sizeof(*cfg));
    wchar_t iniPath[kPathChars];
    // Never a cut path: a relative "setup.ini" would be looked for in the
    // Windows folder instead.
    const wchar_t* src = Format(iniPath, L"%ls%ls", pszFolder, kIniFileName) ? iniPath : nullptr;

    wchar_t folderName[kPathChars];
    if (ProfileString(src, kSectionCustomized, L"APPFolderName", L"VKP709", folderName) > 0) {
        lstrcpynW(cfg->szAppFolderName, folderName, kPathChars);
        wchar_t windowsDir[kPathChars];
        UINT n = GetWindowsDirectoryW(windowsDir, kPathChars);
        if (n > 0 && n < (UINT)kPathChars && IsPlainName(folderName))
            ComposeInstallFolder(windowsDir, g_bWow64, cfg->szAppFolderName, cfg->szInstallFolder);
    }
    ReadString(src, kSectionCustomized, L"APPFileName", L"QXRaidSetup.exe", cfg->szAppFileName);
    ReadString(src, kSectionStartup, kKeyAppName, kDefaultAppName, cfg->szAppName);
    ReadString(src, kSectionStartup, L"CompanyName", L"Tarvex Technology Corp.", cfg->szCompanyName);
    ReadString(src, kSectionStartup, L"Version", L"1.00.00", cfg->szVersion);
    cfg->bLaunchAppInSilentMode =
        src && GetPrivateProfileIntW(kSectionCustomized, L"LaunchAPInSilentMode", 0, src) != 0;
}
