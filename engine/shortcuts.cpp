// Desktop and programs-menu shortcuts through the shell link object.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <wchar.h>

#include "bounded.h"
#include "programs.h"
#include "setup_log.h"
#include "setup_paths.h"

namespace {

// A shell folder that is not created when missing; FALSE when there is none.
BOOL ShellFolder(int csidl, wchar_t (&out)[kPathChars]) {
    out[0] = L'\0';
    return SHGetSpecialFolderPathW(nullptr, out, csidl, FALSE) && out[0];
}

// The application's folder in the all-users programs menu and one shortcut
// file in it.
BOOL ProgramsPaths(const wchar_t* pszMenuFolder, const wchar_t* pszName, wchar_t (&folder)[kPathChars],
                   wchar_t (&link)[kPathChars]) {
    wchar_t programs[kPathChars];
    return ShellFolder(CSIDL_COMMON_PROGRAMS, programs) && Format(folder, L"%ls\\%ls", programs, pszMenuFolder) &&
           Format(link, L"%ls\\%ls.lnk", folder, pszName);
}

BOOL DesktopLink(const wchar_t* pszName, wchar_t (&link)[kPathChars], int csidl = CSIDL_DESKTOPDIRECTORY) {
    wchar_t desktop[kPathChars];
    return ShellFolder(csidl, desktop) && Format(link, L"%ls\\%ls.lnk", desktop, pszName);
}

BOOL CommonDesktopLink(const wchar_t* pszName, wchar_t (&link)[kPathChars]) {
    return DesktopLink(pszName, link, CSIDL_COMMON_DESKTOPDIRECTORY);
}

// COM for the time of one shortcut operation; uninitialised only when this
// call initialised it, so that a caller's own apartment is left alone.
class ComScope {
public:
    ComScope() : m_hr(CoInitialize(nullptr)) {}
    ~ComScope() {
        if (SUCCEEDED(m_hr))
            CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    HRESULT m_hr;
};

// A shell link with its target set, and its persist-file interface; empty
// when any of the three steps failed.
class LinkObject {
public:
    explicit LinkObject(const wchar_t* pszTargetPath) : m_pszTarget(pszTargetPath) {
        HRESULT hr;
        if (FAILED(hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                         reinterpret_cast<void**>(&m_pLink)))) {
            m_pLink = nullptr;
        } else if (FAILED(hr = m_pLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&m_pFile)))) {
            m_pFile = nullptr;
            Release();
        } else if (FAILED(hr = m_pLink->SetPath(pszTargetPath))) {
            Release();
        }
        if (!Ok())
            LogStatus((DWORD)hr, L"make a shortcut to \"%ls\"", pszTargetPath);
    }
    ~LinkObject() { Release(); }
    LinkObject(const LinkObject&) = delete;
    LinkObject& operator=(const LinkObject&) = delete;

    BOOL Ok() const { return m_pLink && m_pFile; }
    void SetArguments(const wchar_t* pszArguments) {
        m_pLink->SetArguments(pszArguments);
        m_pszArgs = pszArguments;
    }
    void Save(const wchar_t* pszFile) {
        HRESULT hr = m_pFile->Save(pszFile, TRUE);
        LogStatus(SUCCEEDED(hr) ? 0 : (DWORD)hr, L"save shortcut \"%ls\" to \"%ls\"%ls%ls", pszFile, m_pszTarget,
                  m_pszArgs[0] ? L" " : L"", m_pszArgs);
    }

private:
    void Release() {
        if (m_pFile)
            m_pFile->Release();
        if (m_pLink)
            m_pLink->Release();
        m_pFile = nullptr;
        m_pLink = nullptr;
    }
    IShellLinkW* m_pLink = nullptr;
    IPersistFile* m_pFile = nullptr;
    const wchar_t* m_pszTarget;
    const wchar_t* m_pszArgs = L"";
};

// Whether a shortcut file's target lies inside the folder; a file that is
// no shortcut, or is not there, points nowhere.
BOOL LinkPointsInto(const wchar_t* pszLink, const wchar_t* pszFolder) {
    ComScope com;
    IShellLinkW* pLink = nullptr;
    IPersistFile* pFile = nullptr;
    wchar_t target[kPathChars] = L"", full[kPathChars] = L"", prefix[kPathChars];
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&pLink))) &&
        SUCCEEDED(pLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&pFile))) &&
        SUCCEEDED(pFile->Load(pszLink, STGM_READ)) && FAILED(pLink->GetPath(target, kPathChars, nullptr, SLGP_RAWPATH)))
        target[0] = L'\0';
    if (pFile)
        pFile->Release();
    if (pLink)
        pLink->Release();
    // Resolved first, so that a "..\" cannot lead back out of the folder.
    DWORD n = target[0] ? GetFullPathNameW(target, kPathChars, full, nullptr) : 0;
    return n && n < (DWORD)kPathChars && Format(prefix, L"%ls\\", pszFolder) &&
           _wcsnicmp(full, prefix, lstrlenW(prefix)) == 0;
}

}  // namespace

