// The one harness of the tests. They run inside the build tree's Wine world
// and read everything back for real: the package, processes, files, the
// registry, shortcuts, windows and the pixels on the screen.
#pragma once
#include <windows.h>
#include <oleacc.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <shobjidl.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>

#include <algorithm>
#include <string>
#include <vector>

#include <doctest/doctest.h>

// --- Text, paths and arguments ----------------------------------------------

inline std::string Narrow(const std::wstring& w) {
    int n = WideCharToMultiByte(CP_UTF8, 0, w.c_str(), (int)w.size(), nullptr, 0, nullptr, nullptr);
    std::string s(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.c_str(), (int)w.size(), &s[0], n, nullptr, nullptr);
    return s;
}

inline std::wstring Widen(const std::string& s) {
    int n = MultiByteToWideChar(CP_UTF8, 0, s.c_str(), (int)s.size(), nullptr, 0);
    std::wstring w(n, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, s.c_str(), (int)s.size(), &w[0], n);
    return w;
}

// A to Z only, as setup.exe lowers.
inline std::wstring Lower(std::wstring s) {
    for (auto& c : s)
        c = (c >= L'A' && c <= L'Z') ? (wchar_t)(c - L'A' + L'a') : c;
    return s;
}

inline std::wstring Q(const std::wstring& path) { return L"\"" + path + L"\""; }

// A Unix path from the environment as a Windows path (Z:\...).
inline std::wstring EnvPath(const char* var) {
    std::wstring w = getenv(var) ? L"Z:" + Widen(getenv(var)) : L"";
    std::replace(w.begin(), w.end(), L'/', L'\\');
    return w;
}
inline std::wstring BuildDir() { return EnvPath("SETUP_BUILD_DIR"); }
inline std::wstring PackageDir() { return BuildDir() + L"\\package\\"; }

// --- Processes --------------------------------------------------------------

template <typename Pred>
bool WaitUntil(Pred pred, DWORD timeoutMs, DWORD pollMs = 20) {
    for (DWORD start = GetTickCount();; Sleep(pollMs)) {
        if (pred())
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
    }
}

// A started process; one still running when it goes out of scope is ended,
// so that a failed check leaves nothing behind for the next test.
struct Proc {
    HANDLE h = nullptr;
    DWORD pid = 0;
    explicit Proc(const std::wstring& commandLine) {
        std::wstring buf = commandLine;
        STARTUPINFOW si = {};
        si.cb = sizeof(si);
        PROCESS_INFORMATION pi = {};
        if (CreateProcessW(nullptr, &buf[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
            CloseHandle(pi.hThread);
            h = pi.hProcess;
            pid = pi.dwProcessId;
        }
    }
    ~Proc() {
        Kill();
        if (h)
            CloseHandle(h);
    }
    Proc(const Proc&) = delete;
    Proc& operator=(const Proc&) = delete;
    bool Running() const { return h && WaitForSingleObject(h, 0) == WAIT_TIMEOUT; }
    // The exit code, or 999 when it did not end within the time.
    DWORD Wait(DWORD timeoutMs = 60000) {
        DWORD code = 999;
        if (h && WaitForSingleObject(h, timeoutMs) == WAIT_OBJECT_0)
            GetExitCodeProcess(h, &code);
        return code;
    }
    void Kill() {
        if (Running() && TerminateProcess(h, 999))
            WaitForSingleObject(h, 5000);
    }
};

// Starts a command line and waits; 999 when it did not start or end.
inline DWORD Run(const std::wstring& commandLine, DWORD timeoutMs = 120000) {
    return Proc(commandLine).Wait(timeoutMs);
}

// For its lifetime, Wine reports this Windows version ("winxp64", "win7") to
// programs of that file name, so that a test of another version's paths
// needs no prefix of its own.
struct WinVersionFor {
    std::wstring key;
    WinVersionFor(const std::wstring& exeName, const wchar_t* version)
        : key(L"Software\\Wine\\AppDefaults\\" + exeName) {
        RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), L"Version", REG_SZ, version,
                        (DWORD)((wcslen(version) + 1) * sizeof(wchar_t)));
    }
    ~WinVersionFor() { SHDeleteKeyW(HKEY_CURRENT_USER, key.c_str()); }
};

