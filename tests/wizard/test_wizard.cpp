// The real setup.exe from a copy of the package, driven as a user drives it; its
// pages are pictures compared with reviewed copies, the rest checked on the way.
#include "harness.h"

#include <commctrl.h>

#include <map>
#include <tuple>

constexpr int kAction = 1000, kHeading = 1001, kText = 1002, kBar = 1003, kClose = 1004, kTitle = 1005, kLaunch = 1008,
              kNow = 1009, kLater = 1010;
const std::wstring kInstall = L" - Installation Wizard", kUninstall = L" - Uninstallation Wizard";

std::wstring Lang() { return Widen(getenv("SETUP_LANG") ? getenv("SETUP_LANG") : "ENU"); }

std::wstring T(UINT id) {  // a text of the package's library in the wizard's language
    wchar_t buf[1024] = {};
    HMODULE h = LoadLibraryExW((PackageDir() + L"setup" + Lang() + L".dll").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    return LoadStringW(h, id, buf, 1024), FreeLibrary(h), buf;
}

// Pixels of the colour in a picture's rectangle.
int Ink(const Image& img, RECT r, uint32_t ink) {
    int n = 0;
    for (const uint32_t* p = &img.px[r.top * img.w + r.left]; r.top++ < r.bottom; p += img.w)
        n += (int)std::count(p, p + r.right - r.left, ink);
    return n;
}

// Those of a caption drawn whole in the captions' face: Arial, bold, 9 points, the title's 11 (Latin in Arial itself).
int DrawnInk(const std::wstring& s, int height) {
    const bool latin = std::all_of(s.begin(), s.end(), [](wchar_t c) { return c < 0x250; });
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bm = CreateBitmap(800, 40, 1, 32, nullptr);
    HFONT f =
        CreateFontW(height, 0, 0, 0, FW_BOLD, 0, 0, 0, latin ? ANSI_CHARSET : DEFAULT_CHARSET, 0, 0, 0, 0, L"Arial");
    SelectObject(dc, bm), SelectObject(dc, f), SetTextColor(dc, 0xFFFFFF), SetBkColor(dc, 0);
    TextOutW(dc, 0, 10, s.c_str(), (int)s.size());
    const int n = Ink(Grab(dc, 0, 0, 800, 40), {0, 0, 800, 40}, 0xFFFFFF);
    return DeleteDC(dc), DeleteObject(bm), DeleteObject(f), n;
}

// A resource replaced by zeros: a bitmap that does not load, sixteen empty strings.
void Blank(const std::wstring& file, LPCWSTR type, WORD id, LANGID lang) {
    HANDLE upd = BeginUpdateResourceW(file.c_str(), FALSE);
    BYTE zeros[32] = {};
    REQUIRE((UpdateResourceW(upd, type, MAKEINTRESOURCEW(id), lang, zeros, 32) && EndUpdateResourceW(upd, FALSE)));
}

// Ways to close a window: a message posted, or with none a key (PressKey).
const std::pair<UINT, WPARAM> kWays[] = {
    {0, VK_ESCAPE},         {0, VK_MENU << 8 | VK_F4}, {WM_CLOSE, 0}, {WM_SYSCOMMAND, SC_CLOSE},
    {WM_COMMAND, IDCANCEL}, {WM_COMMAND, IDOK},        {0, VK_RETURN}};

// Real keys on the pages, those of a shot pressed right after it; each with
// the control that has the focus then, 0 once the wizard has ended.
const std::map<std::wstring, std::vector<std::pair<int, int>>> kKeys = {
    {L"install-ready", {{0, kAction}, {VK_TAB, IDCANCEL}, {VK_SHIFT << 8 | VK_TAB, kAction}}},
    {L"uninstall-ready", {{0, kAction}, {VK_SHIFT << 8 | VK_TAB, IDCANCEL}, {VK_TAB, kAction}}},
    {L"install", {{VK_RETURN, IDOK}}},                                           // through to Finished
    {L"install-finished", {{0, IDOK}, {VK_TAB, kLaunch}, {VK_SPACE, kLaunch}}},  // the box unticked
    {L"partial-finished", {{0, IDOK}, {VK_ESCAPE, 0}}},                          // the box ticked, yet nothing starts
    {L"launch", {{VK_RETURN, IDOK}, {VK_RETURN, 0}}},                         // the box ticked: the application starts
    {L"uninstall-finished", {{0, IDOK}, {VK_TAB, IDOK}, {VK_SPACE, 0}}},      // no box
    {L"install-noskin", {{0, kAction}, {VK_TAB, IDCANCEL}, {VK_RETURN, 0}}},  // Cancel
    {L"install-failed", {{0, IDOK}, {VK_SHIFT << 8 | VK_TAB, IDOK}, {VK_RETURN, 0}}},
    {L"install-restart", {{0, IDOK}, {VK_TAB, kNow}, {VK_SPACE, kNow}}},  // "later" chosen, no launch box
    {L"install-restart-now", {{VK_TAB, kLater}, {VK_SPACE, kLater}, {VK_RETURN, 0}}},
    {L"restart-now", {{VK_TAB, kNow}, {VK_SPACE, kNow}, {VK_RETURN, 0}}}};

// A wizard, found by its title: always a borderless popup centred on the screen.
struct Wizard : Proc {
    HWND w;
    Wizard(const std::wstring& cmd, const std::wstring& title)
        : Proc(cmd), w(WaitForWindow(pid, L"#32770", title.c_str())) {
        REQUIRE(w);
        RECT rc;
        GetWindowRect(w, &rc);
        CHECK((abs(rc.left + rc.right - GetSystemMetrics(SM_CXSCREEN)) <= 1 &&
               abs(rc.top + rc.bottom - GetSystemMetrics(SM_CYSCREEN)) <= 1 &&
               (GetWindowLongW(w, GWL_EXSTYLE) & WS_EX_APPWINDOW) &&
               (GetWindowLongW(w, GWL_STYLE) & (WS_POPUP | WS_CAPTION | WS_THICKFRAME)) == WS_POPUP));
    }
    int Pos() { return (int)SendMessageW(GetDlgItem(w, kBar), PBM_GETPOS, 0, 0); }
    void Status(WPARAM code, LPARAM ok) { SendMessageW(w, WM_USER + 100, code, ok); }
    void CloseBy(std::pair<UINT, WPARAM> x) {
        SetForegroundWindow(w);
        x.first ? (void)PostMessageW(w, x.first, x.second, 0) : PressKey((WORD)x.second);
    }
    int Focus() {  // the control with the keyboard focus
        GUITHREADINFO gui = {};
        gui.cbSize = sizeof(gui);
        return GetGUIThreadInfo(GetWindowThreadProcessId(w, nullptr), &gui) ? GetDlgCtrlID(gui.hwndFocus) : -1;
    }
    void Keys(const std::wstring& page) {
        for (const auto& k : kKeys.count(page) ? kKeys.at(page) : std::vector<std::pair<int, int>>{}) {
            k.first ? CloseBy({0, k.first}) : (void)0;
            CHECK_MESSAGE(WaitUntil([&] { return k.second ? Focus() == k.second : !Running(); }, 30000), Narrow(page));
        }
    }
    void Shot(const std::wstring& name) {
        MoveMouseAway();
        Sleep(200);  // hover images gone, repaints done
        const Image img = CaptureWindow(w);
        SaveShot(img, (Lang() == L"ENU" ? L"en" : Lower(Lang())) + L"-" + name);
        for (int id : {kTitle, kAction, IDOK, IDCANCEL, kLaunch, kNow, kLater}) {  // each as much ink as drawn whole
            const Ctl c = Control(w, id);
            const int image = id == kLaunch ? 25 : id >= kNow ? 27 : 0;
            const RECT caption = {c.rc.left + image, c.rc.top, c.rc.right, c.rc.bottom};  // past the box
            const uint32_t ink = id == kTitle                         ? 0x550000
                                 : IsWindowEnabled(GetDlgItem(w, id)) ? 0xFFFFFF
                                                                      : GetSysColor(COLOR_GRAYTEXT);  // a grey
            CHECK_MESSAGE((!c.visible || Ink(img, caption, ink) == DrawnInk(c.text, id == kTitle ? -15 : -12)),
                          Narrow(name + L" " + c.text));
        }
        Speaks(name);
        Keys(name);
    }
    // Each visible control's role, name and the states it decides, as a screen reader
    // hears them (the bar is the system's own; a check button's role follows a push button's).
    void Speaks(const std::wstring& page) {
        const long kMask = STATE_SYSTEM_UNAVAILABLE | STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_FOCUSED |
                           STATE_SYSTEM_DEFAULT | STATE_SYSTEM_CHECKED | STATE_SYSTEM_READONLY;
        const bool ticked = page == L"install-finished" || page == L"partial-finished";  // as the pictures show
        const int def = LOWORD(SendMessageW(w, DM_GETDEFID, 0, 0));
        for (HWND c = GetWindow(w, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            const int id = GetDlgCtrlID(c), label = id == kHeading || id == kText || id == kTitle, box = id == kLaunch,
                      radio = id == kNow || id == kLater;
            const bool chosen = box ? ticked : radio && (page == L"install-restart") == (id == kLater);
            if (!IsWindowVisible(c) || id == kBar)
                continue;
            const Heard h = Hear(c);
            const long state = (IsWindowEnabled(c) ? !label * STATE_SYSTEM_FOCUSABLE : STATE_SYSTEM_UNAVAILABLE) |
                               label * STATE_SYSTEM_READONLY | (Focus() == id) * STATE_SYSTEM_FOCUSED |
                               (id == def) * STATE_SYSTEM_DEFAULT | chosen * STATE_SYSTEM_CHECKED;
            const std::wstring name = id != kClose ? TextOf(c) : page != L"partial-finished" ? T(23) : L"Close";
            CHECK_MESSAGE((h.role == (label ? ROLE_SYSTEM_STATICTEXT : ROLE_SYSTEM_PUSHBUTTON + box + 2 * radio) &&
                           h.name == name && (h.state & kMask) == state),
                          Narrow(page) << " " << id);
        }
    }
};

// The application's title on a thread that answers nothing until released.
struct Held {
    std::wstring title;
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr), thread = CreateThread(nullptr, 0, Run, this, 0, 0);
    ~Held() { SetEvent(release), WaitForSingleObject(thread, 10000); }
    static DWORD WINAPI Run(void* p) {
        HWND h = CreateWindowW(L"STATIC", static_cast<Held*>(p)->title.c_str(), WS_POPUP, 0, 0, 1, 1, 0, 0, 0, 0);
        return WaitForSingleObject(static_cast<Held*>(p)->release, 30000) + DestroyWindow(h);
    }
};

// Ready; Working (two clicks, closes refused, held at 95); the end.
void Through(Wizard& wiz, const std::wstring& app, const std::wstring& kind, UINT doneHeading) {
    Held held{app};
    wiz.Shot(kind + L"-ready");
    PostMessageW(GetDlgItem(wiz.w, kAction), BM_CLICK, 0, 0);
    PostMessageW(GetDlgItem(wiz.w, kAction), BM_CLICK, 0, 0);
    REQUIRE(WaitUntil([&] { return wiz.Pos() > 0; }, 10000));
    for (auto x : kWays)
        CHECK_MESSAGE((wiz.CloseBy(x), Sleep(150), IsWindowVisible(wiz.w)), x.first << " " << x.second);
    CHECK(SendMessageW(wiz.w, WM_QUERYENDSESSION, 0, 0) == 0);
    REQUIRE(WaitUntil([&] { return wiz.Pos() == 95; }, 20000));
    wiz.Shot(kind + L"-working");
    Listener ears(wiz.pid);
    SetEvent(held.release);
    REQUIRE(WaitUntil([&] { return Control(wiz.w, kHeading).text == T(doneHeading); }, 60000));
    CHECK(ears.Count(EVENT_OBJECT_NAMECHANGE, GetDlgItem(wiz.w, kHeading)) == 1);  // the new heading is read out
    CHECK(ears.Count(EVENT_OBJECT_STATECHANGE, GetDlgItem(wiz.w, kClose)) == 1);   // enabled again
    CHECK(ears.Count(EVENT_OBJECT_STATECHANGE, GetDlgItem(wiz.w, kLaunch)) == (kind == L"install"));  // ticked
    CHECK((wiz.Status(5, 0), Control(wiz.w, kHeading).text == T(doneHeading)));  // a second end is no news
    wiz.Shot(kind + L"-finished");
}

TEST_CASE("the wizards, page by page") {
    const AppNames n{L"WizTest709", L"Tarvex Array Console"};
    Scrub(n);
    const std::wstring pkg = CopyPackage(L"wizard", IniFor(n)), exe = pkg + L"setup.exe", dir = InstallDirOf(n);
    Wizard install(Q(exe) + L" " + Q(L"log=" + pkg + L"setup.log"), n.app + T(21));
    Through(install, n.app, L"install", 7);
    install.Shot(L"install-finished-unticked");
    for (std::wstring act : {L"Check", L"Uncheck"}) {  // as a screen reader does it: ticked, then cleared again
        HWND box = GetDlgItem(install.w, kLaunch);
        CHECK((Hear(box).action == act && Hear(box, true).acted));
        CHECK(WaitUntil([&] { return !(Hear(box).state & STATE_SYSTEM_CHECKED) == (act == L"Uncheck"); }, 5000));
    }
    install.CloseBy({0, VK_RETURN});  // Finish, the default
    CHECK(install.Wait() == 0);
    const auto log = Lines(ReadFileText(pkg + L"setup.log"));  // the steps, as the silent install logs them
    CHECK((log.size() > 30 && log.back().substr(24) == "end: the wizard was finished; exit code 0"));
    CHECK(HelperLog(dir, 1) == std::vector<std::string>{"-i"});  // one procedure for two clicks

    // Timer ticks: id 100 alone steps the bar, by its step.
    Wizard status(Q(exe), n.app + T(21));
    for (auto t : {std::pair<int, int>{101, 0}, {100, 10}, {99, 10}, {0x10064, 10}, {100, 20}})
        CHECK_MESSAGE((SendMessageW(status.w, WM_TIMER, t.first, 0), status.Pos()) == t.second, t.first);
    // Status codes: the low byte counts; others, and ends no procedure reports,
    // change nothing. Code, result, heading, text, bar (its most, -1 hidden).
    const int rows[][5] = {{0, 1, 5, 4, -1},     {3, 1, 5, 4, -1},      {6, 1, 5, 4, -1},  {0xFF, 1, 5, 4, -1},
                           {0x100, 1, 5, 4, -1}, {2, 1, 5, 4, -1},      {5, 0, 5, 4, -1},  {0x101, 0, 16, 6, 5},
                           {9, 1, 16, 6, 10},    {0x102, 1, 16, 6, 10}, {4, 0, 17, 13, 5}, {5, 1, 17, 13, 5}};
    for (const auto& r : rows) {
        status.Status(r[0], r[1]);
        CAPTURE(r[0]);
        CHECK((Control(status.w, kHeading).text == T(r[2]) && Control(status.w, kText).text == T(r[3])));
        CHECK((Control(status.w, kBar).visible ? r[4] == 100 ? status.Pos() == 100 : status.Pos() <= r[4] : r[4] < 0));
    }
    CHECK((status.CloseBy({WM_CLOSE, 0}), status.Wait() == 1602));

    // Dragging the face moves the window by as much; pressing a button does not.
    Wizard launch(Q(exe), n.app + T(21));
    for (const auto& d : {POINT{456, 385}, POINT{100, 150}}) {
        RECT a, b;
        GetWindowRect(launch.w, &a);
        MouseMoveTo({a.left + d.x, a.top + d.y});
        mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
        Sleep(150);
        MouseMoveTo({a.left + d.x + 60, a.top + d.y - 42});
        mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
        Sleep(200);
        GetWindowRect(launch.w, &b);
        CHECK((b.left - a.left == 60 * (d.x == 100) && b.top - a.top == -42 * (d.x == 100)));
    }
    CHECK_FALSE(FileExists(dir + L"\\Cfg.QX"));  // no application from the wizards before
    launch.Keys(L"launch");
    CHECK(WaitForWindow(0, L"QXRaidConsoleWindow", n.app.c_str()));
    EndWindowProcesses(n.app);

    // The runtime held open: the restart choice, by keys. "Later" ends with 3010;
    // "now" with Wine's own restart (1641), which puts the waiting files in place.
    const std::wstring rt = dir + L"\\mingwm10.dll", sm = L"System\\CurrentControlSet\\Control\\Session Manager";
    for (const std::wstring page : {L"install-restart", L"restart-now"}) {
        HANDLE held = CreateFileW(rt.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        Wizard restart(Q(exe), n.app + T(21));
        restart.Keys(L"install");
        page[0] == L'i' ? restart.Shot(page), restart.Shot(page + L"-now") : restart.Keys(page);
        CHECK((restart.Wait() == (page[0] == L'i' ? 3010u : 1641u) && CloseHandle(held)));
    }
    CHECK(WaitUntil([&] { return !RegHasValue(HKEY_LOCAL_MACHINE, sm, L"PendingFileRenameOperations"); }, 30000));

    Wizard uninstall(RegStr(HKEY_LOCAL_MACHINE, UninstallKeyOf(n), L"UninstallString"), n.app + T(22));
    Through(uninstall, n.app, L"uninstall", 15);
    CHECK(uninstall.Wait() == 0);
    CHECK_FALSE(FileExists(dir + L"\\" + n.file));

    // The service helper missing: a box while still working, then failure.
    REQUIRE(DeleteFileW((pkg + L"Application\\VolSvcInstall.exe").c_str()));
    Wizard failing(Q(exe), n.app + T(21));
    ClickControl(failing.w, kAction);
    HWND box = WaitForWindow(failing.pid, L"#32770", L"Fail");
    CHECK((MessageBoxText(box) == L"Fail to install the service!" && Control(failing.w, kHeading).text == T(16)));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    REQUIRE(WaitUntil([&] { return Control(failing.w, kHeading).text == T(9); }, 30000));
    failing.Shot(L"install-failed");
    CHECK(failing.Wait() == 1603);
    Scrub(n);

    // Without its skin: a box, then a plain wizard; Cancel (by Enter) installs nothing.
    Blank(exe, RT_BITMAP, 130, 0);
    BoxWatcher boxes(L"setup");
    Wizard bare(Q(exe), n.app + T(21));
    CHECK(boxes.Stop() == std::vector<std::string>{"Error loading bitmap"});
    bare.Shot(L"install-noskin");
    CHECK(bare.Wait() == 1602);
    CHECK_FALSE(FileExists(dir));

    // Ids 16 to 31 missing from the library: those texts, the title's too, come in English.
    REQUIRE(CopyInto(PackageDir() + L"setup.exe", exe));
    REQUIRE(CopyInto(PackageDir() + L"setupDEU.dll", pkg + L"setup" + Lang() + L".dll"));
    Blank(pkg + L"setup" + Lang() + L".dll", RT_STRING, 2, 0x407);
    REQUIRE(CopyInto(PackageDir() + L"Application\\VolSvcInstall.exe", pkg + L"Application\\VolSvcInstall.exe"));
    Wizard partial(Q(exe), n.app + kInstall);
    partial.Keys(L"install");
    partial.Shot(L"partial-finished");
    CHECK_FALSE(WaitForWindow(0, L"QXRaidConsoleWindow", n.app.c_str(), 2000));

    // Titles from AppName, 259 characters at most with the suffix whole. Each
    // wizard lets a session end and closes a way of its own (Enter installs).
    const std::wstring longName(300, L'N');
    const std::tuple<std::string, const wchar_t*, std::wstring> titles[] = {
        {IniFor({n.folder, L"Q"}), L"", L"Q" + kInstall},
        {IniFor({n.folder, L"Q"}), L" delpkg", L"Q" + kUninstall},
        {IniFor({n.folder, L""}), L"", L""},
        {"", L"", L"Tarvex Array Console" + kInstall},
        {IniFor({n.folder, longName}), L"", longName.substr(0, 259 - kInstall.size()) + kInstall},
        {IniFor({n.folder, longName}), L" delpkg", longName.substr(0, 259 - kUninstall.size()) + kUninstall}};
    for (size_t i = 0; i < 6; ++i) {
        const auto& [ini, args, title] = titles[i];
        ini.empty() ? DeleteFileW((pkg + L"setup.ini").c_str()) : WriteFileText(pkg + L"setup.ini", ini);
        Wizard wiz(Q(exe) + args, title);
        CHECK(SendMessageW(wiz.w, WM_QUERYENDSESSION, 0, 0) != 0);
        Sleep(300);  // X's focus news, which would let go of Alt, comes first
        wiz.CloseBy(kWays[i]);
        CHECK_MESSAGE(wiz.Wait(10000) == 1602, i);
    }
}

// The pages in a language that has no run of the test case above: each under its own locale, one
// real install for the Finished page, a failing one for the Failed page.
TEST_CASE("every page in one more language") {
    const AppNames n{L"WizLang709", L"Tarvex Array Console"};
    const std::wstring ok = CopyPackage(L"languages", IniFor(n)) + L"setup.exe",
                       failing = CopyPackage(L"languages failing", IniFor(n), {L"VolSvcInstall.exe"}) + L"setup.exe";
    BoxWatcher boxes;  // the failing install's
    Scrub(n);          // the failing install first: one over a whole installation would find the helper
    Wizard(Q(ok) + L" delpkg", n.app + T(22)).Shot(L"uninstall-ready");
    // One at a time (a second copy ends at once); after the failing one, as on XP: no service, quicker.
    for (const std::wstring page : {L"install-failed", L"install-finished", L"install-restart"}) {
        WinVersionFor version(L"setup.exe", page == L"install-failed" ? L"win7" : L"winxp64");
        const std::wstring rt = InstallDirOf(n) + L"\\mingwm10.dll";  // held for the restart page
        HANDLE held = page == L"install-restart" ? CreateFileW(rt.c_str(), GENERIC_READ, 0, 0, OPEN_EXISTING, 0, 0) : 0;
        Wizard wiz(Q(page == L"install-failed" ? failing : ok), n.app + T(21));
        page == L"install-finished" ? wiz.Shot(L"install-ready") : (void)0;
        wiz.Keys(L"install");
        wiz.Shot(page);
        if (held)  // left by choosing "later"
            CHECK((wiz.Keys(L"install-restart-now"), wiz.Wait() == 3010 && CloseHandle(held)));
    }
    SHDeleteValueW(HKEY_LOCAL_MACHINE, L"System\\CurrentControlSet\\Control\\Session Manager",
                   L"PendingFileRenameOperations");
    Scrub(n);
}
