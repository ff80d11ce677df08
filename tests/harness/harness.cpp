#define DOCTEST_CONFIG_IMPLEMENT
#include "harness.h"

#include <shlobj.h>
#include <shlwapi.h>
#include <shobjidl.h>
#include <string.h>

#include <algorithm>

// --- Text and paths ---------------------------------------------------------

std::string Narrow(const std::wstring& w) {
    int n = WideCharToMultiByte(CP_UTF8, 0, w.c_str(), (int)w.size(), nullptr, 0, nullptr, nullptr);
    std::string s(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.c_str(), (int)w.size(), &s[0], n, nullptr, nullptr);
    return s;
}

std::wstring Widen(const std::string& s) {
    int n = MultiByteToWideChar(CP_UTF8, 0, s.c_str(), (int)s.size(), nullptr, 0);
    std::wstring w(n, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, s.c_str(), (int)s.size(), &w[0], n);
    return w;
}

std::wstring Lower(std::wstring s) {
    for (auto& c : s)
        if (c >= L'A' && c <= L'Z')
            c = (wchar_t)(c - L'A' + L'a');
    return s;
}

std::wstring Q(const std::wstring& path) { return L"\"" + path + L"\""; }

static std::wstring FromEnvPath(const char* var) {
    const char* unix = getenv(var);
    std::wstring w = unix ? L"Z:" + Widen(unix) : L"";
    std::replace(w.begin(), w.end(), L'/', L'\\');
    return w;
}

std::wstring BuildDir() { return FromEnvPath("SETUP_BUILD_DIR"); }
std::wstring PackageDir() { return BuildDir() + L"\\package\\"; }
std::wstring SourceDir() { return FromEnvPath("SETUP_SOURCE_DIR"); }

static int g_argc;
static char** g_argv;

const char* Arg(const char* prefix) {
    for (int i = 1; i < g_argc; ++i)
        if (strncmp(g_argv[i], prefix, strlen(prefix)) == 0)
            return g_argv[i] + strlen(prefix);
    return nullptr;
}

int main(int argc, char** argv) {
    g_argc = argc;
    g_argv = argv;
    return doctest::Context(argc, argv).run();
}

// --- Processes --------------------------------------------------------------

Proc::Proc(const std::wstring& commandLine) {
    std::vector<wchar_t> buf(commandLine.begin(), commandLine.end());
    buf.push_back(L'\0');
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (CreateProcessW(nullptr, buf.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        CloseHandle(pi.hThread);
        h = pi.hProcess;
        pid = pi.dwProcessId;
    }
}

Proc::~Proc() {
    Kill();
    if (h)
        CloseHandle(h);
}

bool Proc::Running() const { return h && WaitForSingleObject(h, 0) == WAIT_TIMEOUT; }

DWORD Proc::Wait(DWORD timeoutMs) {
    DWORD code = 999;
    if (h && WaitForSingleObject(h, timeoutMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(h, &code);
    return code;
}

void Proc::Kill() {
    if (Running()) {
        TerminateProcess(h, 999);
        WaitForSingleObject(h, 5000);
    }
}

DWORD Run(const std::wstring& commandLine, DWORD timeoutMs) { return Proc(commandLine).Wait(timeoutMs); }

WinVersionFor::WinVersionFor(const std::wstring& exeName, const wchar_t* version)
    : key(L"Software\\Wine\\AppDefaults\\" + exeName) {
    RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), L"Version", REG_SZ, version,
                    (DWORD)((wcslen(version) + 1) * sizeof(wchar_t)));
}

WinVersionFor::~WinVersionFor() { RegDeleteTree(HKEY_CURRENT_USER, key); }

// --- Files ------------------------------------------------------------------

std::vector<std::wstring> ListFolder(const std::wstring& dir) {
    std::wstring d = dir.empty() || dir.back() != L'\\' ? dir + L"\\" : dir;
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((d + L"*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::wstring name = fd.cFileName;
        if (name != L"." && name != L"..")
            names.push_back((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? name + L"\\" : name);
    } while (FindNextFileW(h, &fd));
    FindClose(h);
    std::sort(names.begin(), names.end());
    return names;
}

void DeleteTree(const std::wstring& path) {
    std::wstring p = !path.empty() && path.back() == L'\\' ? path : path + L"\\";
    for (const std::wstring& name : ListFolder(p)) {
        if (name.back() == L'\\') {
            DeleteTree(p + name);
        } else {
            SetFileAttributesW((p + name).c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW((p + name).c_str());
        }
    }
    RemoveDirectoryW(p.c_str());
}

void CopyTree(const std::wstring& from, const std::wstring& to) {
    CreateDirectoryW(to.c_str(), nullptr);
    for (const std::wstring& name : ListFolder(from)) {
        if (name.back() == L'\\')
            CopyTree(from + name, to + name);
        else
            CopyFileW((from + name).c_str(), (to + name).c_str(), FALSE);
    }
}

std::wstring FreshDir(const wchar_t* name) {
    wchar_t tmp[MAX_PATH];
    GetTempPathW(MAX_PATH, tmp);
    std::wstring dir = std::wstring(tmp) + L"setuptest " + name + L"\\";
    DeleteTree(dir);
    CreateDirectoryW(dir.c_str(), nullptr);
    return dir;
}

bool FileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool WriteFileText(const std::wstring& path, const std::string& bytes) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    bool ok = h != INVALID_HANDLE_VALUE && WriteFile(h, bytes.data(), (DWORD)bytes.size(), &written, nullptr) &&
              written == bytes.size();
    if (h != INVALID_HANDLE_VALUE)
        CloseHandle(h);
    return ok;
}

std::string ReadFileText(const std::wstring& path) {
    HANDLE h =
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    std::string s;
    char buf[4096];
    DWORD got = 0;
    while (h != INVALID_HANDLE_VALUE && ReadFile(h, buf, sizeof(buf), &got, nullptr) && got > 0)
        s.append(buf, got);
    if (h != INVALID_HANDLE_VALUE)
        CloseHandle(h);
    return s;
}

bool CopyInto(const std::wstring& src, const std::wstring& dst) { return CopyFileW(src.c_str(), dst.c_str(), FALSE); }

ULONGLONG FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA d;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &d))
        return 0;
    return ((ULONGLONG)d.nFileSizeHigh << 32) | d.nFileSizeLow;
}

