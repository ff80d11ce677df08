// The wizard's face and reactions without running a procedure: its shape,
// size, place and layout, its titles and texts, dragging, and what it does
// with status and timer messages sent to it directly.
#include <doctest/doctest.h>

#include <functional>

#include "wizard_driver.h"
#include "winworld.h"

namespace {

const wchar_t kInstallSuffix[] = L" - Installation Wizard";
const wchar_t kUninstallSuffix[] = L" - Uninstallation Wizard";

std::wstring EnuText(UINT id) { return LibText(PackageDir() + L"setupENU.dll", id); }

struct Snapshot {
    std::wstring heading, text;
    bool vis[6], en[6];
    int pos;
    bool operator==(const Snapshot& o) const {
        if (heading != o.heading || text != o.text || pos != o.pos)
            return false;
        for (int i = 0; i < 6; ++i)
            if (vis[i] != o.vis[i] || en[i] != o.en[i])
                return false;
        return true;
    }
};

Snapshot Take(HWND hWiz) {
    static const int ids[6] = {kIdAction, IDCANCEL, IDOK, kIdClose, kIdProgress, kIdLaunch};
    Snapshot s;
    s.heading = Control(hWiz, kIdHeading).text;
    s.text = Control(hWiz, kIdText).text;
    for (int i = 0; i < 6; ++i) {
        ControlState c = Control(hWiz, ids[i]);
        s.vis[i] = c.visible;
        s.en[i] = c.enabled;
    }
    s.pos = ProgressPos(hWiz);
    return s;
}

LRESULT Send(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    DWORD_PTR r = 0;
    SendMessageTimeoutW(h, msg, wp, lp, SMTO_NORMAL, 5000, &r);
    return (LRESULT)r;
}

// A wizard from its own copy of the package; ended by Cancel when the
// scope ends.
struct Session {
    Package pkg;
    Process p;
    HWND hWiz = nullptr;
    Session(const wchar_t* name, const std::string& ini, const wchar_t* args = L"",
            const std::function<void(const Package&)>& prepare = nullptr) {
        pkg = MakePackage(name, ini);
        if (prepare)
            prepare(pkg);
        StartProcess(L"\"" + pkg.Exe() + L"\" " + args, &p);
        REQUIRE(p.pid != 0);
        hWiz = WaitForProcessWindow(p.pid, L"#32770", nullptr, 30000);
        REQUIRE(hWiz != nullptr);
    }
    ~Session() {
        if (p.Running()) {
            PostMessageW(GetDlgItem(hWiz, kIdClose), BM_CLICK, 0, 0);
            if (!p.WaitExit(10000))
                p.Kill();
        }
    }
};

INT_PTR CALLBACK InertDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// The check box's width as the template makes it: the template of the
// package's own setup.exe, created here, hidden.
int TemplateCheckBoxWidth(const std::wstring& exe) {
    HMODULE h = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    REQUIRE(h != nullptr);
    HRSRC r = FindResourceW(h, MAKEINTRESOURCEW(102), MAKEINTRESOURCEW(5) /* RT_DIALOG */);
    REQUIRE(r != nullptr);
    auto* tmpl = static_cast<DLGTEMPLATE*>(LockResource(LoadResource(h, r)));
    std::vector<char> copy(reinterpret_cast<char*>(tmpl), reinterpret_cast<char*>(tmpl) + SizeofResource(h, r));
    // Not visible here: the copy must not show on the screen.
    DWORD* style = reinterpret_cast<DWORD*>(copy.data() + 12);  // DLGTEMPLATEEX: style after help id, ex-style
    *style &= ~WS_VISIBLE;
    HWND hDlg = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), reinterpret_cast<DLGTEMPLATE*>(copy.data()),
                                           nullptr, InertDialogProc, 0);
    REQUIRE(hDlg != nullptr);
    RECT rc;
    GetClientRect(GetDlgItem(hDlg, kIdLaunch), &rc);
    DestroyWindow(hDlg);
    FreeLibrary(h);
    return rc.right;
}

}  // namespace

