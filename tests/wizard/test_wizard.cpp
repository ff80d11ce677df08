// The real setup.exe from a copy of the built package, driven as a user
// would drive it: its window found by title, its pages read back control by
// control, buttons clicked with the mouse, keys pressed, its results looked
// for on disk, in the registry and among the windows on the screen.
#include <doctest/doctest.h>

#include <shlobj.h>

#include <algorithm>
#include <string.h>

#include "wizard_driver.h"
#include "winworld.h"

namespace {

// The language the wizard is expected to speak (--lang=ENU or CHT); the
// test process and setup.exe share their locale through the environment.
std::wstring g_lang = L"ENU";
std::wstring ShotPrefix() { return g_lang == L"ENU" ? L"en" : Lower(g_lang); }

// The package's own name, so that the pages look as a user sees them; the
// folder is the test's own.
const char kAppName[] = "Tarvex Array Console";
const char kFolderName[] = "WizTest709";
const wchar_t kInstallSuffix[] = L" - Installation Wizard";
const wchar_t kUninstallSuffix[] = L" - Uninstallation Wizard";
const wchar_t kAppWindowClass[] = L"QXRaidConsoleWindow";

std::wstring W(const std::string& s) {
    int n = MultiByteToWideChar(CP_UTF8, 0, s.c_str(), (int)s.size(), nullptr, 0);
    std::wstring w(n, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, s.c_str(), (int)s.size(), &w[0], n);
    return w;
}

std::wstring InstallDir(const std::string& folder) {
    wchar_t windir[MAX_PATH];
    GetWindowsDirectoryW(windir, MAX_PATH);
    std::wstring root = windir;
    root = root.substr(0, root.rfind(L'\\') + 1);
    return root + L"Program Files\\" + W(folder);
}

std::wstring UninstallKey(const std::string& folder) {
    return L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + W(folder);
}

std::wstring ShellFolder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    SHGetSpecialFolderPathW(nullptr, path, csidl, FALSE);
    return path;
}

std::wstring DesktopLink(const std::string& app) {
    return ShellFolder(CSIDL_DESKTOPDIRECTORY) + L"\\" + W(app) + L".lnk";
}
std::wstring MenuFolder(const std::string& app) { return ShellFolder(CSIDL_COMMON_PROGRAMS) + L"\\" + W(app); }

// What an earlier run may have left: the install, its entry, its links.
void ForgetInstall(const std::string& app, const std::string& folder) {
    DeleteTree(InstallDir(folder));
    RegDeleteTree(HKEY_LOCAL_MACHINE, UninstallKey(folder));
    DeleteFileW(DesktopLink(app).c_str());
    DeleteTree(MenuFolder(app));
}

std::wstring LinkTarget(const std::wstring& link) {
    std::wstring target;
    CoInitialize(nullptr);
    IShellLinkW* psl = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&psl)))) {
        IPersistFile* ppf = nullptr;
        if (SUCCEEDED(psl->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&ppf)))) {
            wchar_t path[MAX_PATH] = {};
            if (SUCCEEDED(ppf->Load(link.c_str(), STGM_READ)) && SUCCEEDED(psl->GetPath(path, MAX_PATH, nullptr, 0)))
                target = path;
            ppf->Release();
        }
        psl->Release();
    }
    CoUninitialize();
    return target;
}

int CountLines(const std::string& text, const std::string& line) {
    int n = 0;
    size_t pos = 0;
    while ((pos = text.find(line, pos)) != std::string::npos) {
        ++n;
        pos += line.size();
    }
    return n;
}

// The texts of one wizard, from the library it loads.
struct Texts {
    std::wstring lib;
    std::wstring operator()(UINT id) const { return LibText(lib, id); }
};
Texts TextsOf(const std::wstring& folder) { return Texts{folder + L"setup" + g_lang + L".dll"}; }

enum class Page { Ready, Working, FinishedInstall, FinishedUninstall, Failed };

const char* PageName(Page p) {
    switch (p) {
    case Page::Ready:
        return "Ready";
    case Page::Working:
        return "Working";
    case Page::FinishedInstall:
        return "Finished (install)";
    case Page::FinishedUninstall:
        return "Finished (uninstall)";
    case Page::Failed:
        return "Finished (failed)";
    }
    return "?";
}

