#include "setup_app.h"

#include <wchar.h>

#include "../engine/config.h"
#include "../engine/flags.h"
#include "../engine/install.h"
#include "../engine/programs.h"
#include "../engine/setup_log.h"
#include "../wizard/setup_wizard_dlg.h"

const wchar_t kInstanceMutexName[] = L"VKP507_INSTALL";
const wchar_t kGlobalInstanceMutexName[] = L"Global\\VKP507_INSTALL";

void SetupCommandLineInfo::ParseParam(const wchar_t* pszParam, BOOL, BOOL) {
    if (lstrcmpiW(pszParam, L"delpkg") == 0)
        m_bDelPkg = TRUE;
    else if (lstrcmpiW(pszParam, L"s") == 0)
        m_bSilent = TRUE;
    else if (lstrcmpiW(pszParam, L"quiet") == 0)
        m_bQuiet = TRUE;
    else if (_wcsnicmp(pszParam, L"log=", 4) == 0)
        Format(m_szLogPath, L"%ls", pszParam + 4);
    ++m_nParamCount;
}

RunMode DecideRunMode(const SetupCommandLineInfo& info) {
    if (info.m_nParamCount > 0 && info.m_bDelPkg)
        return info.m_bQuiet ? RunMode::QuietUninstall : RunMode::UninstallWizard;
    if (info.m_nParamCount > 0 && info.m_bSilent)
        return info.m_bQuiet ? RunMode::QuietInstall : RunMode::SilentInstall;
    return RunMode::InstallWizard;
}

namespace {

// A procedure's end as the exit code and the log's last line tell it.
void EndWith(SetupApp* app, SetupResult result, BOOL bUninstall) {
    const int codes[] = {kExitInstallFailed, 0, kExitRestartNeeded};
    const wchar_t* const outcomes[2][3] = {
        {L"the installation failed", L"installed", L"installed; a restart is needed to complete it"},
        {L"the uninstallation left something behind", L"uninstalled",
         L"uninstalled; a restart is needed to complete it"}};
    app->m_nExitCode = codes[result];
    app->m_pszOutcome = outcomes[bUninstall ? 1 : 0][result];
}

// The procedures' failures, where someone may be at the screen; the calling
// thread waits until the box is dismissed.
void ShowFailBox(const wchar_t* pszText) { MessageBoxW(nullptr, pszText, L"Fail", MB_ICONEXCLAMATION); }

void LowerAscii(wchar_t* p) {
    for (; *p; ++p)
        if (*p >= L'A' && *p <= L'Z')
            *p = (wchar_t)(*p - L'A' + L'a');
}

// Setup runs from download folders, where anyone can leave a DLL named like
// one Windows loads late (uxtheme.dll, dwmapi.dll...). Libraries loaded from
// here on come from the system folder only; the language libraries are
// mapped as data by full path.
// Both are looked up: the oldest systems the 32-bit build runs on lack the
// first, and the very oldest the second, which a static import would then
// keep from starting at all.
void RestrictDllSearchToSystem() {
    typedef BOOL(WINAPI * SetDefaultDllDirectoriesFn)(DWORD);
    typedef BOOL(WINAPI * SetDllDirectoryFn)(LPCWSTR);
    HMODULE hKernel = GetModuleHandleW(L"kernel32.dll");
    auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(
        reinterpret_cast<void*>(GetProcAddress(hKernel, "SetDefaultDllDirectories")));
    if (setDefault && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32))
        return;
    // Older systems: at least take the current folder out of the search.
    auto setDirectory =
        reinterpret_cast<SetDllDirectoryFn>(reinterpret_cast<void*>(GetProcAddress(hKernel, "SetDllDirectoryW")));
    if (setDirectory)
        setDirectory(L"");
}

}  // namespace

