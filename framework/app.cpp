#include "app.h"

#include <stdlib.h>

namespace {
CWinApp* g_pApp = nullptr;
}

void CCommandLineInfo::ParseParam(const wchar_t*, BOOL, BOOL) {}

CWinApp::CWinApp() { g_pApp = this; }

CWinApp::~CWinApp() {
    if (g_pApp == this)
        g_pApp = nullptr;
}

void CWinApp::ParseArguments(CCommandLineInfo& info, int argc, wchar_t** argv) {
    for (int i = 1; i < argc; ++i) {
        const wchar_t* p = argv[i];
        BOOL bFlag = FALSE;
        if (p[0] == L'-' || p[0] == L'/') {
            bFlag = TRUE;
            ++p;
        }
        info.ParseParam(p, bFlag, i + 1 == argc);
    }
}

void CWinApp::ParseCommandLine(CCommandLineInfo& info) { ParseArguments(info, __argc, __wargv); }

CWinApp* AfxGetApp() { return g_pApp; }

HINSTANCE AfxGetInstanceHandle() {
    if (g_pApp && g_pApp->m_hInstance)
        return g_pApp->m_hInstance;
    return GetModuleHandleW(nullptr);
}

HINSTANCE AfxGetResourceHandle() { return AfxGetInstanceHandle(); }

int AfxMessageBox(const wchar_t* pszText, UINT nType) {
    wchar_t szCaption[MAX_PATH];
    wchar_t* pszName = szCaption;
    DWORD n = GetModuleFileNameW(AfxGetInstanceHandle(), szCaption, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        n = 0;
    szCaption[n] = L'\0';
    wchar_t* pDot = nullptr;
    for (wchar_t* p = szCaption; *p; ++p) {
        if (*p == L'\\' || *p == L'/') {
            pszName = p + 1;
            pDot = nullptr;
        } else if (*p == L'.') {
            pDot = p;
        }
    }
    if (pDot)
        *pDot = L'\0';
    return MessageBoxW(GetActiveWindow(), pszText, pszName, nType);
}

int AfxWinMain(HINSTANCE hInstance) {
    CWinApp* app = AfxGetApp();
    if (!app)
        return -1;
    app->m_hInstance = hInstance;
    // No main frame and no message loop of its own: whatever InitInstance
    // returns, the run ends with ExitInstance.
    app->InitInstance();
    return app->ExitInstance();
}