BOOL (*g_pfnRunsAsLocalSystem)() = TokenIsLocalSystem;

BOOL TokenIsLocalSystem() {
    HANDLE hToken;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &hToken))
        return FALSE;
    union {
        TOKEN_USER user;
        BYTE bytes[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
    } info;
    DWORD cb = 0;
    BOOL ok = GetTokenInformation(hToken, TokenUser, &info, sizeof(info), &cb) &&
              IsWellKnownSid(info.user.User.Sid, WinLocalSystemSid);
    CloseHandle(hToken);
    return ok;
}

BOOL ShortcutPathsFit(const wchar_t* pszAppName) {
    wchar_t shell[kPathChars], folder[kPathChars], link[kPathChars];
    return (!ShellFolder(CSIDL_DESKTOPDIRECTORY, shell) || DesktopLink(pszAppName, link)) &&
           (!ShellFolder(CSIDL_COMMON_DESKTOPDIRECTORY, shell) || CommonDesktopLink(pszAppName, link)) &&
           (!ShellFolder(CSIDL_COMMON_PROGRAMS, shell) || (ProgramsPaths(pszAppName, pszAppName, folder, link) &&
                                                           ProgramsPaths(pszAppName, L"Uninstall", folder, link)));
}

void CreateDesktopShortcut(const wchar_t* pszTargetPath, const wchar_t* pszName) {
    ComScope com;
    LinkObject link(pszTargetPath);
    if (!link.Ok())
        return;
    wchar_t file[kPathChars];
    if (!DesktopLink(pszName, file, g_pfnRunsAsLocalSystem() ? CSIDL_COMMON_DESKTOPDIRECTORY : CSIDL_DESKTOPDIRECTORY))
        return;
    if (PathExists(file))
        DeleteFileLogged(file);
    link.Save(file);
}

int DeleteDesktopShortcut(const wchar_t* pszName) {
    wchar_t file[kPathChars];
    if (!DesktopLink(pszName, file))
        return -1;
    BOOL deleted = DeleteFileW(file);
    LogRemoval(deleted ? 0 : GetLastError(), L"delete \"%ls\"", file);
    return deleted ? 0 : -1;
}

void DeleteCommonDesktopShortcut(const wchar_t* pszName, const wchar_t* pszInstallFolder) {
    wchar_t file[kPathChars];
    if (!CommonDesktopLink(pszName, file))
        return;
    if (LinkPointsInto(file, pszInstallFolder))
        DeleteFileLogged(file);
    else if (PathExists(file))
        LogLine(L"leave \"%ls\": it does not point into \"%ls\"", file, pszInstallFolder);
}

void CreateProgramsShortcut(const wchar_t* pszMenuFolder, const wchar_t* pszTargetPath, const wchar_t* pszName,
                            const wchar_t* pszArguments) {
    ComScope com;
    LinkObject link(pszTargetPath);
    if (!link.Ok())
        return;
    if (pszArguments)
        link.SetArguments(pszArguments);
    wchar_t folder[kPathChars], file[kPathChars];
    if (!ProgramsPaths(pszMenuFolder, pszName, folder, file))
        return;
    if (!PathExists(folder))
        CreateDirectoryW(folder, nullptr);
    else if (PathExists(file))
        DeleteProgramsShortcut(pszMenuFolder, pszName, FALSE);
    link.Save(file);
}

void DeleteProgramsShortcut(const wchar_t* pszMenuFolder, const wchar_t* pszName, BOOL bRemoveFolder) {
    wchar_t folder[kPathChars], file[kPathChars];
    if (!ProgramsPaths(pszMenuFolder, pszName, folder, file))
        return;
    DeleteFileLogged(file);
    if (bRemoveFolder)
        LogRemoval(RemoveDirectoryW(folder) ? 0 : GetLastError(), L"remove folder \"%ls\"", folder);
}

BOOL ShortcutsGone(const wchar_t* pszAppName, const wchar_t* pszInstallFolder) {
    wchar_t folder[kPathChars], link[kPathChars], uninstall[kPathChars], desktop[kPathChars], common[kPathChars];
    return ProgramsPaths(pszAppName, pszAppName, folder, link) && !PathExists(link) &&
           ProgramsPaths(pszAppName, L"Uninstall", folder, uninstall) && !PathExists(uninstall) &&
           DesktopLink(pszAppName, desktop) && !PathExists(desktop) &&
           (!CommonDesktopLink(pszAppName, common) || !LinkPointsInto(common, pszInstallFolder));
}
