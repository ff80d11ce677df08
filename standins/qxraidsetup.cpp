// Stand-in for the managed application: one top-level window titled with the
// application name, closed by WM_CLOSE, started minimised by "min". It
// writes its own Cfg.QX beside itself when it runs.
//
// The name comes from the uninstaller's copy of setup.ini (Uninstall\setup.ini
// beside the executable), so that an installed copy bears the name the setup
// looks for; without it, the default name. With QXRAID_IGNORE_CLOSE=1 in its
// environment it ignores WM_CLOSE (for "a window that will not close").
#include <windows.h>
#include <shellapi.h>

namespace {

const wchar_t kDefaultName[] = L"Tarvex Array Console";
bool g_ignoreClose = false;

LRESULT CALLBACK WndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CLOSE:
        if (g_ignoreClose)
            return 0;
        DestroyWindow(hWnd);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hWnd, msg, wParam, lParam);
}

void OwnFolder(wchar_t (&folder)[MAX_PATH]) {
    DWORD n = GetModuleFileNameW(nullptr, folder, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) {
        folder[0] = L'\0';
        return;
    }
    wchar_t* slash = nullptr;
    for (wchar_t* p = folder; *p; ++p)
        if (*p == L'\\')
            slash = p;
    if (slash)
        slash[1] = L'\0';
    else
        folder[0] = L'\0';
}

bool Join(wchar_t (&out)[MAX_PATH], const wchar_t* a, const wchar_t* b) {
    if (lstrlenW(a) + lstrlenW(b) >= MAX_PATH)
        return false;
    lstrcpyW(out, a);
    lstrcatW(out, b);
    return true;
}

void WriteConfig(const wchar_t* folder, bool minimised) {
    wchar_t path[MAX_PATH];
    if (!Join(path, folder, L"Cfg.QX"))
        return;
    HANDLE h =
        CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return;
    const char* text = minimised ? "[Console]\r\nStarted=min\r\n" : "[Console]\r\nStarted=normal\r\n";
    DWORD written = 0;
    WriteFile(h, text, lstrlenA(text), &written, nullptr);
    CloseHandle(h);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE, LPWSTR, int nCmdShow) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    bool minimised = false;
    for (int i = 1; argv && i < argc; ++i)
        if (lstrcmpiW(argv[i], L"min") == 0)
            minimised = true;
    LocalFree(argv);

    wchar_t env[8];
    g_ignoreClose = GetEnvironmentVariableW(L"QXRAID_IGNORE_CLOSE", env, 8) > 0 && env[0] == L'1';

    wchar_t folder[MAX_PATH], ini[MAX_PATH], name[MAX_PATH];
    OwnFolder(folder);
    if (!folder[0] || !Join(ini, folder, L"Uninstall\\setup.ini") ||
        GetPrivateProfileStringW(L"Startup", L"AppName", kDefaultName, name, MAX_PATH, ini) == 0)
        lstrcpyW(name, kDefaultName);
    if (folder[0])
        WriteConfig(folder, minimised);

    WNDCLASSW wc = {};
    wc.lpfnWndProc = WndProc;
    wc.hInstance = hInstance;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = L"QXRaidConsoleWindow";
    if (!RegisterClassW(&wc))
        return 1;
    HWND hWnd = CreateWindowW(wc.lpszClassName, name, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 400, 240,
                              nullptr, nullptr, hInstance, nullptr);
    if (!hWnd)
        return 1;
    ShowWindow(hWnd, minimised ? SW_SHOWMINNOACTIVE : nCmdShow);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
