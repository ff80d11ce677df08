// Driving the real setup.exe as a user would, from inside the same Wine
// world: packages in temporary folders, processes, the wizard's window and
// controls, mouse and keyboard input, screen captures.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <stdint.h>

#include <functional>
#include <string>
#include <vector>

// Control ids and sizes of the wizard, as a user-facing contract.
constexpr int kIdAction = 1000, kIdHeading = 1001, kIdText = 1002, kIdProgress = 1003, kIdClose = 1004, kIdTitle = 1005,
              kIdLaunch = 1008;
constexpr UINT kWmSetupStatus = WM_USER + 100;
constexpr int kSkinWidth = 584, kSkinHeight = 411;

// A copy of the built package in a fresh temporary folder, with its own
// setup.ini (none when the text is empty).
struct Package {
    std::wstring dir;  // ends with a backslash
    std::wstring Exe() const { return dir + L"setup.exe"; }
};
Package MakePackage(const wchar_t* name, const std::string& setupIni);
std::string SetupIni(const std::string& appName, const std::string& folderName);
void CopyTree(const std::wstring& src, const std::wstring& dst);

struct Process {
    HANDLE hProcess = nullptr;
    DWORD pid = 0;
    ~Process();
    bool Running() const;
    // Waits for the end; false when it is still running after the time.
    bool WaitExit(DWORD timeoutMs, DWORD* pExitCode = nullptr) const;
    void Kill();
};
// Starts a command line; pid 0 when it did not start.
void StartProcess(const std::wstring& commandLine, Process* p);

// Polls until the condition holds; false when the time ran out first.
bool WaitUntil(const std::function<bool()>& cond, DWORD timeoutMs, DWORD pollMs = 20);

// A visible top-level window of the process with that class (null: any)
// and title (null: any).
HWND FindProcessWindow(DWORD pid, const wchar_t* cls, const wchar_t* title);
HWND WaitForProcessWindow(DWORD pid, const wchar_t* cls, const wchar_t* title, DWORD timeoutMs);

std::wstring TextOf(HWND hWnd);

struct ControlState {
    bool exists = false, visible = false, enabled = false;
    RECT rc{};  // in the wizard's client coordinates
    std::wstring text;
};
ControlState Control(HWND hWizard, int id);
int ProgressPos(HWND hWizard);

// The texts of the language library of a package, by id.
std::wstring LibText(const std::wstring& dllPath, UINT id);

// Input, in the wizard's client coordinates.
POINT ClientToScreenPt(HWND hWnd, int x, int y);
void MouseMoveTo(POINT screen);
void MouseClickAt(POINT screen);
void ClickControl(HWND hWizard, int id);  // real mouse on the control's centre
void PressKey(WORD vk, bool withAlt = false);
void MoveMouseAway();

// Screen pixels, 0x00RRGGBB.
struct Image {
    int w = 0, h = 0;
    std::vector<uint32_t> px;
    uint32_t At(int x, int y) const { return px[(size_t)y * w + x]; }
};
Image CaptureScreen(const RECT& rc);
Image CaptureWindow(HWND hWnd);  // the window's screen rectangle
Image LoadBmp(const std::wstring& path);
bool SaveBmp(const Image& img, const std::wstring& path);
// Pixels of img at (x, y) that differ from the whole of part.
int CountDifferences(const Image& img, int x, int y, const Image& part);

// The artwork the build drew (BuildDir()\art).
std::wstring ArtPath(const wchar_t* name);
// Where screenshots of the wizard's pages go, created on demand.
std::wstring ShotDir();

// A window titled like the application whose WM_CLOSE is held until
// Release(): an install that has to close it cannot get past that step.
class HeldWindow {
public:
    explicit HeldWindow(const std::wstring& title);
    ~HeldWindow();
    bool WaitCloseSeen(DWORD timeoutMs) const;
    void Release();
    LONG CloseCount() const { return m_nCloses; }
    HWND Handle() const { return m_hWnd; }

private:
    static DWORD WINAPI ThreadProc(LPVOID p);
    static LRESULT CALLBACK WndProc(HWND, UINT, WPARAM, LPARAM);
    std::wstring m_title;
    HANDLE m_hThread = nullptr, m_hReady = nullptr, m_hCloseSeen = nullptr, m_hRelease = nullptr;
    HWND m_hWnd = nullptr;
    volatile LONG m_nCloses = 0;
};