// --- Registry ---------------------------------------------------------------

// A value's type and bytes; false when absent.
static bool RegRead(HKEY root, const std::wstring& key, const std::wstring& value, DWORD* type,
                    std::vector<BYTE>* data) {
    HKEY h;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS)
        return false;
    DWORD cb = 0;
    LONG st = RegQueryValueExW(h, value.c_str(), nullptr, type, nullptr, &cb);
    data->resize(cb);
    if (st == ERROR_SUCCESS && cb)
        st = RegQueryValueExW(h, value.c_str(), nullptr, type, data->data(), &cb);
    RegCloseKey(h);
    return st == ERROR_SUCCESS;
}

std::wstring RegStr(HKEY root, const std::wstring& key, const std::wstring& value) {
    DWORD type = 0;
    std::vector<BYTE> d;
    // Stored with its terminating null, and nothing after it.
    if (!RegRead(root, key, value, &type, &d) || type != REG_SZ || d.size() < 2 || d.size() % 2 || d[d.size() - 1] ||
        d[d.size() - 2])
        return L"<none>";
    std::wstring s(reinterpret_cast<const wchar_t*>(d.data()), d.size() / 2 - 1);
    return s.find(L'\0') == std::wstring::npos ? s : L"<none>";
}

long long RegDword(HKEY root, const std::wstring& key, const std::wstring& value) {
    DWORD type = 0, v = 0;
    std::vector<BYTE> d;
    if (!RegRead(root, key, value, &type, &d) || type != REG_DWORD || d.size() != 4)
        return -1;
    memcpy(&v, d.data(), 4);
    return v;
}

bool RegHasKey(HKEY root, const std::wstring& key) {
    HKEY h;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS)
        return false;
    RegCloseKey(h);
    return true;
}

bool RegHasValue(HKEY root, const std::wstring& key, const std::wstring& value) {
    DWORD type;
    std::vector<BYTE> d;
    return RegRead(root, key, value, &type, &d);
}

DWORD RegValueCount(HKEY root, const std::wstring& key) {
    HKEY h;
    DWORD n = 0;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS)
        return 0;
    RegQueryInfoKeyW(h, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &n, nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(h);
    return n;
}

void RegDeleteTree(HKEY root, const std::wstring& key) { SHDeleteKeyW(root, key.c_str()); }

void RegDeleteValueIn(HKEY root, const std::wstring& key, const std::wstring& value) {
    SHDeleteValueW(root, key.c_str(), value.c_str());
}

// --- An installation and where it lands -------------------------------------

const wchar_t kCompatKey[] =
    L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Compatibility Assistant\\Persisted";

static std::wstring RegBase(bool wow64) {
    return wow64 ? L"SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\"
                 : L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\";
}

