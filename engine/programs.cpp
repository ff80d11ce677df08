#include "programs.h"

#include "bounded.h"
#include "setup_log.h"
#include "setup_paths.h"

namespace {

// How long CloseRunningApp waits for the window: first for WM_CLOSE to be
// handled (a hung window must not hang the setup), then for the window to
// go away. An application that ignores WM_CLOSE costs at most this long plus
// the fixed pause, and the setup goes on.
constexpr UINT kCloseSendTimeoutMs = 5000;
constexpr DWORD kCloseWaitMs = 5000;
constexpr DWORD kClosePollMs = 100;

// Starts the helper with one option; the program path is quoted, since the
// install folder usually holds a blank.
HANDLE LaunchHelper(const wchar_t* pszInstallFolder, const wchar_t* pszOption) {
    wchar_t cmd[kCmdChars];
    if (!pszInstallFolder[0] || !Format(cmd, L"\"%ls\\%ls\" %ls", pszInstallFolder, kHelperFileName, pszOption))
        return nullptr;
    // The helper is short-lived and keeps the class it has always had.
    return LaunchCommandLine(cmd, TRUE, REALTIME_PRIORITY_CLASS);
}

void CloseIfStarted(HANDLE hProcess) {
    if (hProcess)
        CloseHandle(hProcess);
}

}  // namespace

void (*g_pfnStarting)(const wchar_t* pszCommandLine, DWORD dwCreationFlags) = nullptr;

HANDLE LaunchCommandLine(const wchar_t* pszCommandLine, BOOL bShow, DWORD dwPriorityClass) {
    // CreateProcessW may write into the command line.
    wchar_t cmd[kCmdChars];
    if (!Format(cmd, L"%ls", pszCommandLine))
        return nullptr;
    STARTUPINFOW si;
    ZeroMemory(&si, sizeof(si));
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = bShow ? SW_SHOW : SW_HIDE;
    PROCESS_INFORMATION pi;
    ZeroMemory(&pi, sizeof(pi));
    if (g_pfnStarting)
        g_pfnStarting(pszCommandLine, dwPriorityClass);
    if (!LogResult(CreateProcessW(nullptr, cmd, nullptr, nullptr, FALSE, dwPriorityClass, nullptr, nullptr, &si, &pi),
                   L"start %ls", pszCommandLine))
        return nullptr;
    CloseHandle(pi.hThread);
    return pi.hProcess;
}

void StopAndRemoveService(const wchar_t* pszInstallFolder) {
    // Nothing waits for the helper; the pauses stand in, even when it did
    // not start.
    CloseIfStarted(LaunchHelper(pszInstallFolder, L"-k"));
    Sleep(1000);
    CloseIfStarted(LaunchHelper(pszInstallFolder, L"-u"));
    Sleep(1000);
}

BOOL InstallService(const wchar_t* pszInstallFolder) {
    HANDLE hProcess = LaunchHelper(pszInstallFolder, L"-i");
    if (!hProcess)
        return FALSE;
    CloseHandle(hProcess);
    return TRUE;
}

BOOL CloseRunningApp(const wchar_t* pszAppName) {
    // An empty title would match some unrelated untitled window.
    if (!pszAppName || !pszAppName[0])
        return TRUE;
    HWND hWnd = FindWindowW(nullptr, pszAppName);
    if (!hWnd)
        return TRUE;
    DWORD_PTR result = 0;
    SendMessageTimeoutW(hWnd, WM_CLOSE, 0, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG, kCloseSendTimeoutMs, &result);
    for (DWORD waited = 0; waited < kCloseWaitMs && FindWindowW(nullptr, pszAppName); waited += kClosePollMs)
        Sleep(kClosePollMs);
    // The window is gone before its process is; the pause lets the process
    // end and free its executable.
    Sleep(1000);
    BOOL closed = FindWindowW(nullptr, pszAppName) == nullptr;
    return LogStatus(closed ? 0 : ERROR_TIMEOUT, L"close the window \"%ls\"", pszAppName);
}

void LaunchInstalledApp(const wchar_t* pszSourceFolder, const SetupConfig* cfg) {
    SetupConfig config;
    if (cfg)
        config = *cfg;
    else
        ReadSetupConfig(pszSourceFolder, &config);
    if (!config.szInstallFolder[0] || !IsPlainName(config.szAppFileName))
        return;
    wchar_t cmd[kCmdChars];
    if (Format(cmd, L"\"%ls\\%ls\"", config.szInstallFolder, config.szAppFileName))
        // A long-running window: above normal, a busy loop in it would
        // starve input and the disk cache.
        CloseIfStarted(LaunchCommandLine(cmd, TRUE, NORMAL_PRIORITY_CLASS));
}

BOOL RestartWindows() {
    HANDLE hToken;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &hToken)) {
        TOKEN_PRIVILEGES tp = {1, {{{0, 0}, SE_PRIVILEGE_ENABLED}}};
        if (LookupPrivilegeValueW(nullptr, SE_SHUTDOWN_NAME, &tp.Privileges[0].Luid))
            LogResult(AdjustTokenPrivileges(hToken, FALSE, &tp, 0, nullptr, nullptr) && GetLastError() == 0,
                      L"enable %ls", SE_SHUTDOWN_NAME);
        CloseHandle(hToken);
    }
    const DWORD reason = SHTDN_REASON_MAJOR_APPLICATION | SHTDN_REASON_MINOR_INSTALLATION | SHTDN_REASON_FLAG_PLANNED;
    return LogResult(ExitWindowsEx(EWX_REBOOT, reason), L"restart Windows");
}
