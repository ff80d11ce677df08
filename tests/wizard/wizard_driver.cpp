#include "wizard_driver.h"

#include "winworld.h"

std::string SetupIni(const std::string& appName, const std::string& folderName) {
    return "[Customized_Setting]\r\nAPPFolderName=" + folderName +
           "\r\nAPPFileName=QXRaidSetup.exe\r\nLaunchAPInSilentMode=0\r\n\r\n[Startup]\r\nAppName=" + appName +
           "\r\nCompanyName=Wizard Test Corp.\r\nVersion=2.00.00\r\n";
}

void CopyTree(const std::wstring& src, const std::wstring& dst) {
    CreateDirectoryW(dst.c_str(), nullptr);
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((src + L"*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return;
    do {
        std::wstring name = fd.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            CopyTree(src + name + L"\\", dst + name + L"\\");
        else
            CopyFileW((src + name).c_str(), (dst + name).c_str(), FALSE);
    } while (FindNextFileW(h, &fd));
    FindClose(h);
}

Package MakePackage(const wchar_t* name, const std::string& setupIni) {
    Package p;
    p.dir = FreshTempDir(name);
    CopyTree(PackageDir(), p.dir);
    DeleteFileW((p.dir + L"setup.ini").c_str());
    if (!setupIni.empty())
        WriteTextFile(p.dir + L"setup.ini", setupIni);
    return p;
}

Process::~Process() {
    // A test that failed half-way must not leave a wizard running: the next
    // one could not start, and the test runner would wait for its output.
    Kill();
    if (hProcess)
        CloseHandle(hProcess);
}

bool Process::Running() const { return hProcess && WaitForSingleObject(hProcess, 0) == WAIT_TIMEOUT; }

bool Process::WaitExit(DWORD timeoutMs, DWORD* pExitCode) const {
    if (!hProcess || WaitForSingleObject(hProcess, timeoutMs) != WAIT_OBJECT_0)
        return false;
    if (pExitCode)
        GetExitCodeProcess(hProcess, pExitCode);
    return true;
}

void Process::Kill() {
    if (Running()) {
        TerminateProcess(hProcess, 999);
        WaitForSingleObject(hProcess, 5000);
    }
}

void StartProcess(const std::wstring& commandLine, Process* p) {
    p->hProcess = Start(commandLine);
    p->pid = p->hProcess ? GetProcessId(p->hProcess) : 0;
}

bool WaitUntil(const std::function<bool()>& cond, DWORD timeoutMs, DWORD pollMs) {
    DWORD start = GetTickCount();
    for (;;) {
        if (cond())
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(pollMs);
    }
}

namespace {

struct FindArgs {
    DWORD pid;
    const wchar_t* cls;
    const wchar_t* title;
    HWND found;
};

BOOL CALLBACK FindProc(HWND hWnd, LPARAM lParam) {
    auto* a = reinterpret_cast<FindArgs*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hWnd, &pid);
    if (pid != a->pid || !IsWindowVisible(hWnd))
        return TRUE;
    wchar_t buf[512];
    if (a->cls) {
        GetClassNameW(hWnd, buf, 512);
        if (lstrcmpW(buf, a->cls) != 0)
            return TRUE;
    }
    if (a->title && TextOf(hWnd) != a->title)
        return TRUE;
    a->found = hWnd;
    return FALSE;
}

}  // namespace

HWND FindProcessWindow(DWORD pid, const wchar_t* cls, const wchar_t* title) {
    FindArgs a = {pid, cls, title, nullptr};
    EnumWindows(FindProc, reinterpret_cast<LPARAM>(&a));
    return a.found;
}

HWND WaitForProcessWindow(DWORD pid, const wchar_t* cls, const wchar_t* title, DWORD timeoutMs) {
    HWND h = nullptr;
    WaitUntil([&] { return (h = FindProcessWindow(pid, cls, title)) != nullptr; }, timeoutMs);
    return h;
}

std::wstring TextOf(HWND hWnd) {
    DWORD_PTR len = 0;
    if (!SendMessageTimeoutW(hWnd, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 5000, &len))
        return L"";
    std::vector<wchar_t> buf(len + 1);
    DWORD_PTR got = 0;
    SendMessageTimeoutW(hWnd, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()), SMTO_NORMAL, 5000, &got);
    return std::wstring(buf.data(), got);
}