// Visibility and enabled state of every control on a page.
void CheckPageControls(HWND hWiz, Page page) {
    INFO("page: " << PageName(page));
    ControlState action = Control(hWiz, kIdAction), cancel = Control(hWiz, IDCANCEL), finish = Control(hWiz, IDOK),
                 close = Control(hWiz, kIdClose), bar = Control(hWiz, kIdProgress), check = Control(hWiz, kIdLaunch),
                 heading = Control(hWiz, kIdHeading), text = Control(hWiz, kIdText), title = Control(hWiz, kIdTitle);
    CHECK(heading.visible);
    CHECK(text.visible);
    CHECK(title.visible);
    CHECK(close.visible);
    CHECK(cancel.visible);
    switch (page) {
    case Page::Ready:
        CHECK(action.visible);
        CHECK(action.enabled);
        CHECK(cancel.enabled);
        CHECK_FALSE(finish.visible);
        CHECK(close.enabled);
        CHECK_FALSE(bar.visible);
        CHECK_FALSE(check.visible);
        break;
    case Page::Working:
        CHECK(action.visible);
        CHECK_FALSE(action.enabled);
        CHECK_FALSE(cancel.enabled);
        CHECK_FALSE(finish.visible);
        CHECK_FALSE(close.enabled);
        CHECK(bar.visible);
        CHECK_FALSE(check.visible);
        break;
    case Page::FinishedInstall:
    case Page::FinishedUninstall:
    case Page::Failed:
        CHECK_FALSE(action.visible);
        CHECK_FALSE(cancel.enabled);
        CHECK(finish.visible);
        CHECK(finish.enabled);
        CHECK(close.enabled);
        CHECK(bar.visible == (page == Page::FinishedUninstall));
        CHECK(check.visible == (page == Page::FinishedInstall));
        break;
    }
}

// Heading and text of a page, in install (ids a) or uninstall (ids b) mode.
void CheckPageTexts(HWND hWiz, const Texts& t, UINT headingId, UINT textId) {
    CHECK(Control(hWiz, kIdHeading).text == t(headingId));
    CHECK(Control(hWiz, kIdText).text == t(textId));
}

bool HeadingIs(HWND hWiz, const std::wstring& s) { return Control(hWiz, kIdHeading).text == s; }

// The check box's face: the checked or the cleared image at its left edge.
int CheckImageDifferences(HWND hWiz, bool checked) {
    ControlState c = Control(hWiz, kIdLaunch);
    Image img = CaptureScreen(RECT{ClientToScreenPt(hWiz, c.rc.left, 0).x, ClientToScreenPt(hWiz, 0, c.rc.top).y,
                                   ClientToScreenPt(hWiz, c.rc.right, 0).x, ClientToScreenPt(hWiz, 0, c.rc.bottom).y});
    Image mark = LoadBmp(ArtPath(checked ? L"check_on.bmp" : L"check_off.bmp"));
    return CountDifferences(img, 0, (c.rc.bottom - c.rc.top) / 2 - mark.h / 2, mark);
}

void Shot(HWND hWiz, const std::wstring& name) {
    MoveMouseAway();
    Sleep(150);  // let hover images go and repaints land
    CHECK(SaveBmp(CaptureWindow(hWiz), ShotDir() + ShotPrefix() + L"-" + name + L".bmp"));
}

// No application window turns up, and no start is recorded.
void CheckNothingLaunched(const std::string& folder) {
    CHECK_FALSE(WaitUntil([] { return FindWindowW(kAppWindowClass, nullptr) != nullptr; }, 3000));
    CHECK_FALSE(FileExists(InstallDir(folder) + L"\\Cfg.QX"));
}

void CloseApplication() {
    HWND h = FindWindowW(kAppWindowClass, nullptr);
    if (h)
        PostMessageW(h, WM_CLOSE, 0, 0);
    WaitUntil([] { return FindWindowW(kAppWindowClass, nullptr) == nullptr; }, 10000);
}