// --- Files ------------------------------------------------------------------

// Names in a folder, sorted; folders end with '\'.
inline std::vector<std::wstring> ListFolder(std::wstring dir) {
    if (dir.empty() || dir.back() != L'\\')
        dir += L'\\';
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((dir + L"*").c_str(), &fd);
    for (BOOL more = h != INVALID_HANDLE_VALUE; more; more = FindNextFileW(h, &fd))
        if (lstrcmpW(fd.cFileName, L".") && lstrcmpW(fd.cFileName, L".."))
            names.push_back(fd.cFileName + std::wstring(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY ? L"\\" : L""));
    if (h != INVALID_HANDLE_VALUE)
        FindClose(h);
    std::sort(names.begin(), names.end());
    return names;
}

// The shell's copy and delete of whole trees, asking nothing.
inline void ShellTree(UINT op, const std::wstring& from, const std::wstring& to = L"") {
    std::wstring f = from + L'\0', t = to + L'\0';
    const FILEOP_FLAGS quiet = FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR | FOF_NOERRORUI | FOF_SILENT;
    SHFILEOPSTRUCTW fo = {nullptr, op, f.c_str(), t.c_str(), quiet, FALSE, nullptr, nullptr};
    SHFileOperationW(&fo);
}
inline void DeleteTree(const std::wstring& path) {
    ShellTree(FO_DELETE, path.back() == L'\\' ? path.substr(0, path.size() - 1) : path);
}
inline void CopyTree(const std::wstring& from, const std::wstring& to) { ShellTree(FO_COPY, from + L"*", to); }

// A fresh, empty folder below the prefix's temporary folder; ends with '\'.
inline std::wstring FreshDir(const wchar_t* name) {
    wchar_t tmp[MAX_PATH];
    GetTempPathW(MAX_PATH, tmp);
    std::wstring dir = std::wstring(tmp) + L"setuptest " + name + L"\\";
    DeleteTree(dir);
    CreateDirectoryW(dir.c_str(), nullptr);
    return dir;
}

inline bool FileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
inline bool CopyInto(const std::wstring& src, const std::wstring& dst) {
    return CopyFileW(src.c_str(), dst.c_str(), FALSE);
}
inline ULONGLONG FileSize(const std::wstring& path) {
    struct _stat64 st;
    return _wstat64(path.c_str(), &st) == 0 ? st.st_size : 0;
}

inline bool WriteFileText(const std::wstring& path, const std::string& bytes) {
    FILE* f = _wfopen(path.c_str(), L"wb");
    bool ok = f && fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return f && !fclose(f) && ok;
}

// Lines ended by CR LF (the last one may lack them).
inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    for (size_t start = 0, end; start < text.size(); start = end + 2) {
        end = std::min(text.find("\r\n", start), text.size());
        lines.push_back(text.substr(start, end - start));
    }
    return lines;
}

inline std::string ReadFileText(const std::wstring& path) {
    std::string s;
    char buf[4096];
    FILE* f = _wfopen(path.c_str(), L"rb");
    for (size_t n; f && (n = fread(buf, 1, sizeof(buf), f)) > 0;)
        s.append(buf, n);
    if (f)
        fclose(f);
    return s;
}

// --- Registry ---------------------------------------------------------------

inline bool RegRead(HKEY root, const std::wstring& key, const std::wstring& value, DWORD* type,
                    std::vector<BYTE>* data) {
    DWORD cb = 8192;
    data->resize(cb);
    bool ok = SHGetValueW(root, key.c_str(), value.c_str(), type, data->data(), &cb) == ERROR_SUCCESS;
    data->resize(ok ? cb : 0);
    return ok;
}