TEST_CASE("shape, size, place and layout of the Ready page") {
    Session s(L"wizard_face", SetupIni("Wizard Face Console", "WizFace709"));
    HWND hWiz = s.hWiz;
    CHECK(TextOf(hWiz) == L"Wizard Face Console" + std::wstring(kInstallSuffix));

    // A borderless popup of the skin's size, centred on the screen.
    LONG style = GetWindowLongW(hWiz, GWL_STYLE);
    CHECK((style & WS_POPUP) != 0);
    CHECK((style & WS_CAPTION) == 0);
    CHECK((GetWindowLongW(hWiz, GWL_EXSTYLE) & WS_EX_APPWINDOW) != 0);
    RECT rc;
    GetWindowRect(hWiz, &rc);
    CHECK(rc.right - rc.left == kSkinWidth);
    CHECK(rc.bottom - rc.top == kSkinHeight);
    CHECK(rc.left == GetSystemMetrics(SM_CXSCREEN) / 2 - kSkinWidth / 2);
    CHECK(rc.top == GetSystemMetrics(SM_CYSCREEN) / 2 - kSkinHeight / 2);
    RECT client;
    GetClientRect(hWiz, &client);
    CHECK(client.right == kSkinWidth);
    CHECK(client.bottom == kSkinHeight);

    // The region is the skin less its key-coloured corner pixels.
    Image skin = LoadBmp(ArtPath(L"skin.bmp"));
    REQUIRE(skin.w == kSkinWidth);
    REQUIRE(skin.h == kSkinHeight);
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    CHECK(GetWindowRgn(hWiz, rgn) == COMPLEXREGION);
    int keys = 0, wrong = 0;
    for (int y = 0; y < skin.h; ++y)
        for (int x = 0; x < skin.w; ++x) {
            bool key = skin.At(x, y) == 0xFF00FF;
            keys += key;
            if ((PtInRegion(rgn, x, y) != FALSE) == key)
                ++wrong;
        }
    DeleteObject(rgn);
    CHECK(keys == 71);
    CHECK(wrong == 0);

    // The face is the skin, pixel for pixel, where no control lies.
    MoveMouseAway();
    Sleep(200);
    Image face = CaptureWindow(hWiz);
    int faceWrong = 0;
    for (int y = 93; y <= 369; ++y)
        for (int x = 11; x <= 187; ++x)
            if (face.At(x, y) != skin.At(x, y))
                ++faceWrong;
    CHECK(faceWrong == 0);

    // Every control where the layout puts it.
    struct Place {
        int id, x, y, w, h;
    };
    const int W = kSkinWidth;
    const int checkWidth = 21 + TemplateCheckBoxWidth(s.pkg.Exe()) - GetSystemMetrics(SM_CXMENUCHECK) + 2;
    const Place places[] = {
        {kIdTitle, 14, 7, W - 60, 15},     {kIdHeading, 35, 55, W - 70, 35},      {kIdText, 200, 170, W - 230, 60},
        {kIdClose, W - 32, 11, 20, 17},    {kIdAction, W - 272, 380, 111, 22},    {IDOK, W - 272, 380, 111, 22},
        {IDCANCEL, W - 133, 380, 111, 22}, {kIdLaunch, 200, 235, checkWidth, 28}, {kIdProgress, 205, 235, W - 245, 30},
    };
    for (const Place& p : places) {
        INFO("control " << p.id);
        ControlState c = Control(hWiz, p.id);
        CHECK(c.rc.left == p.x);
        CHECK(c.rc.top == p.y);
        CHECK(c.rc.right - c.rc.left == p.w);
        CHECK(c.rc.bottom - c.rc.top == p.h);
    }

    // The buttons are painted from their bitmaps.
    Image normal = LoadBmp(ArtPath(L"btn_normal.bmp")), closeImg = LoadBmp(ArtPath(L"close_normal.bmp"));
    CHECK(CountDifferences(face, W - 272, 380, normal) < normal.w * normal.h / 4);  // the caption covers the rest
    CHECK(CountDifferences(face, W - 32, 11, closeImg) == 0);
}

