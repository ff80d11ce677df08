#include "winworld.h"

#include <shlobj.h>
#include <shlwapi.h>
#include <string.h>
#include <shobjidl.h>

#include <algorithm>
#include <vector>

namespace {

std::wstring FromEnvPath(const char* var) {
    const char* unix = getenv(var);
    if (!unix)
        return L"";
    std::wstring w = L"Z:";
    for (const char* p = unix; *p; ++p)
        w += (*p == '/') ? L'\\' : (wchar_t)(unsigned char)*p;
    return w;
}

}  // namespace

std::wstring BuildDir() { return FromEnvPath("SETUP_BUILD_DIR"); }
std::wstring PackageDir() { return BuildDir() + L"\\package\\"; }
std::wstring SourceDir() { return FromEnvPath("SETUP_SOURCE_DIR"); }

HANDLE Start(const std::wstring& commandLine) {
    std::vector<wchar_t> buf(commandLine.begin(), commandLine.end());
    buf.push_back(L'\0');
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(nullptr, buf.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return nullptr;
    CloseHandle(pi.hThread);
    return pi.hProcess;
}

bool RunAndWait(const std::wstring& commandLine, DWORD timeoutMs, DWORD* pExitCode) {
    HANDLE h = Start(commandLine);
    if (!h)
        return false;
    bool ended = WaitForSingleObject(h, timeoutMs) == WAIT_OBJECT_0;
    if (ended && pExitCode)
        GetExitCodeProcess(h, pExitCode);
    if (!ended)
        TerminateProcess(h, 999);
    CloseHandle(h);
    return ended;
}

void DeleteTree(const std::wstring& path) {
    std::wstring p = path;
    if (!p.empty() && p.back() == L'\\')
        p.pop_back();
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((p + L"\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = fd.cFileName;
            if (name == L"." || name == L"..")
                continue;
            std::wstring child = p + L"\\" + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                DeleteTree(child);
            else {
                SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(child.c_str());
            }
        } while (FindNextFileW(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryW(p.c_str());
}

std::wstring FreshTempDir(const wchar_t* name) {
    wchar_t tmp[MAX_PATH];
    GetTempPathW(MAX_PATH, tmp);
    std::wstring dir = std::wstring(tmp) + L"setuptest_" + name;
    DeleteTree(dir);
    CreateDirectoryW(dir.c_str(), nullptr);
    return dir + L"\\";
}

bool FileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool WriteTextFile(const std::wstring& path, const std::string& utf8) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = WriteFile(h, utf8.data(), (DWORD)utf8.size(), &written, nullptr) && written == utf8.size();
    CloseHandle(h);
    return ok;
}

std::string ReadTextFile(const std::wstring& path) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return "";
    std::string s;
    char buf[4096];
    DWORD got = 0;
    while (ReadFile(h, buf, sizeof(buf), &got, nullptr) && got > 0)
        s.append(buf, got);
    CloseHandle(h);
    return s;
}

bool CopyInto(const std::wstring& src, const std::wstring& dst) { return CopyFileW(src.c_str(), dst.c_str(), FALSE); }

bool RegReadString(HKEY root, const std::wstring& key, const std::wstring& value, std::wstring* out, DWORD* pType) {
    HKEY h;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS)
        return false;
    wchar_t buf[2048] = {};
    DWORD size = sizeof(buf) - sizeof(wchar_t), type = 0;
    LONG st = RegQueryValueExW(h, value.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buf), &size);
    RegCloseKey(h);
    if (st != ERROR_SUCCESS)
        return false;
    if (pType)
        *pType = type;
    *out = buf;
    return true;
}

bool RegReadDword(HKEY root, const std::wstring& key, const std::wstring& value, DWORD* out) {
    HKEY h;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS)
        return false;
    DWORD size = sizeof(*out), type = 0;
    LONG st = RegQueryValueExW(h, value.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(out), &size);
    RegCloseKey(h);
    return st == ERROR_SUCCESS && type == REG_DWORD;
}

bool RegKeyExists(HKEY root, const std::wstring& key) {
    HKEY h;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS)
        return false;
    RegCloseKey(h);
    return true;
}

void RegDeleteTree(HKEY root, const std::wstring& key) { SHDeleteKeyW(root, key.c_str()); }

void RegDeleteValueIn(HKEY root, const std::wstring& key, const std::wstring& value) {
    HKEY h;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_WRITE, &h) != ERROR_SUCCESS)
        return;
    RegDeleteValueW(h, value.c_str());
    RegCloseKey(h);
}

const char* ArgValue(int argc, char** argv, const char* prefix) {
    size_t n = strlen(prefix);
    for (int i = 1; i < argc; ++i)
        if (strncmp(argv[i], prefix, n) == 0)
            return argv[i] + n;
    return nullptr;
}

std::string Narrow(const std::wstring& w) {
    int n = WideCharToMultiByte(CP_UTF8, 0, w.c_str(), (int)w.size(), nullptr, 0, nullptr, nullptr);
    std::string s(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.c_str(), (int)w.size(), &s[0], n, nullptr, nullptr);
    return s;
}