std::wstring ProgramFilesDir(bool wow64) {
    wchar_t win[MAX_PATH];
    GetWindowsDirectoryW(win, MAX_PATH);
    std::wstring parent = win;
    parent.erase(parent.rfind(L'\\') + 1);
    return parent + (wow64 ? L"Program Files (x86)" : L"Program Files");
}

std::wstring InstallDirOf(const AppNames& n, bool wow64) { return ProgramFilesDir(wow64) + L"\\" + n.folder; }
std::wstring UninstallKeyOf(const AppNames& n, bool wow64) { return RegBase(wow64) + L"Uninstall\\" + n.folder; }
std::wstring RunKeyOf(bool wow64) { return RegBase(wow64) + L"Run"; }
std::wstring DesktopLinkOf(const std::wstring& name) {
    return ShellFolder(CSIDL_DESKTOPDIRECTORY) + L"\\" + name + L".lnk";
}
std::wstring ProgramsFolderOf(const std::wstring& appName) {
    return ShellFolder(CSIDL_COMMON_PROGRAMS) + L"\\" + appName;
}

std::string IniFor(const AppNames& n, bool launchAfterSilentInstall) {
    return "[Customized_Setting]\r\nAPPFolderName=" + Narrow(n.folder) + "\r\nAPPFileName=" + Narrow(n.file) +
           "\r\nLaunchAPInSilentMode=" + (launchAfterSilentInstall ? "1" : "0") +
           "\r\n\r\n[Startup]\r\nAppName=" + Narrow(n.app) +
           "\r\nCompanyName=Tarvex Technology Corp.\r\nVersion=2.10.07\r\n";
}

void Scrub(const AppNames& n) {
    EndWindowProcesses(n.app);
    for (bool wow64 : {false, true}) {
        DeleteTree(InstallDirOf(n, wow64));
        RegDeleteTree(HKEY_LOCAL_MACHINE, UninstallKeyOf(n, wow64));
        RegDeleteValueIn(HKEY_LOCAL_MACHINE, RunKeyOf(wow64), n.app);
        RegDeleteValueIn(HKEY_CURRENT_USER, kCompatKey, Lower(InstallDirOf(n, wow64) + L"\\" + n.file));
    }
    DeleteFileW(DesktopLinkOf(n.app).c_str());
    DeleteTree(ProgramsFolderOf(n.app));
}

std::wstring CopyPackage(const wchar_t* name, const std::string& ini, std::initializer_list<const wchar_t*> without) {
    std::wstring dir = FreshDir(name);
    CopyTree(PackageDir(), dir);
    DeleteFileW((dir + L"setup.ini").c_str());
    if (!ini.empty())
        WriteFileText(dir + L"setup.ini", ini);
    for (const wchar_t* f : without)
        DeleteFileW((dir + L"Application\\" + f).c_str());
    return dir;
}

std::vector<std::string> HelperLog(const std::wstring& installDir, size_t count) {
    std::vector<std::string> lines;
    auto read = [&] {
        std::string text = ReadFileText(installDir + L"\\VolSvcInstall.log");
        lines.clear();
        for (size_t start = 0, end; start < text.size(); start = end + 2) {
            end = text.find("\r\n", start);
            end = end == std::string::npos ? text.size() : end;
            lines.push_back(text.substr(start, end - start));
        }
        return lines.size() >= count;
    };
    WaitUntil(read, count ? 10000 : 0);
    return lines;
}

// --- Shell ------------------------------------------------------------------

std::wstring ShellFolder(int csidl) {
    wchar_t buf[MAX_PATH] = {};
    SHGetSpecialFolderPathW(nullptr, buf, csidl, FALSE);
    return buf;
}

