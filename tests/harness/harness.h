// The one harness of the tests. They run inside the build tree's Wine world
// and read everything back for real: the package, processes, files, the
// registry, shortcuts, windows and pixels on the screen.
#pragma once
#include <windows.h>
#include <stdint.h>

#include <string>
#include <vector>

#include <doctest/doctest.h>

// --- Text and paths ---------------------------------------------------------
std::string Narrow(const std::wstring& w);
std::wstring Widen(const std::string& s);
std::wstring Lower(std::wstring s);        // A to Z only, as setup.exe lowers
std::wstring Q(const std::wstring& path);  // in quotes
// The build tree, the assembled package (ends with '\') and the sources, as
// Windows paths.
std::wstring BuildDir();
std::wstring PackageDir();
std::wstring SourceDir();
// The value of the test program's argument "--name=value" (prefix with its
// '='), or null.
const char* Arg(const char* prefix);

// --- Processes --------------------------------------------------------------
// A started process; one still running when it goes out of scope is ended,
// so that a failed check leaves nothing behind for the next test.
struct Proc {
    HANDLE h = nullptr;
    DWORD pid = 0;
    explicit Proc(const std::wstring& commandLine);
    ~Proc();
    Proc(const Proc&) = delete;
    Proc& operator=(const Proc&) = delete;
    bool Running() const;
    // The exit code, or 999 when it did not end within the time.
    DWORD Wait(DWORD timeoutMs = 60000);
    void Kill();
};
// Starts a command line and waits; 999 when it did not start or end.
DWORD Run(const std::wstring& commandLine, DWORD timeoutMs = 120000);

// For its lifetime, Wine reports this Windows version ("winxp64", "win7") to
// programs of that file name, so that a test of another version's paths
// needs no prefix of its own.
struct WinVersionFor {
    WinVersionFor(const std::wstring& exeName, const wchar_t* version);
    ~WinVersionFor();
    std::wstring key;
};

template <typename Pred>
bool WaitUntil(Pred pred, DWORD timeoutMs, DWORD pollMs = 20) {
    for (DWORD start = GetTickCount();; Sleep(pollMs)) {
        if (pred())
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
    }
}

// --- Files ------------------------------------------------------------------
// A fresh, empty folder below the prefix's temporary folder; ends with '\'.
std::wstring FreshDir(const wchar_t* name);
void DeleteTree(const std::wstring& path);
void CopyTree(const std::wstring& from, const std::wstring& to);  // both end with '\'
bool FileExists(const std::wstring& path);
bool WriteFileText(const std::wstring& path, const std::string& bytes);
std::string ReadFileText(const std::wstring& path);
bool CopyInto(const std::wstring& src, const std::wstring& dst);
ULONGLONG FileSize(const std::wstring& path);
// Names in a folder, sorted; folders end with '\'.
std::vector<std::wstring> ListFolder(const std::wstring& dir);

// --- Registry ---------------------------------------------------------------
// A REG_SZ value as stored (with its terminator), else "<none>".
std::wstring RegStr(HKEY root, const std::wstring& key, const std::wstring& value);
// A REG_DWORD value, else -1.
long long RegDword(HKEY root, const std::wstring& key, const std::wstring& value);
bool RegHasKey(HKEY root, const std::wstring& key);
bool RegHasValue(HKEY root, const std::wstring& key, const std::wstring& value);
DWORD RegValueCount(HKEY root, const std::wstring& key);
void RegDeleteTree(HKEY root, const std::wstring& key);
void RegDeleteValueIn(HKEY root, const std::wstring& key, const std::wstring& value);

// --- An installation and where it lands -------------------------------------
extern const wchar_t kCompatKey[];
// setup.ini's names of an installation (folder, application, executable).
struct AppNames {
    std::wstring folder, app, file = L"QXRaidSetup.exe";
};
std::wstring ProgramFilesDir(bool wow64);
std::wstring InstallDirOf(const AppNames& n, bool wow64 = false);  // no trailing '\'
std::wstring UninstallKeyOf(const AppNames& n, bool wow64 = false);
std::wstring RunKeyOf(bool wow64 = false);
std::wstring DesktopLinkOf(const std::wstring& name);
std::wstring ProgramsFolderOf(const std::wstring& appName);
// setup.ini for these names.
std::string IniFor(const AppNames& n, bool launchAfterSilentInstall = false);
// Ends the application's processes and removes every trace of an
// installation under these names, in both registry views.
void Scrub(const AppNames& n);
// A copy of the built package in a fresh folder (its name may hold blanks),
// with this setup.ini (none when empty) and without the named files of its
// Application folder. Ends with '\'.
std::wstring CopyPackage(const wchar_t* name, const std::string& ini,
                         std::initializer_list<const wchar_t*> withoutApp = {});