ControlState Control(HWND hWizard, int id) {
    ControlState s;
    HWND h = GetDlgItem(hWizard, id);
    if (!h)
        return s;
    s.exists = true;
    s.visible = (GetWindowLongW(h, GWL_STYLE) & WS_VISIBLE) != 0;
    s.enabled = IsWindowEnabled(h) != FALSE;
    GetWindowRect(h, &s.rc);
    MapWindowPoints(nullptr, hWizard, reinterpret_cast<POINT*>(&s.rc), 2);
    s.text = TextOf(h);
    return s;
}

int ProgressPos(HWND hWizard) {
    DWORD_PTR pos = 0;
    SendMessageTimeoutW(GetDlgItem(hWizard, kIdProgress), PBM_GETPOS, 0, 0, SMTO_NORMAL, 5000, &pos);
    return (int)pos;
}

std::wstring LibText(const std::wstring& dllPath, UINT id) {
    HMODULE h = LoadLibraryExW(dllPath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!h)
        return L"<no library " + dllPath + L">";
    wchar_t buf[1024] = {};
    LoadStringW(h, id, buf, 1024);
    FreeLibrary(h);
    return buf;
}

POINT ClientToScreenPt(HWND hWnd, int x, int y) {
    POINT pt = {x, y};
    ClientToScreen(hWnd, &pt);
    return pt;
}

void MouseMoveTo(POINT screen) {
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dx = (LONG)((screen.x * 65535LL) / (GetSystemMetrics(SM_CXSCREEN) - 1));
    in.mi.dy = (LONG)((screen.y * 65535LL) / (GetSystemMetrics(SM_CYSCREEN) - 1));
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &in, sizeof(in));
    Sleep(30);
}

void MouseClickAt(POINT screen) {
    MouseMoveTo(screen);
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(1, &in[0], sizeof(INPUT));
    Sleep(30);
    SendInput(1, &in[1], sizeof(INPUT));
    Sleep(30);
}

void ClickControl(HWND hWizard, int id) {
    ControlState c = Control(hWizard, id);
    MouseClickAt(ClientToScreenPt(hWizard, (c.rc.left + c.rc.right) / 2, (c.rc.top + c.rc.bottom) / 2));
}

void PressKey(WORD vk, bool withAlt) {
    std::vector<INPUT> in;
    auto key = [&](WORD k, bool up) {
        INPUT i = {};
        i.type = INPUT_KEYBOARD;
        i.ki.wVk = k;
        i.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        in.push_back(i);
    };
    if (withAlt)
        key(VK_MENU, false);
    key(vk, false);
    key(vk, true);
    if (withAlt)
        key(VK_MENU, true);
    for (INPUT& i : in) {
        SendInput(1, &i, sizeof(INPUT));
        Sleep(20);
    }
}

void MoveMouseAway() { MouseMoveTo(POINT{2, 2}); }