// Starts the install wizard of a package and waits for its window.
HWND StartWizard(const std::wstring& commandLine, const std::wstring& title, Process* p) {
    StartProcess(commandLine, p);
    REQUIRE(p->pid != 0);
    HWND h = WaitForProcessWindow(p->pid, L"#32770", title.c_str(), 30000);
    REQUIRE_MESSAGE(h != nullptr, "no wizard titled " << Narrow(title));
    return h;
}

// Clicks Install and waits for the Finished page; the Working page must
// have been seen on the way.
void InstallThrough(HWND hWiz, const Texts& t) {
    ClickControl(hWiz, kIdAction);
    REQUIRE(WaitUntil([&] { return HeadingIs(hWiz, t(7)); }, 60000));
}

}  // namespace

int main(int argc, char** argv) {
    doctest::Context ctx(argc, argv);
    if (const char* lang = ArgValue(argc, argv, "--lang="))
        g_lang = W(lang);
    return ctx.run();
}

TEST_CASE("install and uninstall wizards, end to end") {
    const std::string app = kAppName, folder = kFolderName;
    const std::wstring dir = InstallDir(folder);
    ForgetInstall(app, folder);
    CloseApplication();
    Package pkg = MakePackage(L"wizard_flow", SetupIni(app, folder));
    const Texts t = TextsOf(pkg.dir);
    const std::wstring installTitle = W(app) + kInstallSuffix;
    REQUIRE(t(1).size() > 0);

    // Cancel on Ready: the wizard ends and nothing is installed.
    {
        Process p;
        HWND hWiz = StartWizard(L"\"" + pkg.Exe() + L"\"", installTitle, &p);
        CheckPageControls(hWiz, Page::Ready);
        CheckPageTexts(hWiz, t, 5, 4);
        CHECK(Control(hWiz, kIdAction).text == t(1));
        CHECK(Control(hWiz, IDCANCEL).text == t(2));
        CHECK(Control(hWiz, IDOK).text == t(3));
        CHECK(Control(hWiz, kIdLaunch).text == t(20));
        Shot(hWiz, L"install-ready");
        ClickControl(hWiz, IDCANCEL);
        DWORD code = 1;
        CHECK(p.WaitExit(15000, &code));
        CHECK(code == 0);
        CHECK_FALSE(FileExists(dir));
        CHECK_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, UninstallKey(folder)));
    }

    // A long install: an application window that takes its time to close
    // holds the procedure while the bar creeps, the wizard refuses to be
    // closed, and a second click starts nothing.
    {
        Process p;
        HWND hWiz = StartWizard(L"\"" + pkg.Exe() + L"\"", installTitle, &p);
        HeldWindow held(W(app));
        REQUIRE(held.Handle() != nullptr);

        // Two clicks queued before the worker can report its begin.
        HWND hAction = GetDlgItem(hWiz, kIdAction);
        PostMessageW(hAction, BM_CLICK, 0, 0);
        PostMessageW(hAction, BM_CLICK, 0, 0);
        REQUIRE(WaitUntil([&] { return HeadingIs(hWiz, t(16)); }, 15000));
        CheckPageControls(hWiz, Page::Working);
        CheckPageTexts(hWiz, t, 16, 6);
        CHECK(ProgressPos(hWiz) <= 10);
        REQUIRE(held.WaitCloseSeen(15000));

        // The bar grows in steps of 5, never backwards, and stops at 95.
        std::vector<int> seen;
        bool reached = WaitUntil(
            [&] {
                int pos = ProgressPos(hWiz);
                if (seen.empty() || seen.back() != pos)
                    seen.push_back(pos);
                return pos >= 95;
            },
            20000, 10);
        CHECK(reached);
        CHECK(seen.size() >= 10);
        for (size_t i = 0; i < seen.size(); ++i) {
            INFO("position " << seen[i]);
            CHECK(seen[i] % 5 == 0);
            CHECK(seen[i] <= 95);
            if (i > 0)
                CHECK(seen[i] > seen[i - 1]);
        }
        Shot(hWiz, L"install-working");

        // Every way of closing is refused while the procedure runs.
        SetForegroundWindow(hWiz);
        PressKey(VK_ESCAPE);
        PressKey(VK_F4, true);
        PressKey(VK_RETURN);
        PostMessageW(hWiz, WM_CLOSE, 0, 0);
        PostMessageW(hWiz, WM_SYSCOMMAND, SC_CLOSE, 0);
        PostMessageW(hWiz, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        PostMessageW(hWiz, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        // A session that ends is asked to wait.
        DWORD_PTR mayEnd = 1;
        CHECK(SendMessageTimeoutW(hWiz, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, 5000, &mayEnd));
        CHECK(mayEnd == 0);
        Sleep(1500);  // ten timer periods: the bar would have moved by now
        CHECK(p.Running());
        CHECK(IsWindow(hWiz));
        CHECK(HeadingIs(hWiz, t(16)));
        CHECK(ProgressPos(hWiz) == 95);
        CheckPageControls(hWiz, Page::Working);

        held.Release();
        REQUIRE(WaitUntil([&] { return HeadingIs(hWiz, t(7)); }, 60000));
        CHECK(held.CloseCount() == 1);
        CheckPageControls(hWiz, Page::FinishedInstall);
        CheckPageTexts(hWiz, t, 7, 8);
        CHECK(ProgressPos(hWiz) == 100);
        CHECK(CheckImageDifferences(hWiz, true) == 0);
        Shot(hWiz, L"install-finished");

        // What the install left behind.
        CHECK(FileExists(dir + L"\\QXRaidSetup.exe"));
        CHECK(FileExists(dir + L"\\Uninstall\\setup.exe"));
        CHECK(FileExists(dir + L"\\Uninstall\\setup.ini"));
        CHECK(FileExists(dir + L"\\Uninstall\\setup" + g_lang + L".dll"));
        std::wstring uninstall;
        CHECK(RegReadString(HKEY_LOCAL_MACHINE, UninstallKey(folder), L"UninstallString", &uninstall));
        // The uninstaller's path, quoted or not, then "delpkg".
        INFO("UninstallString: " << Narrow(uninstall));
        std::wstring unquoted = uninstall;
        unquoted.erase(std::remove(unquoted.begin(), unquoted.end(), L'"'), unquoted.end());
        CHECK(Lower(unquoted) == Lower(dir + L"\\Uninstall\\setup.exe delpkg"));
        std::wstring displayName;
        CHECK(RegReadString(HKEY_LOCAL_MACHINE, UninstallKey(folder), L"DisplayName", &displayName));
        CHECK(displayName == W(app));
        CHECK(Lower(LinkTarget(DesktopLink(app))) == Lower(dir + L"\\QXRaidSetup.exe"));
        CHECK(Lower(LinkTarget(MenuFolder(app) + L"\\" + W(app) + L".lnk")) == Lower(dir + L"\\QXRaidSetup.exe"));
        CHECK(Lower(LinkTarget(MenuFolder(app) + L"\\Uninstall.lnk")) == Lower(dir + L"\\Uninstall\\setup.exe"));
        // One procedure ran, not two: the service helper was asked once.
        CHECK(CountLines(ReadTextFile(dir + L"\\VolSvcInstall.log"), "-i") == 1);

        // Finish with the box checked: the application starts.
        ClickControl(hWiz, IDOK);
        DWORD code = 1;
        CHECK(p.WaitExit(15000, &code));
        CHECK(code == 0);
        CHECK(WaitUntil([&] { return FindWindowW(kAppWindowClass, W(app).c_str()) != nullptr; }, 15000));
        CHECK(WaitUntil([&] { return FileExists(dir + L"\\Cfg.QX"); }, 5000));
        CloseApplication();
    }

    // Again, with the box cleared and Finish taken by Enter: nothing starts.
    {
        DeleteFileW((dir + L"\\Cfg.QX").c_str());
        Process p;
        HWND hWiz = StartWizard(L"\"" + pkg.Exe() + L"\"", installTitle, &p);
        InstallThrough(hWiz, t);
        REQUIRE(WaitUntil([&] { return CheckImageDifferences(hWiz, true) == 0; }, 3000));
        ClickControl(hWiz, kIdLaunch);
        CHECK(WaitUntil([&] { return CheckImageDifferences(hWiz, false) == 0; }, 3000));
        // Enter means Finish now, not the hidden Install button.
        PressKey(VK_RETURN);
        CHECK(p.WaitExit(15000));
        CheckNothingLaunched(folder);
    }

    // Again, leaving by the close button with the box checked: nothing starts.
    {
        Process p;
        HWND hWiz = StartWizard(L"\"" + pkg.Exe() + L"\"", installTitle, &p);
        InstallThrough(hWiz, t);
        CHECK(CheckImageDifferences(hWiz, true) == 0);
        ClickControl(hWiz, kIdClose);
        CHECK(p.WaitExit(15000));
        CheckNothingLaunched(folder);
    }

    // The uninstall wizard, started as the uninstall entry starts it.
    {
        std::wstring command;
        REQUIRE(RegReadString(HKEY_LOCAL_MACHINE, UninstallKey(folder), L"UninstallString", &command));
        const Texts tu = TextsOf(dir + L"\\Uninstall\\");
        Process p;
        HWND hWiz = StartWizard(command, W(app) + kUninstallSuffix, &p);
        CheckPageControls(hWiz, Page::Ready);
        CheckPageTexts(hWiz, tu, 11, 12);
        CHECK(Control(hWiz, kIdAction).text == tu(10));
        CHECK(Control(hWiz, kIdLaunch).text.empty());
        Shot(hWiz, L"uninstall-ready");

        ClickControl(hWiz, kIdAction);
        REQUIRE(WaitUntil([&] { return HeadingIs(hWiz, tu(17)); }, 15000, 5));
        CheckPageControls(hWiz, Page::Working);
        CheckPageTexts(hWiz, tu, 17, 13);
        WaitUntil([&] { return ProgressPos(hWiz) >= 5; }, 1000);
        Shot(hWiz, L"uninstall-working");

        REQUIRE(WaitUntil([&] { return HeadingIs(hWiz, tu(15)); }, 60000));
        CheckPageControls(hWiz, Page::FinishedUninstall);
        CheckPageTexts(hWiz, tu, 15, 8);
        CHECK(ProgressPos(hWiz) == 100);
        Shot(hWiz, L"uninstall-finished");

        ClickControl(hWiz, IDOK);
        CHECK(p.WaitExit(15000));
        CheckNothingLaunched(folder);
        CHECK_FALSE(FileExists(dir + L"\\QXRaidSetup.exe"));
        CHECK_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, UninstallKey(folder)));
        CHECK_FALSE(FileExists(DesktopLink(app)));
        CHECK_FALSE(FileExists(MenuFolder(app) + L"\\Uninstall.lnk"));
    }
    ForgetInstall(app, folder);
}