std::wstring Lower(std::wstring s) {
    for (auto& c : s)
        if (c >= L'A' && c <= L'Z')
            c = (wchar_t)(c - L'A' + L'a');
    return s;
}

HWND WaitForWindow(const std::wstring& title, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindWindowW(nullptr, title.c_str())) != nullptr; }, timeoutMs);
    return found;
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
        if (h) {
            if (WaitForSingleObject(h, 2000) != WAIT_OBJECT_0) {
                TerminateProcess(h, 1);
                WaitForSingleObject(h, 5000);
            }
            CloseHandle(h);
        } else {
            WaitUntil([&] { return !IsWindow(hWnd); }, 2000);
        }
    }
}

std::wstring ShellFolder(int csidl) {
    wchar_t buf[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathW(nullptr, buf, csidl, FALSE))
        return L"";
    return buf;
}

bool ReadShortcut(const std::wstring& lnkPath, std::wstring* target, std::wstring* arguments) {
    HRESULT init = CoInitialize(nullptr);
    bool ok = false;
    IShellLinkW* link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&link)))) {
        IPersistFile* file = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            if (SUCCEEDED(file->Load(lnkPath.c_str(), STGM_READ))) {
                wchar_t buf[MAX_PATH] = {};
                ok = SUCCEEDED(link->GetPath(buf, MAX_PATH, nullptr, SLGP_RAWPATH));
                *target = buf;
                wchar_t args[1024] = {};
                link->GetArguments(args, 1024);
                *arguments = args;
            }
            file->Release();
        }
        link->Release();
    }
    if (SUCCEEDED(init))
        CoUninitialize();
    return ok;
}

std::vector<std::wstring> ListFolder(const std::wstring& dir) {
    std::wstring d = dir;
    if (!d.empty() && d.back() == L'\\')
        d.pop_back();
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((d + L"\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::wstring name = fd.cFileName;
        if (name == L"." || name == L"..")
            continue;
        names.push_back((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? name + L"\\" : name);
    } while (FindNextFileW(h, &fd));
    FindClose(h);
    std::sort(names.begin(), names.end());
    return names;
}

ULONGLONG FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return ((ULONGLONG)data.nFileSizeHigh << 32) | data.nFileSizeLow;
}

bool RegValueExists(HKEY root, const std::wstring& key, const std::wstring& value) {
    HKEY h;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS)
        return false;
    LONG st = RegQueryValueExW(h, value.c_str(), nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(h);
    return st == ERROR_SUCCESS;
}

MessageBoxWatcher::MessageBoxWatcher(const std::wstring& caption) : m_caption(caption) {
    InitializeCriticalSection(&m_lock);
    m_stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_thread = CreateThread(nullptr, 0, Run, this, 0, nullptr);
}

MessageBoxWatcher::~MessageBoxWatcher() {
    SetEvent(m_stop);
    WaitForSingleObject(m_thread, INFINITE);
    CloseHandle(m_thread);
    CloseHandle(m_stop);
    DeleteCriticalSection(&m_lock);
}

std::vector<std::wstring> MessageBoxWatcher::Texts() {
    EnterCriticalSection(&m_lock);
    std::vector<std::wstring> copy = m_texts;
    LeaveCriticalSection(&m_lock);
    return copy;
}

namespace {

// The message of a box: its static child with text (the icon has none).
BOOL CALLBACK CollectStaticText(HWND hChild, LPARAM lParam) {
    wchar_t cls[32] = {}, text[1024] = {};
    GetClassNameW(hChild, cls, 32);
    if (lstrcmpiW(cls, L"Static") == 0 && GetWindowTextW(hChild, text, 1024) > 0) {
        *reinterpret_cast<std::wstring*>(lParam) = text;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

std::wstring MessageBoxText(HWND hBox) {
    std::wstring text;
    EnumChildWindows(hBox, CollectStaticText, reinterpret_cast<LPARAM>(&text));
    return text;
}

DWORD WINAPI MessageBoxWatcher::Run(void* param) {
    auto* self = static_cast<MessageBoxWatcher*>(param);
    while (WaitForSingleObject(self->m_stop, 50) == WAIT_TIMEOUT) {
        HWND box = FindWindowW(L"#32770", self->m_caption.c_str());
        if (!box)
            continue;
        // Shown only once its texts are in place.
        WaitUntil([&] { return IsWindowVisible(box) != FALSE; }, 2000);
        std::wstring text = MessageBoxText(box);
        EnterCriticalSection(&self->m_lock);
        self->m_texts.push_back(text);
        LeaveCriticalSection(&self->m_lock);
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        WaitUntil([&] { return !IsWindow(box); }, 5000);
    }
    return 0;
}

namespace {

struct FindWindowOf {
    DWORD pid;
    HWND hwnd;
};

BOOL CALLBACK MatchWindow(HWND h, LPARAM p) {
    auto* f = reinterpret_cast<FindWindowOf*>(p);
    DWORD owner = 0;
    GetWindowThreadProcessId(h, &owner);
    if (owner == f->pid && IsWindowVisible(h)) {
        f->hwnd = h;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

HWND VisibleWindowOf(DWORD pid) {
    FindWindowOf f{pid, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&f));
    return f.hwnd;
}