// The service helper stand-in's log beside it, one option a line, waited
// for until it holds at least `count` lines (the helper is not waited for).
std::vector<std::string> HelperLog(const std::wstring& installDir, size_t count = 0);

// --- Shell ------------------------------------------------------------------
std::wstring ShellFolder(int csidl);  // no trailing '\'
// A shortcut read back through IShellLinkW: "target|arguments", lowered, or
// "<none>".
std::wstring Shortcut(const std::wstring& lnkPath);

// --- Windows and input ------------------------------------------------------
// A visible top-level window of the process (0: any) with that class and
// title (null: any), waited for; null when none came.
HWND WaitForWindow(DWORD pid, const wchar_t* cls, const wchar_t* title, DWORD timeoutMs = 30000);
// Ends every process that owns a window of that title, WM_CLOSE first.
void EndWindowProcesses(const std::wstring& title);
std::wstring TextOf(HWND hWnd);
struct Ctl {
    bool visible = false, enabled = false;
    RECT rc{};  // in the parent's client coordinates
    std::wstring text;
};
Ctl Control(HWND hParent, int id);
void MouseMoveTo(POINT screen);
void MoveMouseAway();
void ClickAt(POINT screen);
void ClickControl(HWND hParent, int id);  // the real mouse on its centre
void PressKey(WORD vk, bool withAlt = false);
// The message of a message box.
std::wstring MessageBoxText(HWND hBox);

// Watches for message boxes with that caption in any process of the prefix,
// keeps their texts and dismisses each with OK.
class BoxWatcher {
public:
    explicit BoxWatcher(const wchar_t* caption = L"Fail");
    ~BoxWatcher();
    BoxWatcher(const BoxWatcher&) = delete;
    BoxWatcher& operator=(const BoxWatcher&) = delete;
    std::vector<std::string> Texts();

private:
    static DWORD WINAPI Watch(void* self);
    std::wstring m_caption;
    std::vector<std::string> m_texts;
    CRITICAL_SECTION m_lock;
    HANDLE m_stop, m_thread;
};

// --- Pixels -----------------------------------------------------------------
// 0x00RRGGBB, top-down.
struct Image {
    int w = 0, h = 0;
    std::vector<uint32_t> px;
    uint32_t At(int x, int y) const { return px[(size_t)y * w + x]; }
};
Image CaptureScreen(const RECT& rc);
// A top-level window as the screen shows it; what lies outside its window
// region is painted in the key colour, so that the picture shows the shape.
Image CaptureWindow(HWND hWnd);
// A window's client area after every pending paint has run.
Image CaptureClient(HWND hWnd);
Image ImageOf(HBITMAP hbm);
bool SaveBmp(const Image& img, const std::wstring& path);
// Saves a picture the tests take as build/shots/<name>.bmp; the suite
// compares each with its reviewed copy in tests/golden.
void SaveShot(const Image& img, const std::wstring& name);
// Runs this thread's waiting messages for at least ms.
void Pump(DWORD ms = 0);

// Lists shown in full when a check fails.
namespace doctest {
template <>
struct StringMaker<std::vector<std::string>> {
    static String convert(const std::vector<std::string>& v) {
        String s = "{";
        for (const auto& e : v)
            s += ("\"" + e + "\" ").c_str();
        return s + "}";
    }
};
template <>
struct StringMaker<std::wstring> {
    static String convert(const std::wstring& w) { return ("\"" + Narrow(w) + "\"").c_str(); }
};
template <>
struct StringMaker<std::vector<std::wstring>> {
    static String convert(const std::vector<std::wstring>& v) {
        String s = "{";
        for (const auto& e : v)
            s += ("\"" + Narrow(e) + "\" ").c_str();
        return s + "}";
    }
};
}  // namespace doctest