// A REG_SZ value stored with its terminator and nothing after it, else
// "<none>".
inline std::wstring RegStr(HKEY root, const std::wstring& key, const std::wstring& value) {
    DWORD type = 0;
    std::vector<BYTE> d;
    if (!RegRead(root, key, value, &type, &d) || type != REG_SZ || d.size() < 2 || d.size() % 2)
        return L"<none>";
    std::wstring s(reinterpret_cast<const wchar_t*>(d.data()), d.size() / 2);
    return s.find(L'\0') == s.size() - 1 ? s.substr(0, s.size() - 1) : L"<none>";
}

// A REG_DWORD value, else -1.
inline long long RegDword(HKEY root, const std::wstring& key, const std::wstring& value) {
    DWORD type = 0;
    std::vector<BYTE> d;
    return RegRead(root, key, value, &type, &d) && type == REG_DWORD && d.size() == 4 ? (long long)*(DWORD*)d.data()
                                                                                      : -1;
}

inline bool RegHasValue(HKEY root, const std::wstring& key, const std::wstring& value) {
    return SHGetValueW(root, key.c_str(), value.c_str(), nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

// The number of values of a key, or -1 when there is no such key.
inline int RegValueCount(HKEY root, const std::wstring& key) {
    HKEY h;
    DWORD n = 0;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS)
        return -1;
    RegQueryInfoKeyW(h, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &n, nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(h);
    return (int)n;
}

// --- Shell ------------------------------------------------------------------

inline std::wstring ShellFolder(int csidl) {
    wchar_t buf[MAX_PATH] = {};
    SHGetSpecialFolderPathW(nullptr, buf, csidl, FALSE);
    return buf;
}

// A shortcut read back through IShellLinkW: "target|arguments" with the
// target lowered, or "<none>".
inline std::wstring Shortcut(const std::wstring& lnkPath) {
    HRESULT init = CoInitialize(nullptr);
    std::wstring result = L"<none>";
    IShellLinkW* link = nullptr;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&link))) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
        SUCCEEDED(file->Load(lnkPath.c_str(), STGM_READ))) {
        wchar_t target[MAX_PATH] = {}, args[1024] = {};
        link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH);
        link->GetArguments(args, 1024);
        result = Lower(target) + L"|" + args;
    }
    if (file)
        file->Release();
    if (link)
        link->Release();
    if (SUCCEEDED(init))
        CoUninitialize();
    return result;
}

// --- Windows and input ------------------------------------------------------

inline std::wstring TextOf(HWND hWnd) {
    DWORD_PTR len = 0, got = 0;
    if (!SendMessageTimeoutW(hWnd, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 5000, &len))
        return L"";
    std::vector<wchar_t> buf(len + 1);
    SendMessageTimeoutW(hWnd, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()), SMTO_NORMAL, 5000, &got);
    return std::wstring(buf.data(), got);
}

struct WindowQuery {
    DWORD pid;
    const wchar_t *cls, *title;
    HWND found;
};
inline BOOL CALLBACK MatchWindow(HWND h, LPARAM p) {
    auto* q = reinterpret_cast<WindowQuery*>(p);
    DWORD owner = 0;
    wchar_t name[256];
    GetWindowThreadProcessId(h, &owner);
    GetClassNameW(h, name, 256);
    if (!IsWindowVisible(h) || (q->pid && owner != q->pid) || (q->cls && lstrcmpW(name, q->cls)) ||
        (q->title && TextOf(h) != q->title))
        return TRUE;
    q->found = h;
    return FALSE;
}