TEST_CASE("a service helper that cannot start: the Fail box, then the failure page") {
    const std::string app = "Wizard Fail Console", folder = "WizFail709";
    ForgetInstall(app, folder);
    Package pkg = MakePackage(L"wizard_fail", SetupIni(app, folder));
    REQUIRE(DeleteFileW((pkg.dir + L"Application\\VolSvcInstall.exe").c_str()));
    const Texts t = TextsOf(pkg.dir);

    Process p;
    HWND hWiz = StartWizard(L"\"" + pkg.Exe() + L"\"", W(app) + kInstallSuffix, &p);
    ClickControl(hWiz, kIdAction);
    HWND hBox = WaitForProcessWindow(p.pid, L"#32770", L"Fail", 30000);
    REQUIRE(hBox != nullptr);
    CHECK(MessageBoxText(hBox) == L"Fail to install the service!");
    // The wizard waits in Working while the box is up.
    CHECK(HeadingIs(hWiz, t(16)));
    CheckPageControls(hWiz, Page::Working);

    SendMessageW(hBox, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    REQUIRE(WaitUntil([&] { return HeadingIs(hWiz, t(9)); }, 30000));
    CheckPageControls(hWiz, Page::Failed);
    CheckPageTexts(hWiz, t, 9, 8);
    Shot(hWiz, L"install-failed");
    ClickControl(hWiz, IDOK);
    CHECK(p.WaitExit(15000));
    CheckNothingLaunched(folder);
    ForgetInstall(app, folder);
}