TEST_CASE("dragging the face moves the window; pressing a button does not") {
    Session s(L"wizard_drag", SetupIni("Wizard Drag Console", "WizDrag709"));
    HWND hWiz = s.hWiz;
    RECT before;
    GetWindowRect(hWiz, &before);

    // On a button: the button takes the press.
    POINT onCancel = ClientToScreenPt(hWiz, kSkinWidth - 133 + 5, 385);
    MouseMoveTo(onCancel);
    INPUT down = {}, up = {};
    down.type = up.type = INPUT_MOUSE;
    down.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    up.mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(1, &down, sizeof(INPUT));
    Sleep(100);
    // Released outside the button, so that it does not count as a click.
    MouseMoveTo(POINT{onCancel.x + 40, onCancel.y - 80});
    MouseMoveTo(POINT{onCancel.x + 60, onCancel.y - 120});
    SendInput(1, &up, sizeof(INPUT));
    Sleep(300);
    RECT same;
    GetWindowRect(hWiz, &same);
    CHECK(same.left == before.left);
    CHECK(same.top == before.top);
    REQUIRE(s.p.Running());

    // On the picture panel: the window follows the mouse.
    POINT start = ClientToScreenPt(hWiz, 100, 150);
    MouseMoveTo(start);
    SendInput(1, &down, sizeof(INPUT));
    Sleep(150);
    for (int i = 1; i <= 6; ++i)
        MouseMoveTo(POINT{start.x + 10 * i, start.y + 7 * i});
    Sleep(150);
    SendInput(1, &up, sizeof(INPUT));
    RECT after;
    CHECK(WaitUntil(
        [&] {
            GetWindowRect(hWiz, &after);
            return after.left != before.left;
        },
        3000));
    CHECK(after.left == before.left + 60);
    CHECK(after.top == before.top + 42);
    CHECK(after.right - after.left == kSkinWidth);
}

TEST_CASE("titles from setup.ini's AppName, bounded") {
    struct Case {
        const char* name;
        std::string ini;
        const wchar_t* args;
        std::wstring title;
    };
    const std::string longName(300, 'N');
    const std::wstring suffix = kInstallSuffix, usuffix = kUninstallSuffix;
    const Case cases[] = {
        {"one letter", SetupIni("Q", "WizT709"), L"", L"Q" + suffix},
        {"one letter, uninstall", SetupIni("Q", "WizT709"), L"delpkg", L"Q" + usuffix},
        {"empty value", SetupIni("", "WizT709"), L"", L""},
        {"no setup.ini", "", L"", L"Tarvex Array Console" + suffix},
        // GetPrivateProfileString gives at most 259 characters; the name is
        // cut so that the suffix still fits in 259.
        {"over-long", SetupIni(longName, "WizT709"), L"", std::wstring(259 - suffix.size(), L'N') + suffix},
        {"over-long, uninstall", SetupIni(longName, "WizT709"), L"delpkg",
         std::wstring(259 - usuffix.size(), L'N') + usuffix},
    };
    for (const Case& c : cases) {
        INFO("case: " << c.name);
        Session s(L"wizard_title", c.ini, c.args);
        CHECK(TextOf(s.hWiz) == c.title);
        CHECK(Control(s.hWiz, kIdTitle).text == c.title);
    }
}

TEST_CASE("ids missing from the language library show the English texts") {
    // A library with only a few of the ids, in place of the English one.
    Session s(L"wizard_partial", SetupIni("Wizard Partial Console", "WizPart709"), L"", [](const Package& pkg) {
        REQUIRE(CopyInto(BuildDir() + L"\\tests\\wizard\\partial_lang.dll", pkg.dir + L"setupENU.dll"));
    });
    const std::wstring partial = s.pkg.dir + L"setupENU.dll";
    HWND hWiz = s.hWiz;
    // What the library has, it gives.
    CHECK(Control(hWiz, kIdAction).text == LibText(partial, 1));
    CHECK(Control(hWiz, kIdHeading).text == LibText(partial, 5));
    CHECK(LibText(partial, 1) != EnuText(1));
    // What it lacks comes in English, never blank.
    CHECK(LibText(partial, 4).empty());
    CHECK(Control(hWiz, kIdText).text == EnuText(4));
    CHECK(Control(hWiz, IDCANCEL).text == EnuText(2));
    CHECK(Control(hWiz, IDOK).text == EnuText(3));
    CHECK(Control(hWiz, kIdLaunch).text == EnuText(20));
    CHECK_FALSE(EnuText(4).empty());

    // The pages the status messages lead to, too.
    Send(hWiz, kWmSetupStatus, 1, 0);
    CHECK(Control(hWiz, kIdHeading).text == EnuText(16));
    CHECK(Control(hWiz, kIdText).text == EnuText(6));
    Send(hWiz, kWmSetupStatus, 2, 0);
    CHECK(Control(hWiz, kIdHeading).text == EnuText(9));
    CHECK(Control(hWiz, kIdText).text == EnuText(8));
}