std::wstring Shortcut(const std::wstring& lnkPath) {
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

namespace {
struct Find {
    DWORD pid;
    const wchar_t *cls, *title;
    HWND found;
};
BOOL CALLBACK Match(HWND h, LPARAM p) {
    auto* f = reinterpret_cast<Find*>(p);
    DWORD pid = 0;
    wchar_t cls[256];
    GetWindowThreadProcessId(h, &pid);
    GetClassNameW(h, cls, 256);
    if (!IsWindowVisible(h) || (f->pid && pid != f->pid) || (f->cls && lstrcmpW(cls, f->cls) != 0) ||
        (f->title && TextOf(h) != f->title))
        return TRUE;
    f->found = h;
    return FALSE;
}
}  // namespace

HWND WaitForWindow(DWORD pid, const wchar_t* cls, const wchar_t* title, DWORD timeoutMs) {
    Find f = {pid, cls, title, nullptr};
    WaitUntil([&] { return EnumWindows(Match, reinterpret_cast<LPARAM>(&f)), f.found != nullptr; }, timeoutMs);
    return f.found;
}

void EndWindowProcesses(const std::wstring& title) {
    for (int round = 0; round < 20; ++round) {
        HWND hWnd = FindWindowW(nullptr, title.c_str());
        if (!hWnd)
            return;
        DWORD pid = 0;
        GetWindowThreadProcessId(hWnd, &pid);
        HANDLE h = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
        PostMessageW(hWnd, WM_CLOSE, 0, 0);
        if (h && WaitForSingleObject(h, 2000) != WAIT_OBJECT_0) {
            TerminateProcess(h, 1);
            WaitForSingleObject(h, 5000);
        }
        if (h)
            CloseHandle(h);
        WaitUntil([&] { return !IsWindow(hWnd); }, 2000);
    }
}

std::wstring TextOf(HWND hWnd) {
    DWORD_PTR len = 0, got = 0;
    if (!SendMessageTimeoutW(hWnd, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 5000, &len))
        return L"";
    std::vector<wchar_t> buf(len + 1);
    SendMessageTimeoutW(hWnd, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()), SMTO_NORMAL, 5000, &got);
    return std::wstring(buf.data(), got);
}

Ctl Control(HWND hParent, int id) {
    Ctl c;
    HWND h = GetDlgItem(hParent, id);
    if (!h)
        return c;
    c.visible = (GetWindowLongW(h, GWL_STYLE) & WS_VISIBLE) != 0;
    c.enabled = IsWindowEnabled(h) != FALSE;
    GetWindowRect(h, &c.rc);
    MapWindowPoints(nullptr, hParent, reinterpret_cast<POINT*>(&c.rc), 2);
    c.text = TextOf(h);
    return c;
}

static void SendMouse(DWORD flags, POINT screen = {}) {
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dx = (LONG)((screen.x * 65535LL) / (GetSystemMetrics(SM_CXSCREEN) - 1));
    in.mi.dy = (LONG)((screen.y * 65535LL) / (GetSystemMetrics(SM_CYSCREEN) - 1));
    in.mi.dwFlags = flags;
    SendInput(1, &in, sizeof(in));
    Sleep(30);
}

void MouseMoveTo(POINT screen) { SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, screen); }
void MoveMouseAway() { MouseMoveTo(POINT{2, 2}); }

void ClickAt(POINT screen) {
    MouseMoveTo(screen);
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    SendMouse(MOUSEEVENTF_LEFTUP);
}

void ClickControl(HWND hParent, int id) {
    Ctl c = Control(hParent, id);
    POINT pt = {(c.rc.left + c.rc.right) / 2, (c.rc.top + c.rc.bottom) / 2};
    ClientToScreen(hParent, &pt);
    ClickAt(pt);
}

void PressKey(WORD vk, bool withAlt) {
    auto key = [](WORD k, DWORD flags) {
        INPUT i = {};
        i.type = INPUT_KEYBOARD;
        i.ki.wVk = k;
        i.ki.dwFlags = flags;
        SendInput(1, &i, sizeof(i));
        Sleep(20);
    };
    if (withAlt)
        key(VK_MENU, 0);
    key(vk, 0);
    key(vk, KEYEVENTF_KEYUP);
    if (withAlt)
        key(VK_MENU, KEYEVENTF_KEYUP);
}

static BOOL CALLBACK StaticText(HWND hChild, LPARAM p) {
    wchar_t cls[32] = {};
    GetClassNameW(hChild, cls, 32);
    if (lstrcmpiW(cls, L"Static") != 0 || TextOf(hChild).empty())
        return TRUE;
    *reinterpret_cast<std::wstring*>(p) = TextOf(hChild);
    return FALSE;
}

std::wstring MessageBoxText(HWND hBox) {
    std::wstring text;
    EnumChildWindows(hBox, StaticText, reinterpret_cast<LPARAM>(&text));
    return text;
}

BoxWatcher::BoxWatcher(const wchar_t* caption) : m_caption(caption) {
    InitializeCriticalSection(&m_lock);
    m_stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_thread = CreateThread(nullptr, 0, Watch, this, 0, nullptr);
}

BoxWatcher::~BoxWatcher() {
    SetEvent(m_stop);
    WaitForSingleObject(m_thread, INFINITE);
    CloseHandle(m_thread);
    CloseHandle(m_stop);
    DeleteCriticalSection(&m_lock);
}

std::vector<std::string> BoxWatcher::Texts() {
    EnterCriticalSection(&m_lock);
    std::vector<std::string> copy = m_texts;
    LeaveCriticalSection(&m_lock);
    return copy;
}