// A visible top-level window of the process (0: any) with that class and
// title (null: any), waited for; null when none came.
inline HWND WaitForWindow(DWORD pid, const wchar_t* cls, const wchar_t* title, DWORD timeoutMs = 30000) {
    WindowQuery q = {pid, cls, title, nullptr};
    WaitUntil([&] { return EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&q)), q.found != nullptr; }, timeoutMs);
    return q.found;
}

// The first visible top-level window the process shows before it ends; null
// when it ended (or the time ran out) without one.
inline HWND WindowBeforeExit(const Proc& p, DWORD timeoutMs = 60000) {
    WindowQuery q = {p.pid, nullptr, nullptr, nullptr};
    WaitUntil([&] { return EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&q)), q.found || !p.Running(); },
              timeoutMs);
    return q.found;
}

// Ends every other process that owns a window of that title.
inline void EndWindowProcesses(const std::wstring& title) {
    DWORD pid = 0;
    for (HWND h; (h = FindWindowW(nullptr, title.c_str())) && GetWindowThreadProcessId(h, &pid) &&
                 pid != GetCurrentProcessId();) {
        HANDLE owner = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
        if (!owner || !TerminateProcess(owner, 1) || WaitForSingleObject(owner, 5000) != WAIT_OBJECT_0 ||
            !WaitUntil([&] { return !IsWindow(h); }, 2000))
            break;
        CloseHandle(owner);
    }
}

struct Ctl {
    bool visible = false;
    RECT rc{};  // in the parent's client coordinates
    std::wstring text;
};
inline Ctl Control(HWND hParent, int id) {
    Ctl c;
    HWND h = GetDlgItem(hParent, id);
    if (!h)
        return c;
    c.visible = (GetWindowLongW(h, GWL_STYLE) & WS_VISIBLE) != 0;
    GetWindowRect(h, &c.rc);
    MapWindowPoints(nullptr, hParent, reinterpret_cast<POINT*>(&c.rc), 2);
    c.text = TextOf(h);
    return c;
}

// The real mouse and keyboard, in screen coordinates.
inline void MouseMoveTo(POINT screen) {
    mouse_event(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, (screen.x * 65535) / (GetSystemMetrics(SM_CXSCREEN) - 1),
                (screen.y * 65535) / (GetSystemMetrics(SM_CYSCREEN) - 1), 0, 0);
    Sleep(30);
}
inline void MoveMouseAway() { MouseMoveTo(POINT{2, 2}); }
// A click on the centre of a control.
inline void ClickControl(HWND hParent, int id) {
    Ctl c = Control(hParent, id);
    POINT pt = {(c.rc.left + c.rc.right) / 2, (c.rc.top + c.rc.bottom) / 2};
    ClientToScreen(hParent, &pt);
    MouseMoveTo(pt);
    mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
    mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    Sleep(30);
}

// A key press: the low byte's key, with the high byte's (VK_MENU, VK_SHIFT...)
// held meanwhile when there is one.
inline void PressKey(WORD keys) {
    if (HIBYTE(keys))
        keybd_event(HIBYTE(keys), 0, 0, 0);
    keybd_event(LOBYTE(keys), 0, 0, 0);
    keybd_event(LOBYTE(keys), 0, KEYEVENTF_KEYUP, 0);
    if (HIBYTE(keys))
        keybd_event(HIBYTE(keys), 0, KEYEVENTF_KEYUP, 0);
    Sleep(50);
}

// The message of a message box: its static with id 0xFFFF, as on Windows.
inline std::wstring MessageBoxText(HWND hBox) { return TextOf(GetDlgItem(hBox, 0xFFFF)); }