TEST_CASE("status and timer messages sent to the wizard") {
    Session s(L"wizard_status", SetupIni("Wizard Status Console", "WizStat709"));
    HWND hWiz = s.hWiz;
    const Snapshot ready = Take(hWiz);
    CHECK(ready.heading == EnuText(5));
    CHECK(ready.pos == 0);
    // With no procedure running, a session may end.
    CHECK(Send(hWiz, WM_QUERYENDSESSION, 0, 0) != 0);

    // The progress timer's id steps the bar, up to 95; other ids do
    // nothing. No timer runs on Ready; the bar gets the step that a begin
    // would give it.
    HWND hBar = GetDlgItem(hWiz, kIdProgress);
    Send(hBar, PBM_SETSTEP, 5, 0);
    Send(hWiz, WM_TIMER, 101, 0);
    CHECK(ProgressPos(hWiz) == 0);
    Send(hWiz, WM_TIMER, 100, 0);
    CHECK(ProgressPos(hWiz) == 5);
    Send(hWiz, WM_TIMER, 99, 0);
    Send(hWiz, WM_TIMER, 0x10064, 0);
    CHECK(ProgressPos(hWiz) == 5);
    for (int i = 0; i < 30; ++i)
        Send(hWiz, WM_TIMER, 100, 0);
    CHECK(ProgressPos(hWiz) == 95);
    Send(hBar, PBM_SETPOS, 0, 0);
    Send(hBar, PBM_SETSTEP, 10, 0);

    // Codes with a low byte of 0, 3, 6 or above change nothing.
    for (WPARAM code :
         {(WPARAM)0, (WPARAM)3, (WPARAM)6, (WPARAM)7, (WPARAM)0x80, (WPARAM)0xFF, (WPARAM)0x100, (WPARAM)0x4300}) {
        INFO("code " << code);
        Send(hWiz, kWmSetupStatus, code, 1);
        CHECK(Take(hWiz) == ready);
    }

    // Begin: the Working page with the bar at 0, creeping.
    Send(hWiz, kWmSetupStatus, 1, 0);
    Snapshot working = Take(hWiz);
    CHECK(working.heading == EnuText(16));
    CHECK(working.text == EnuText(6));
    CHECK(working.pos <= 5);
    CHECK(Control(hWiz, kIdProgress).visible);
    CHECK_FALSE(Control(hWiz, IDCANCEL).enabled);
    CHECK_FALSE(Control(hWiz, kIdClose).enabled);
    // The first tick steps by 5, whatever step the bar had before.
    int first = 0;
    CHECK(WaitUntil([&] { return (first = ProgressPos(hWiz)) > 0; }, 5000, 5));
    CHECK(first == 5);
    CHECK(WaitUntil([&] { return ProgressPos(hWiz) >= 20; }, 10000));
    // Another begin (high byte ignored) starts the bar again.
    Send(hWiz, kWmSetupStatus, 0x0101, 0);
    CHECK(ProgressPos(hWiz) <= 5);
    // Codes that mean nothing leave Working alone.
    for (WPARAM code : {(WPARAM)0, (WPARAM)3, (WPARAM)6, (WPARAM)9})
        Send(hWiz, kWmSetupStatus, code, 1);
    CHECK(Control(hWiz, kIdHeading).text == EnuText(16));

    // 0x0102 is the install's successful end.
    Send(hWiz, kWmSetupStatus, 0x0102, 1);
    CHECK(Control(hWiz, kIdHeading).text == EnuText(7));
    CHECK(Control(hWiz, kIdText).text == EnuText(8));
    CHECK(ProgressPos(hWiz) == 100);
    CHECK_FALSE(Control(hWiz, kIdProgress).visible);
    CHECK(Control(hWiz, kIdLaunch).visible);
    CHECK(Control(hWiz, IDOK).visible);
    CHECK_FALSE(Control(hWiz, kIdAction).visible);
    CHECK(Control(hWiz, kIdClose).enabled);
    // The timer is gone with the end: the bar stays.
    Sleep(600);
    CHECK(ProgressPos(hWiz) == 100);

    // The texts follow the code, not the wizard's mode: an uninstall's
    // begin and end show the removal texts and a full bar.
    Send(hWiz, kWmSetupStatus, 4, 0);
    CHECK(Control(hWiz, kIdHeading).text == EnuText(17));
    CHECK(Control(hWiz, kIdText).text == EnuText(13));
    Send(hWiz, kWmSetupStatus, 5, 1);
    CHECK(Control(hWiz, kIdHeading).text == EnuText(15));
    CHECK(Control(hWiz, kIdProgress).visible);
    CHECK(ProgressPos(hWiz) == 100);

    // An end that reports failure: the failure heading, no bar, no launch.
    Send(hWiz, kWmSetupStatus, 4, 0);
    Send(hWiz, kWmSetupStatus, 5, 0);
    CHECK(Control(hWiz, kIdHeading).text == EnuText(14));
    CHECK_FALSE(Control(hWiz, kIdProgress).visible);
    CHECK_FALSE(Control(hWiz, kIdLaunch).visible);
    Send(hWiz, kWmSetupStatus, 1, 0);
    Send(hWiz, kWmSetupStatus, 2, 0);
    CHECK(Control(hWiz, kIdHeading).text == EnuText(9));
    CHECK_FALSE(Control(hWiz, kIdLaunch).visible);
    CHECK(Control(hWiz, IDOK).visible);

    // The close button ends the wizard.
    PostMessageW(GetDlgItem(hWiz, kIdClose), BM_CLICK, 0, 0);
    DWORD code = 1;
    CHECK(s.p.WaitExit(10000, &code));
    CHECK(code == 0);
}