Image CaptureScreen(const RECT& rc) {
    Image img;
    img.w = rc.right - rc.left;
    img.h = rc.bottom - rc.top;
    if (img.w <= 0 || img.h <= 0)
        return Image();
    img.px.assign((size_t)img.w * img.h, 0);
    HDC hScreen = GetDC(nullptr);
    HDC hMem = CreateCompatibleDC(hScreen);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = img.w;
    bi.bmiHeader.biHeight = -img.h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP hbm = CreateDIBSection(hScreen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(hMem, hbm);
    BitBlt(hMem, 0, 0, img.w, img.h, hScreen, rc.left, rc.top, SRCCOPY);
    GdiFlush();
    const uint32_t* p = static_cast<const uint32_t*>(bits);
    for (size_t i = 0; i < img.px.size(); ++i)
        img.px[i] = p[i] & 0xFFFFFF;
    SelectObject(hMem, old);
    DeleteObject(hbm);
    DeleteDC(hMem);
    ReleaseDC(nullptr, hScreen);
    return img;
}

Image CaptureWindow(HWND hWnd) {
    RECT rc;
    GetWindowRect(hWnd, &rc);
    return CaptureScreen(rc);
}

Image LoadBmp(const std::wstring& path) {
    Image img;
    HBITMAP hbm = (HBITMAP)LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
    if (!hbm)
        return img;
    BITMAP bm;
    GetObjectW(hbm, sizeof(bm), &bm);
    img.w = bm.bmWidth;
    img.h = bm.bmHeight;
    img.px.assign((size_t)img.w * img.h, 0);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = img.w;
    bi.bmiHeader.biHeight = -img.h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    HDC hdc = GetDC(nullptr);
    GetDIBits(hdc, hbm, 0, img.h, img.px.data(), &bi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, hdc);
    DeleteObject(hbm);
    for (auto& v : img.px)
        v &= 0xFFFFFF;
    return img;
}

bool SaveBmp(const Image& img, const std::wstring& path) {
    if (img.w <= 0 || img.h <= 0)
        return false;
    int stride = (img.w * 3 + 3) & ~3;
    BITMAPFILEHEADER fh = {};
    BITMAPINFOHEADER ih = {};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof(fh) + sizeof(ih);
    fh.bfSize = fh.bfOffBits + stride * img.h;
    ih.biSize = sizeof(ih);
    ih.biWidth = img.w;
    ih.biHeight = img.h;
    ih.biPlanes = 1;
    ih.biBitCount = 24;
    std::string data(reinterpret_cast<const char*>(&fh), sizeof(fh));
    data.append(reinterpret_cast<const char*>(&ih), sizeof(ih));
    std::string row(stride, '\0');
    for (int y = img.h - 1; y >= 0; --y) {
        for (int x = 0; x < img.w; ++x) {
            uint32_t v = img.At(x, y);
            row[x * 3] = (char)(v & 0xFF);
            row[x * 3 + 1] = (char)((v >> 8) & 0xFF);
            row[x * 3 + 2] = (char)((v >> 16) & 0xFF);
        }
        data += row;
    }
    return WriteTextFile(path, data);
}

int CountDifferences(const Image& img, int x, int y, const Image& part) {
    if (part.w == 0 || x < 0 || y < 0 || x + part.w > img.w || y + part.h > img.h)
        return -1;
    int n = 0;
    for (int j = 0; j < part.h; ++j)
        for (int i = 0; i < part.w; ++i)
            if (img.At(x + i, y + j) != part.At(i, j))
                ++n;
    return n;
}

std::wstring ArtPath(const wchar_t* name) { return BuildDir() + L"\\art\\" + name; }

std::wstring ShotDir() {
    std::wstring dir = BuildDir() + L"\\wizard-shots\\";
    CreateDirectoryW(dir.c_str(), nullptr);
    return dir;
}

HeldWindow::HeldWindow(const std::wstring& title) : m_title(title) {
    m_hReady = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_hCloseSeen = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_hRelease = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_hThread = CreateThread(nullptr, 0, ThreadProc, this, 0, nullptr);
    WaitForSingleObject(m_hReady, 10000);
}

HeldWindow::~HeldWindow() {
    Release();
    if (m_hWnd)
        PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
    WaitForSingleObject(m_hThread, 10000);
    CloseHandle(m_hThread);
    CloseHandle(m_hReady);
    CloseHandle(m_hCloseSeen);
    CloseHandle(m_hRelease);
}

bool HeldWindow::WaitCloseSeen(DWORD timeoutMs) const {
    return WaitForSingleObject(m_hCloseSeen, timeoutMs) == WAIT_OBJECT_0;
}

void HeldWindow::Release() { SetEvent(m_hRelease); }

LRESULT CALLBACK HeldWindow::WndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<HeldWindow*>(GetWindowLongPtrW(hWnd, GWLP_USERDATA));
    switch (msg) {
    case WM_CLOSE:
        if (self) {
            InterlockedIncrement(&self->m_nCloses);
            SetEvent(self->m_hCloseSeen);
            // Bounded, so that a failing test cannot hang here.
            WaitForSingleObject(self->m_hRelease, 60000);
        }
        DestroyWindow(hWnd);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hWnd, msg, wParam, lParam);
}

DWORD WINAPI HeldWindow::ThreadProc(LPVOID p) {
    auto* self = static_cast<HeldWindow*>(p);
    WNDCLASSW wc = {};
    wc.lpfnWndProc = WndProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"WizardTestHeldWindow";
    RegisterClassW(&wc);
    HWND h = CreateWindowW(wc.lpszClassName, self->m_title.c_str(), WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                           nullptr, wc.hInstance, nullptr);
    SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->m_hWnd = h;
    SetEvent(self->m_hReady);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        DispatchMessageW(&msg);
    self->m_hWnd = nullptr;
    return 0;
}