// Watches, on a thread of its own, for message boxes with that caption in
// any process of the prefix and dismisses each with OK; Stop() gives their
// texts.
class BoxWatcher {
public:
    explicit BoxWatcher(const wchar_t* caption = L"Fail")
        : m_caption(caption), m_thread(CreateThread(nullptr, 0, Watch, this, 0, nullptr)) {}
    ~BoxWatcher() { Stop(); }
    std::vector<std::string> Stop() {
        m_stop = 1;
        if (m_thread && WaitForSingleObject(m_thread, INFINITE) == WAIT_OBJECT_0 && CloseHandle(m_thread))
            m_thread = nullptr;
        return m_texts;
    }

private:
    static DWORD WINAPI Watch(void* param) {
        auto* self = static_cast<BoxWatcher*>(param);
        for (; !self->m_stop; Sleep(50)) {
            HWND box = FindWindowW(L"#32770", self->m_caption.c_str());
            // Shown only once its texts are in place.
            if (!box || !WaitUntil([&] { return IsWindowVisible(box) != FALSE; }, 2000))
                continue;
            self->m_texts.push_back(Narrow(MessageBoxText(box)));
            PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            WaitUntil([&] { return !IsWindow(box); }, 5000);
        }
        return 0;
    }
    std::wstring m_caption;
    std::vector<std::string> m_texts;
    volatile LONG m_stop = 0;
    HANDLE m_thread;
};

// --- Accessibility ----------------------------------------------------------

// What a screen reader hears of a window's client, asked across processes as
// it asks (Active Accessibility); act: its default action done first.
struct Heard {
    std::wstring name, action;
    long role = -1, state = -1;
    bool acted = false;
};
inline Heard Hear(HWND h, bool act = false) {
    static const HRESULT com = CoInitialize(nullptr);
    Heard r;
    IAccessible* a = nullptr;
    VARIANT self = {}, v = {};
    BSTR s[2] = {};
    if (FAILED(com) || FAILED(AccessibleObjectFromWindow(h, OBJID_CLIENT, __uuidof(IAccessible), (void**)&a)))
        return r;
    self.vt = VT_I4;
    r.acted = act && a->accDoDefaultAction(self) == S_OK;
    r.role = a->get_accRole(self, &v) == S_OK && v.vt == VT_I4 ? v.lVal : -1;
    r.state = a->get_accState(self, &v) == S_OK && v.vt == VT_I4 ? v.lVal : -1;
    r.name = a->get_accName(self, &s[0]) == S_OK && s[0] ? s[0] : L"";
    r.action = a->get_accDefaultAction(self, &s[1]) == S_OK && s[1] ? s[1] : L"";
    return SysFreeString(s[0]), SysFreeString(s[1]), a->Release(), r;
}

inline bool Pump() {  // this thread's messages, handled
    for (MSG m; PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE);)
        DispatchMessageW(&m);
    return true;
}

// The events of a process's controls' clients, heard out of context as a
// screen reader hears them (through this thread's messages).
struct Listener {
    static inline std::vector<std::pair<DWORD, HWND>> heard;
    HWINEVENTHOOK hook;
    explicit Listener(DWORD pid)
        : hook(SetWinEventHook(EVENT_OBJECT_STATECHANGE, EVENT_OBJECT_NAMECHANGE, nullptr, On, pid, 0,
                               WINEVENT_OUTOFCONTEXT)) {}
    ~Listener() { UnhookWinEvent(hook), heard.clear(); }
    static void CALLBACK On(HWINEVENTHOOK, DWORD event, HWND h, LONG object, LONG child, DWORD, DWORD) {
        if (object == OBJID_CLIENT && child == CHILDID_SELF)
            heard.push_back({event, h});
    }
    long Count(DWORD event, HWND h) {  // once there is one, or after a while
        auto n = [&] { return Pump() ? (long)std::count(heard.begin(), heard.end(), std::make_pair(event, h)) : 0; };
        return WaitUntil([&] { return n() > 0; }, 5000), n();
    }
};

// --- An installation and where it lands -------------------------------------

constexpr wchar_t kCompatKey[] =
    L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Compatibility Assistant\\Persisted";

// setup.ini's names of an installation: folder, application, executable.
struct AppNames {
    std::wstring folder, app, file = L"QXRaidSetup.exe";
};