DWORD WINAPI BoxWatcher::Watch(void* param) {
    auto* self = static_cast<BoxWatcher*>(param);
    while (WaitForSingleObject(self->m_stop, 50) == WAIT_TIMEOUT) {
        HWND box = FindWindowW(L"#32770", self->m_caption.c_str());
        // Shown only once its texts are in place.
        if (!box || !WaitUntil([&] { return IsWindowVisible(box) != FALSE; }, 2000))
            continue;
        std::string text = Narrow(MessageBoxText(box));
        EnterCriticalSection(&self->m_lock);
        self->m_texts.push_back(text);
        LeaveCriticalSection(&self->m_lock);
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        WaitUntil([&] { return !IsWindow(box); }, 5000);
    }
    return 0;
}

// --- Pixels -----------------------------------------------------------------

// The pixels of a device context's rectangle through a 32-bit DIB section.
static Image Grab(HDC hdcFrom, int x, int y, int w, int h) {
    Image img;
    if (w <= 0 || h <= 0)
        return img;
    img.w = w;
    img.h = h;
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP hbm = CreateDIBSection(hdcFrom, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC mem = CreateCompatibleDC(hdcFrom);
    HGDIOBJ old = SelectObject(mem, hbm);
    BitBlt(mem, 0, 0, w, h, hdcFrom, x, y, SRCCOPY);
    GdiFlush();
    const uint32_t* p = static_cast<const uint32_t*>(bits);
    img.px.assign(p, p + (size_t)w * h);
    for (auto& v : img.px)
        v &= 0xFFFFFF;
    SelectObject(mem, old);
    DeleteObject(hbm);
    DeleteDC(mem);
    return img;
}

Image CaptureScreen(const RECT& rc) {
    HDC screen = GetDC(nullptr);
    Image img = Grab(screen, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top);
    ReleaseDC(nullptr, screen);
    return img;
}

Image CaptureWindow(HWND hWnd) {
    RECT rc;
    GetWindowRect(hWnd, &rc);
    Image img = CaptureScreen(rc);
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    if (GetWindowRgn(hWnd, rgn) != ERROR)
        for (int y = 0; y < img.h; ++y)
            for (int x = 0; x < img.w; ++x)
                if (!PtInRegion(rgn, x, y))
                    img.px[(size_t)y * img.w + x] = 0xFF00FF;
    DeleteObject(rgn);
    return img;
}

Image CaptureClient(HWND hWnd) {
    RedrawWindow(hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump();
    RECT rc;
    GetClientRect(hWnd, &rc);
    HDC hdc = GetDC(hWnd);
    Image img = Grab(hdc, 0, 0, rc.right, rc.bottom);
    ReleaseDC(hWnd, hdc);
    return img;
}

Image ImageOf(HBITMAP hbm) {
    BITMAP bm = {};
    GetObjectW(hbm, sizeof(bm), &bm);
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, hbm);
    Image img = Grab(mem, 0, 0, bm.bmWidth, bm.bmHeight);
    SelectObject(mem, old);
    DeleteDC(mem);
    return img;
}

bool SaveBmp(const Image& img, const std::wstring& path) {
    const int stride = (img.w * 3 + 3) & ~3;
    BITMAPFILEHEADER fh = {};
    BITMAPINFOHEADER ih = {};
    fh.bfType = 0x4D42;
    ih.biSize = sizeof(ih);
    ih.biWidth = img.w;
    ih.biHeight = img.h;
    ih.biPlanes = 1;
    ih.biBitCount = 24;
    fh.bfOffBits = sizeof(fh) + sizeof(ih);
    std::string data(reinterpret_cast<const char*>(&fh), sizeof(fh));
    data.append(reinterpret_cast<const char*>(&ih), sizeof(ih));
    std::string row(stride, '\0');
    for (int y = img.h - 1; y >= 0; --y) {  // bottom-up
        for (int x = 0; x < img.w; ++x)
            for (int c = 0; c < 3; ++c)
                row[x * 3 + c] = (char)(img.At(x, y) >> (8 * c));
        data += row;
    }
    reinterpret_cast<BITMAPFILEHEADER*>(&data[0])->bfSize = (DWORD)data.size();
    return img.w > 0 && WriteFileText(path, data);
}

void SaveShot(const Image& img, const std::wstring& name) {
    std::wstring dir = BuildDir() + L"\\shots\\";
    CreateDirectoryW(dir.c_str(), nullptr);
    CHECK_MESSAGE(SaveBmp(img, dir + name + L".bmp"), Narrow(name));
}

void Pump(DWORD ms) {
    for (DWORD start = GetTickCount();;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (GetTickCount() - start >= ms)
            return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}