BOOL SetupApp::InitInstance() {
    RestrictDllSearchToSystem();
    // Parsed first, so that the log, when asked for, tells of every ending.
    SetupCommandLineInfo cmdInfo;
    ParseCommandLine(cmdInfo);
    if (cmdInfo.m_szLogPath[0] && OpenSetupLog(cmdInfo.m_szLogPath))
        LogLine(L"start: %ls", GetCommandLineW());
    // Create-and-check, so that two copies started together cannot both
    // get in between an open and a create. The plain name is the one older
    // copies of setup know; the global one is seen from every session, a
    // service's in session 0 among them. One that exists but may not be
    // opened (another account's) is held all the same.
    const wchar_t* const names[] = {kInstanceMutexName, kGlobalInstanceMutexName};
    for (int i = 0; i < 2; ++i) {
        HANDLE hMutex = m_hInstanceMutex[i] = CreateMutexW(nullptr, FALSE, names[i]);
        DWORD status = GetLastError();
        if (status == (hMutex ? ERROR_ALREADY_EXISTS : ERROR_ACCESS_DENIED)) {
            m_nExitCode = kExitAnotherInstance;
            m_pszOutcome = L"another setup is running";
            return FALSE;
        }
    }

    wchar_t szModulePath[kPathChars];
    DWORD n = GetModuleFileNameW(m_hInstance, szModulePath, kPathChars);
    if (n == 0 || n >= (DWORD)kPathChars) {
        // A cut path would name another folder. Nothing was done, and a
        // deployment tool must not read that as success.
        m_nExitCode = kExitInstallFailed;
        m_pszOutcome = L"the program's own path is too long";
        return FALSE;
    }
    wchar_t szFolder[kPathChars];
    GetPathFolder(szModulePath, szFolder);
    LowerAscii(szModulePath);

    g_bWow64 = IsWow64();
    g_bNT6 = IsNT6();
    if (g_bNT6)
        WriteCompatAssistantFlag(szModulePath);

    RunMode mode = DecideRunMode(cmdInfo);
    if (mode != RunMode::QuietInstall && mode != RunMode::QuietUninstall)
        g_pfnShowFailure = ShowFailBox;
    if (mode == RunMode::SilentInstall || mode == RunMode::QuietInstall) {
        EndWith(this, SilentInstall(szFolder), FALSE);
        return FALSE;
    }
    if (mode == RunMode::QuietUninstall) {
        EndWith(this, QuietUninstall(szFolder), TRUE);
        return FALSE;
    }

    g_hLangModule = LoadLangResourceModule(szModulePath);
    if (!g_hLangModule) {
        m_pszOutcome = L"no language library: no wizard";
        return FALSE;
    }

    SetupWizardDlg dlg(szFolder, mode == RunMode::UninstallWizard ? 1 : 0, nullptr);
    m_pMainWnd = &dlg;
    INT_PTR result = dlg.DoModal();
    m_pMainWnd = nullptr;
    if (!dlg.m_bWorkerEnded) {
        m_nExitCode = kExitCancelled;
        m_pszOutcome = L"the wizard was cancelled";
        return FALSE;
    }
    EndWith(this, dlg.m_result, mode == RunMode::UninstallWizard);
    if (dlg.m_result == kSetupDone)
        m_pszOutcome = L"the wizard was finished";
    // The computer restarts only when the user chose it, with Finish.
    if (result == IDOK && dlg.m_bRestartNow && RestartWindows()) {
        m_nExitCode = kExitRestartStarted;
        m_pszOutcome = L"the restart that completes it was started";
    }
    if (result == IDOK && g_bLaunchApp)
        LaunchInstalledApp(szFolder, nullptr);
    return FALSE;
}

int SetupApp::ExitInstance() {
    for (HANDLE& hMutex : m_hInstanceMutex) {
        if (hMutex)
            CloseHandle(hMutex);
        hMutex = nullptr;
    }
    if (g_hLangModule) {
        FreeLibrary(g_hLangModule);
        g_hLangModule = nullptr;
    }
    int code = CWinApp::ExitInstance();
    LogLine(L"end: %ls; exit code %d", m_pszOutcome, code);
    CloseSetupLog();
    return code;
}