inline std::wstring RegBase(bool wow64) {
    return wow64 ? L"SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\"
                 : L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\";
}
// No trailing '\'.
inline std::wstring InstallDirOf(const AppNames& n, bool wow64 = false) {
    return ShellFolder(wow64 ? CSIDL_PROGRAM_FILESX86 : CSIDL_PROGRAM_FILES) + L"\\" + n.folder;
}
inline std::wstring UninstallKeyOf(const AppNames& n, bool wow64 = false) {
    return RegBase(wow64) + L"Uninstall\\" + n.folder;
}
inline std::wstring RunKeyOf(bool wow64 = false) { return RegBase(wow64) + L"Run"; }
inline std::wstring DesktopLinkOf(const std::wstring& name, bool allUsers = false) {
    return ShellFolder(allUsers ? CSIDL_COMMON_DESKTOPDIRECTORY : CSIDL_DESKTOPDIRECTORY) + L"\\" + name + L".lnk";
}
inline std::wstring ProgramsFolderOf(const std::wstring& appName) {
    return ShellFolder(CSIDL_COMMON_PROGRAMS) + L"\\" + appName;
}

inline std::string IniFor(const AppNames& n, bool launchAfterSilentInstall = false) {
    return "[Customized_Setting]\r\nAPPFolderName=" + Narrow(n.folder) + "\r\nAPPFileName=" + Narrow(n.file) +
           "\r\nLaunchAPInSilentMode=" + (launchAfterSilentInstall ? "1" : "0") +
           "\r\n\r\n[Startup]\r\nAppName=" + Narrow(n.app) +
           "\r\nCompanyName=Tarvex Technology Corp.\r\nVersion=2.10.07\r\n";
}

// Ends the application's processes and removes every trace of an
// installation under these names, in both registry views.
inline void Scrub(const AppNames& n) {
    REQUIRE((!n.folder.empty() && !n.app.empty()));  // else Program Files and the whole menu would go
    EndWindowProcesses(n.app);
    for (bool wow64 : {false, true}) {
        DeleteTree(InstallDirOf(n, wow64));
        SHDeleteKeyW(HKEY_LOCAL_MACHINE, UninstallKeyOf(n, wow64).c_str());
        SHDeleteValueW(HKEY_LOCAL_MACHINE, RunKeyOf(wow64).c_str(), n.app.c_str());
        SHDeleteValueW(HKEY_CURRENT_USER, kCompatKey, Lower(InstallDirOf(n, wow64) + L"\\" + n.file).c_str());
    }
    DeleteFileW(DesktopLinkOf(n.app).c_str()), DeleteFileW(DesktopLinkOf(n.app, true).c_str());
    DeleteTree(ProgramsFolderOf(n.app));
}

// A copy of the built package in a fresh folder (its name may hold blanks)
// with this setup.ini (none when empty) and without the named files of its
// Application folder; ends with '\'.
inline std::wstring CopyPackage(const wchar_t* name, const std::string& ini,
                                std::initializer_list<const wchar_t*> withoutApp = {}) {
    std::wstring dir = FreshDir(name);
    CopyTree(PackageDir(), dir);
    DeleteFileW((dir + L"setup.ini").c_str());
    if (!ini.empty())
        WriteFileText(dir + L"setup.ini", ini);
    for (const wchar_t* f : withoutApp)
        DeleteFileW((dir + L"Application\\" + f).c_str());
    return dir;
}

// The service helper stand-in's log beside it, one option a line, waited
// for until it holds at least `count` lines (setup does not wait for it).
inline std::vector<std::string> HelperLog(const std::wstring& installDir, size_t count = 0) {
    std::vector<std::string> lines;
    WaitUntil([&] { return (lines = Lines(ReadFileText(installDir + L"\\VolSvcInstall.log"))).size() >= count; },
              count ? 10000 : 0);
    return lines;
}

