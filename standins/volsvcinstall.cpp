// Stand-in for the service setup helper: records its one option ("-i", "-k"
// or "-u") as a line of VolSvcInstall.log beside itself, then exits. Exit
// code 0 for a known option, 2 otherwise.
#include <windows.h>
#include <shellapi.h>

namespace {

// The log beside the executable: its path with the extension replaced.
bool LogPath(wchar_t (&path)[MAX_PATH]) {
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH - 4)
        return false;
    wchar_t* dot = nullptr;
    for (wchar_t* p = path; *p; ++p) {
        if (*p == L'.')
            dot = p;
        else if (*p == L'\\')
            dot = nullptr;
    }
    if (!dot)
        dot = path + n;
    lstrcpyW(dot, L".log");
    return true;
}

// Appends one line; retries for a while when another copy holds the file.
void AppendLine(const wchar_t* path, const wchar_t* text) {
    char line[256];
    int len = WideCharToMultiByte(CP_UTF8, 0, text, -1, line, sizeof(line) - 2, nullptr, nullptr);
    if (len <= 0)
        return;
    len -= 1;
    line[len++] = '\r';
    line[len++] = '\n';
    for (int attempt = 0; attempt < 50; ++attempt) {
        HANDLE h =
            CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            WriteFile(h, line, (DWORD)len, &written, nullptr);
            CloseHandle(h);
            return;
        }
        Sleep(20);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    const wchar_t* option = (argv && argc == 2) ? argv[1] : L"(bad arguments)";
    wchar_t log[MAX_PATH];
    if (LogPath(log))
        AppendLine(log, option);
    bool known = lstrcmpW(option, L"-i") == 0 || lstrcmpW(option, L"-k") == 0 || lstrcmpW(option, L"-u") == 0;
    LocalFree(argv);
    return known ? 0 : 2;
}
