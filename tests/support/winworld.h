// Helpers for tests that run inside the build tree's Wine world: the build's
// folders as Windows paths, processes, files and registry read-back.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

// The build tree and the assembled package as Windows paths (Z:\...).
std::wstring BuildDir();
std::wstring PackageDir();  // ends with a backslash
std::wstring SourceDir();

// Starts a command line and waits for it; false when it did not start or did
// not end within the time. The exit code goes to *pExitCode.
bool RunAndWait(const std::wstring& commandLine, DWORD timeoutMs, DWORD* pExitCode);
// Starts a command line without waiting; the process handle (caller closes).
HANDLE Start(const std::wstring& commandLine);

// A fresh, empty folder below the prefix's temporary folder; ends with '\'.
std::wstring FreshTempDir(const wchar_t* name);
void DeleteTree(const std::wstring& path);
bool FileExists(const std::wstring& path);
bool WriteTextFile(const std::wstring& path, const std::string& utf8);
std::string ReadTextFile(const std::wstring& path);
bool CopyInto(const std::wstring& src, const std::wstring& dst);

// Registry read-back; false when absent.
bool RegReadString(HKEY root, const std::wstring& key, const std::wstring& value, std::wstring* out,
                   DWORD* pType = nullptr);
bool RegReadDword(HKEY root, const std::wstring& key, const std::wstring& value, DWORD* out);
bool RegKeyExists(HKEY root, const std::wstring& key);
void RegDeleteTree(HKEY root, const std::wstring& key);
void RegDeleteValueIn(HKEY root, const std::wstring& key, const std::wstring& value);

// The value of a "--name=value" argument (prefix given with its '='), or null.
const char* ArgValue(int argc, char** argv, const char* prefix);

std::string Narrow(const std::wstring& w);
std::wstring Lower(std::wstring s);

// Polls a condition every 50 ms until it holds or the time is up.
template <typename Pred>
bool WaitUntil(Pred pred, DWORD timeoutMs) {
    for (DWORD start = GetTickCount();;) {
        if (pred())
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(50);
    }
}

// A top-level window of that title, waited for; null when none came.
HWND WaitForWindow(const std::wstring& title, DWORD timeoutMs);
// Ends every process that owns a top-level window of that title: asks with
// WM_CLOSE first, then terminates; waits until each process has ended.
void EndWindowProcesses(const std::wstring& title);

// A shell folder (CSIDL_...) without a trailing backslash; empty if none.
std::wstring ShellFolder(int csidl);
// Reads a .lnk back through IShellLinkW; false when it cannot be loaded.
bool ReadShortcut(const std::wstring& lnkPath, std::wstring* target, std::wstring* arguments);

// Names in a folder, sorted, folders marked with a trailing backslash.
std::vector<std::wstring> ListFolder(const std::wstring& dir);
ULONGLONG FileSize(const std::wstring& path);
bool RegValueExists(HKEY root, const std::wstring& key, const std::wstring& value);

// A visible top-level window of the process, or null.
HWND VisibleWindowOf(DWORD pid);

// The message of a message box (its static child with text).
std::wstring MessageBoxText(HWND hBox);

// Watches, on a thread of its own, for message boxes (class "#32770") with
// the given caption in any process of the prefix; records the text of each
// and dismisses it with OK. Stops when destroyed.
class MessageBoxWatcher {
public:
    explicit MessageBoxWatcher(const std::wstring& caption);
    ~MessageBoxWatcher();
    MessageBoxWatcher(const MessageBoxWatcher&) = delete;
    MessageBoxWatcher& operator=(const MessageBoxWatcher&) = delete;
    std::vector<std::wstring> Texts();

private:
    static DWORD WINAPI Run(void* self);
    std::wstring m_caption;
    std::vector<std::wstring> m_texts;
    CRITICAL_SECTION m_lock;
    HANDLE m_stop = nullptr;
    HANDLE m_thread = nullptr;
};