// --- Pixels -----------------------------------------------------------------

// 0x00RRGGBB, top-down.
struct Image {
    int w = 0, h = 0;
    std::vector<uint32_t> px;
    uint32_t At(int x, int y) const { return px[(size_t)y * w + x]; }
};

// The pixels of a device context's rectangle.
inline Image Grab(HDC hdcFrom, int x, int y, int w, int h) {
    Image img;
    BITMAPINFO bi = {};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};  // top-down
    void* bits = nullptr;
    HBITMAP hbm = CreateDIBSection(hdcFrom, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC mem = CreateCompatibleDC(hdcFrom);
    HGDIOBJ old = SelectObject(mem, hbm);
    if (bits && BitBlt(mem, 0, 0, w, h, hdcFrom, x, y, SRCCOPY) && GdiFlush()) {
        img = {w, h, std::vector<uint32_t>(static_cast<uint32_t*>(bits), static_cast<uint32_t*>(bits) + w * h)};
        for (auto& v : img.px)
            v &= 0xFFFFFF;
    }
    SelectObject(mem, old);
    DeleteObject(hbm);
    DeleteDC(mem);
    return img;
}

// A top-level window as the screen shows it; what lies outside its window
// region is painted green (the skin's own key colour is magenta), so that
// the picture shows the shape.
inline Image CaptureWindow(HWND hWnd) {
    RECT rc;
    GetWindowRect(hWnd, &rc);
    HDC screen = GetDC(nullptr);
    Image img = Grab(screen, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top);
    ReleaseDC(nullptr, screen);
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    for (int i = GetWindowRgn(hWnd, rgn) == ERROR ? img.w * img.h : 0; i < img.w * img.h; ++i)
        img.px[i] = PtInRegion(rgn, i % img.w, i / img.w) ? img.px[i] : 0x00FF00;
    DeleteObject(rgn);
    return img;
}

// A window's client area after every pending paint has run.
inline Image CaptureClient(HWND hWnd) {
    RedrawWindow(hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    for (MSG msg; PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);)
        DispatchMessageW(&msg);
    RECT rc;
    GetClientRect(hWnd, &rc);
    HDC hdc = GetDC(hWnd);
    Image img = Grab(hdc, 0, 0, rc.right, rc.bottom);
    ReleaseDC(hWnd, hdc);
    return img;
}

inline Image ImageOf(HBITMAP hbm) {
    BITMAP bm = {};
    GetObjectW(hbm, sizeof(bm), &bm);
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, hbm);
    Image img = Grab(mem, 0, 0, bm.bmWidth, bm.bmHeight);
    SelectObject(mem, old);
    DeleteDC(mem);
    return img;
}

// Saves a picture as build/shots/<name>.ppm (binary PPM: no headers of its
// own); the suite compares each with its reviewed copy in tests/golden.
inline void SaveShot(const Image& img, const std::wstring& name) {
    std::string data = "P6\n" + std::to_string(img.w) + " " + std::to_string(img.h) + "\n255\n";
    for (uint32_t v : img.px)
        data += {char(v >> 16), char(v >> 8), char(v)};
    CreateDirectoryW((BuildDir() + L"\\shots").c_str(), nullptr);
    CHECK_MESSAGE((img.w > 0 && WriteFileText(BuildDir() + L"\\shots\\" + name + L".ppm", data)), Narrow(name));
}

// Wide strings and lists shown in full when a check fails.
namespace doctest {
template <>
struct StringMaker<std::wstring> {
    static String convert(const std::wstring& w) { return ("\"" + Narrow(w) + "\"").c_str(); }
};
template <typename T>
struct StringMaker<std::vector<T>> {
    static String convert(const std::vector<T>& v) {
        String s = "{";
        for (const auto& e : v)
            s += StringMaker<T>::convert(e) + " ";
        return s + "}";
    }
};
}  // namespace doctest
