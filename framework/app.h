// Application object and command line: the small part of an application
// framework that this program needs, with the same names and roles.
#pragma once
#include <windows.h>

class CWnd;

class CCommandLineInfo {
public:
    virtual ~CCommandLineInfo() = default;
    // Called once per argument after the program name: the text without a
    // leading '-' or '/', whether one was there, and whether it is the last.
    virtual void ParseParam(const wchar_t* pszParam, BOOL bFlag, BOOL bLast);
};

class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // The entry point runs InitInstance; when it returns FALSE the process
    // ends with what ExitInstance returns. There is no message loop here.
    virtual BOOL InitInstance() { return FALSE; }
    virtual int ExitInstance() { return m_nExitCode; }

    void ParseCommandLine(CCommandLineInfo& info);
    // The same over an explicit argument vector (argv[0] is the program).
    static void ParseArguments(CCommandLineInfo& info, int argc, wchar_t** argv);

    HINSTANCE m_hInstance = nullptr;
    CWnd* m_pMainWnd = nullptr;
    int m_nExitCode = 0;  // what the base ExitInstance returns
};

CWinApp* AfxGetApp();
// The executable's module: where dialogs, bitmaps and icons come from.
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
// A message box captioned with the program's name (its file name without
// the extension), owned by the active window of this thread.
int AfxMessageBox(const wchar_t* pszText, UINT nType = MB_OK);
// Runs the one application object; used by the process entry point.
int AfxWinMain(HINSTANCE hInstance);
