// The application object: single instance, command line, start-up flags,
// the language library and the choice between the three ways to run.
#pragma once
#include <windows.h>

#include "../engine/bounded.h"
#include "../framework/app.h"

class SetupCommandLineInfo : public CCommandLineInfo {
public:
    void ParseParam(const wchar_t* pszParam, BOOL bFlag, BOOL bLast) override;

    BOOL m_bDelPkg = FALSE;
    BOOL m_bSilent = FALSE;
    BOOL m_bQuiet = FALSE;
    wchar_t m_szLogPath[kPathChars] = {};  // "log=<path>"; empty when none, or too long
    int m_nParamCount = 0;
};

enum class RunMode { InstallWizard, UninstallWizard, SilentInstall, QuietInstall, QuietUninstall };

// "delpkg" wins over "s"; "quiet" takes the window away from either, and
// alone changes nothing; anything else (or nothing) is the install wizard.
RunMode DecideRunMode(const SetupCommandLineInfo& info);

// Conventional installer exit codes.
constexpr int kExitCancelled = 1602;        // the user cancelled before the work started
constexpr int kExitInstallFailed = 1603;    // fatal error during installation
constexpr int kExitAnotherInstance = 1618;  // another installation is in progress
constexpr int kExitRestartStarted = 1641;   // done; the restart that completes it was started
constexpr int kExitRestartNeeded = 3010;    // done once the computer restarts

extern const wchar_t kInstanceMutexName[], kGlobalInstanceMutexName[];

class SetupApp : public CWinApp {
public:
    BOOL InitInstance() override;
    int ExitInstance() override;

    // Loads the language library for the user's language from the lowered
    // module path, falling back to English; null when none loads.
    HMODULE LoadLangResourceModule(const wchar_t* pszModulePath);

    HANDLE m_hInstanceMutex[2] = {};         // the plain name, the global one
    const wchar_t* m_pszOutcome = L"ended";  // how the run ended, for the log's last line
};

// Loads "<module path up to .exe><ABBR>.DLL" for one language, or the ENU
// library beside it when that file does not exist.
HMODULE LoadLangResourceFor(const wchar_t* pszModulePath, LANGID langId);