TEST_CASE("without its skin: a message, then a plain wizard that still works") {
    Package pkg = MakePackage(L"wizard_noskin", SetupIni("Wizard Bare Console", "WizBare709"));
    HANDLE hUpdate = BeginUpdateResourceW(pkg.Exe().c_str(), FALSE);
    REQUIRE(hUpdate != nullptr);
    // Not every resource updater deletes; a header that describes no bitmap
    // does as well.
    BYTE junk[16] = {};
    REQUIRE(UpdateResourceW(hUpdate, MAKEINTRESOURCEW(2) /* RT_BITMAP */, MAKEINTRESOURCEW(130),
                            MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), junk, sizeof(junk)));
    REQUIRE(EndUpdateResourceW(hUpdate, FALSE));

    Process p;
    StartProcess(L"\"" + pkg.Exe() + L"\"", &p);
    REQUIRE(p.pid != 0);
    HWND hBox = WaitForProcessWindow(p.pid, L"#32770", L"setup", 30000);
    REQUIRE(hBox != nullptr);
    CHECK(MessageBoxText(hBox) == L"Error loading bitmap");
    SendMessageW(hBox, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);

    HWND hWiz =
        WaitForProcessWindow(p.pid, L"#32770", (L"Wizard Bare Console" + std::wstring(kInstallSuffix)).c_str(), 30000);
    REQUIRE(hWiz != nullptr);
    // The skin's size and place, unshaped, in plain colours; every control
    // where the layout puts it, so that the wizard still works.
    RECT rc;
    GetWindowRect(hWiz, &rc);
    CHECK(rc.right - rc.left == kSkinWidth);
    CHECK(rc.bottom - rc.top == kSkinHeight);
    CHECK(rc.left == GetSystemMetrics(SM_CXSCREEN) / 2 - kSkinWidth / 2);
    CHECK(rc.top == GetSystemMetrics(SM_CYSCREEN) / 2 - kSkinHeight / 2);
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    CHECK(GetWindowRgn(hWiz, rgn) == ERROR);
    DeleteObject(rgn);
    CHECK(Control(hWiz, kIdHeading).text == EnuText(5));
    ControlState action = Control(hWiz, kIdAction), cancel = Control(hWiz, IDCANCEL);
    CHECK(action.visible);
    CHECK(action.rc.bottom <= kSkinHeight);
    CHECK(cancel.rc.right <= kSkinWidth);
    MoveMouseAway();
    Sleep(200);
    Image face = CaptureWindow(hWiz);
    CHECK(face.At(100, 150) == 0x475DAD);  // the content blue behind the white texts
    SaveBmp(face, ShotDir() + L"en-install-noskin.bmp");

    PostMessageW(GetDlgItem(hWiz, IDCANCEL), BM_CLICK, 0, 0);
    DWORD code = 1;
    CHECK(p.WaitExit(10000, &code));
    CHECK(code == 0);
}
