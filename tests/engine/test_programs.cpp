// Starting programs, the service helper, closing and starting the
// application, and the shell shortcuts, against real processes, windows and
// .lnk files.
#include <doctest/doctest.h>

#include <shlobj.h>

#include "../../engine/config.h"
#include "../../engine/flags.h"
#include "../../engine/programs.h"
#include "engine_world.h"

namespace {

std::wstring StandIn(const wchar_t* name) { return PackageDir() + L"Application\\" + name; }

std::wstring Quoted(const std::wstring& path) { return L"\"" + path + L"\""; }

// An application folder of its own: the stand-in and the uninstaller's
// setup.ini it takes its window title from.
std::wstring AppFolder(const wchar_t* name, const std::wstring& title) {
    std::wstring dir = FreshTempDir(name);
    REQUIRE(CopyInto(StandIn(L"QXRaidSetup.exe"), dir + L"QXRaidSetup.exe"));
    CreateDirectoryW((dir + L"Uninstall").c_str(), nullptr);
    AppNames n{L"unused", title};
    REQUIRE(WriteTextFile(dir + L"Uninstall\\setup.ini", IniFor(n, false)));
    return dir;
}

DWORD ExitCodeOf(HANDLE h) {
    DWORD code = 999;
    if (WaitForSingleObject(h, 10000) == WAIT_OBJECT_0)
        GetExitCodeProcess(h, &code);
    return code;
}

}  // namespace

TEST_CASE("LaunchCommandLine") {
    std::wstring dir = FreshTempDir(L"launch here");
    std::wstring helper = dir + L"VolSvcInstall.exe";
    REQUIRE(CopyInto(StandIn(L"VolSvcInstall.exe"), helper));

    // Wine keeps no priority class for its processes (it reports normal),
    // so the realtime class asked for is not seen here.
    SUBCASE("starts a quoted path with blanks and hands back the process") {
        HANDLE h = LaunchCommandLine((Quoted(helper) + L" -i").c_str(), TRUE);
        REQUIRE(h != nullptr);
        CHECK(ExitCodeOf(h) == 0);
        CloseHandle(h);
        CHECK(HelperLog(dir) == std::vector<std::string>{"-i"});
    }
    SUBCASE("a program that does not exist gives null") {
        CHECK(LaunchCommandLine(Quoted(dir + L"missing.exe").c_str(), TRUE) == nullptr);
        CHECK(LaunchCommandLine(L"", TRUE) == nullptr);
    }
    SUBCASE("a command line of 1,024 characters or more is refused, one of 1,023 runs") {
        std::wstring cmd = Quoted(helper) + L" ";
        std::wstring longest = cmd + std::wstring(1023 - cmd.size(), L'x');
        REQUIRE(longest.size() == 1023);
        HANDLE h = LaunchCommandLine(longest.c_str(), TRUE);
        REQUIRE(h != nullptr);
        CHECK(ExitCodeOf(h) == 2);  // ran, and did not know the option
        CloseHandle(h);
        CHECK(LaunchCommandLine((longest + L"x").c_str(), TRUE) == nullptr);
    }
}

TEST_CASE("the service helper runs from a folder with a blank, never through a shorter program") {
    // Unquoted, "<tmp>\my app\VolSvcInstall.exe -i" would start "<tmp>\my.exe".
    std::wstring tmp = FreshTempDir(L"helper");
    std::wstring installDir = tmp + L"my app";
    std::wstring decoyDir = tmp + L"my";
    CreateDirectoryW(installDir.c_str(), nullptr);
    REQUIRE(CopyInto(StandIn(L"VolSvcInstall.exe"), installDir + L"\\VolSvcInstall.exe"));
    REQUIRE(CopyInto(StandIn(L"VolSvcInstall.exe"), tmp + L"my.exe"));

    SUBCASE("the decoy works: an unquoted command line does reach it") {
        HANDLE h = LaunchCommandLine((installDir + L"\\VolSvcInstall.exe -i").c_str(), TRUE);
        REQUIRE(h != nullptr);
        ExitCodeOf(h);
        CloseHandle(h);
        CHECK(FileExists(tmp + L"my.log"));
    }
    SUBCASE("-k then -u, then -i, each once") {
        StopAndRemoveService(installDir.c_str());
        CHECK(WaitForHelperLog(installDir, 2) == std::vector<std::string>{"-k", "-u"});
        CHECK(InstallService(installDir.c_str()));
        CHECK(WaitForHelperLog(installDir, 3) == std::vector<std::string>{"-k", "-u", "-i"});
        CHECK_FALSE(FileExists(tmp + L"my.log"));
    }
    SUBCASE("without the helper nothing starts, and -i reports it") {
        DeleteFileW((installDir + L"\\VolSvcInstall.exe").c_str());
        StopAndRemoveService(installDir.c_str());
        CHECK_FALSE(InstallService(installDir.c_str()));
        CHECK_FALSE(InstallService(L""));
        Sleep(500);
        CHECK_FALSE(FileExists(tmp + L"my.log"));
        CHECK(HelperLog(installDir).empty());
    }
}

TEST_CASE("the application stand-in") {
    const std::wstring title = L"Tarvex Stand-in Check";
    EndWindowProcesses(title);
    std::wstring dir = AppFolder(L"stand in", title);
    std::wstring exe = dir + L"QXRaidSetup.exe";

    SUBCASE("titled from the uninstaller's setup.ini, writes Cfg.QX, closes on WM_CLOSE") {
        HANDLE h = Start(Quoted(exe));
        REQUIRE(h != nullptr);
        HWND hWnd = WaitForWindow(title, 10000);
        REQUIRE(hWnd != nullptr);
        CHECK_FALSE(IsIconic(hWnd));
        CHECK(ReadTextFile(dir + L"Cfg.QX").find("Started=normal") != std::string::npos);
        PostMessageW(hWnd, WM_CLOSE, 0, 0);
        CHECK(ExitCodeOf(h) == 0);
        CloseHandle(h);
    }
    SUBCASE("\"min\" starts it minimised") {
        HANDLE h = Start(Quoted(exe) + L" min");
        REQUIRE(h != nullptr);
        HWND hWnd = WaitForWindow(title, 10000);
        REQUIRE(hWnd != nullptr);
        CHECK(WaitUntil([&] { return IsIconic(hWnd) != FALSE; }, 5000));
        CHECK(ReadTextFile(dir + L"Cfg.QX").find("Started=min") != std::string::npos);
        PostMessageW(hWnd, WM_CLOSE, 0, 0);
        CHECK(ExitCodeOf(h) == 0);
        CloseHandle(h);
    }
    SUBCASE("without its ini it bears the default name") {
        DeleteFileW((dir + L"Uninstall\\setup.ini").c_str());
        EndWindowProcesses(kDefaultAppName);
        HANDLE h = Start(Quoted(exe));
        REQUIRE(h != nullptr);
        CHECK(WaitForWindow(kDefaultAppName, 10000) != nullptr);
        EndWindowProcesses(kDefaultAppName);
        CloseHandle(h);
    }
}

TEST_CASE("CloseRunningApp") {
    const std::wstring title = L"Tarvex Close Check";
    EndWindowProcesses(title);
    std::wstring exe = AppFolder(L"close app", title) + L"QXRaidSetup.exe";

    SUBCASE("no window: nothing to do") { CHECK(CloseRunningApp(title.c_str())); }
    SUBCASE("a window that handles WM_CLOSE is gone and its process ended") {
        HANDLE h = Start(Quoted(exe));
        REQUIRE(WaitForWindow(title, 10000) != nullptr);
        CHECK(CloseRunningApp(title.c_str()));
        CHECK(FindWindowW(nullptr, title.c_str()) == nullptr);
        CHECK(WaitForSingleObject(h, 0) == WAIT_OBJECT_0);
        CloseHandle(h);
    }
    SUBCASE("a window that ignores WM_CLOSE is reported after the bounded wait") {
        SetEnvironmentVariableW(L"QXRAID_IGNORE_CLOSE", L"1");
        HANDLE h = Start(Quoted(exe));
        SetEnvironmentVariableW(L"QXRAID_IGNORE_CLOSE", nullptr);
        REQUIRE(WaitForWindow(title, 10000) != nullptr);
        CHECK_FALSE(CloseRunningApp(title.c_str()));
        CHECK(FindWindowW(nullptr, title.c_str()) != nullptr);
        CHECK(WaitForSingleObject(h, 0) == WAIT_TIMEOUT);
        TerminateProcess(h, 1);
        WaitForSingleObject(h, 5000);
        CloseHandle(h);
    }
    SUBCASE("an empty name closes no untitled window") {
        HWND untitled = CreateWindowExW(0, L"Static", L"", WS_OVERLAPPED, 0, 0, 50, 50, nullptr, nullptr,
                                        GetModuleHandleW(nullptr), nullptr);
        REQUIRE(untitled != nullptr);
        REQUIRE(FindWindowW(nullptr, L"") != nullptr);
        CHECK(CloseRunningApp(L""));
        CHECK(IsWindow(untitled));
        DestroyWindow(untitled);
    }
}

TEST_CASE("LaunchInstalledApp") {
    const AppNames n{L"VKP709 Launch Check", L"Tarvex Launch Check"};
    Scrub(n);
    g_bWow64 = FALSE;

    SUBCASE("from the configuration given") {
        std::wstring dir = AppFolder(L"launch app", n.app);
        SetupConfig cfg = {};
        lstrcpyW(cfg.szInstallFolder, dir.substr(0, dir.size() - 1).c_str());
        lstrcpyW(cfg.szAppFileName, L"QXRaidSetup.exe");
        LaunchInstalledApp(L"Z:\\nowhere\\", &cfg);
        CHECK(WaitForWindow(n.app, 10000) != nullptr);
    }
    SUBCASE("without one, from setup.ini of the source folder and the install folder rule") {
        std::wstring src = FreshTempDir(L"launch source");
        REQUIRE(WriteTextFile(src + L"setup.ini", IniFor(n, false)));
        std::wstring dir = InstallDirOf(n, false);
        CreateDirectoryW(dir.c_str(), nullptr);
        CreateDirectoryW((dir + L"\\Uninstall").c_str(), nullptr);
        REQUIRE(CopyInto(StandIn(L"QXRaidSetup.exe"), dir + L"\\QXRaidSetup.exe"));
        REQUIRE(CopyInto(src + L"setup.ini", dir + L"\\Uninstall\\setup.ini"));
        LaunchInstalledApp(src.c_str(), nullptr);
        CHECK(WaitForWindow(n.app, 10000) != nullptr);
    }
    Scrub(n);
}

TEST_CASE("desktop shortcut") {
    const std::wstring name = L"Tarvex Desktop Check";
    std::wstring link = DesktopLinkOf(name);
    DeleteFileW(link.c_str());
    std::wstring dir = FreshTempDir(L"desktop targets");
    std::wstring first = dir + L"first app.exe", second = dir + L"second app.exe";
    REQUIRE(CopyInto(StandIn(L"QXRaidSetup.exe"), first));
    REQUIRE(CopyInto(StandIn(L"QXRaidSetup.exe"), second));

    std::wstring target, args;
    CreateDesktopShortcut(first.c_str(), name.c_str());
    REQUIRE(ReadShortcut(link, &target, &args));
    CHECK(Lower(target) == Lower(first));
    CHECK(args.empty());

    // The same name again replaces the shortcut.
    CreateDesktopShortcut(second.c_str(), name.c_str());
    REQUIRE(ReadShortcut(link, &target, &args));
    CHECK(Lower(target) == Lower(second));

    CHECK(DeleteDesktopShortcut(name.c_str()) == 0);
    CHECK_FALSE(FileExists(link));
    CHECK(DeleteDesktopShortcut(name.c_str()) == -1);
}

TEST_CASE("programs-menu shortcuts") {
    const std::wstring menu = L"Tarvex Menu Check";
    std::wstring folder = ProgramsFolderOf(menu);
    DeleteTree(folder);
    std::wstring dir = FreshTempDir(L"menu targets");
    std::wstring app = dir + L"menu app.exe", uninstaller = dir + L"Uninstall\\setup.exe";
    CreateDirectoryW((dir + L"Uninstall").c_str(), nullptr);
    REQUIRE(CopyInto(StandIn(L"QXRaidSetup.exe"), app));
    REQUIRE(CopyInto(PackageDir() + L"setup.exe", uninstaller));
    std::wstring appLink = folder + L"\\" + menu + L".lnk", uninstallLink = folder + L"\\Uninstall.lnk";

    // A missing menu folder is created for the first shortcut.
    CreateProgramsShortcut(menu.c_str(), app.c_str(), menu.c_str(), nullptr);
    CreateProgramsShortcut(menu.c_str(), uninstaller.c_str(), L"Uninstall", L"delpkg");
    CHECK(ListFolder(folder) == std::vector<std::wstring>{L"Tarvex Menu Check.lnk", L"Uninstall.lnk"});
    std::wstring target, args;
    REQUIRE(ReadShortcut(appLink, &target, &args));
    CHECK(Lower(target) == Lower(app));
    CHECK(args.empty());
    REQUIRE(ReadShortcut(uninstallLink, &target, &args));
    CHECK(Lower(target) == Lower(uninstaller));
    CHECK(args == L"delpkg");

    SUBCASE("an existing shortcut is replaced") {
        CreateProgramsShortcut(menu.c_str(), app.c_str(), L"Uninstall", nullptr);
        REQUIRE(ReadShortcut(uninstallLink, &target, &args));
        CHECK(Lower(target) == Lower(app));
        CHECK(args.empty());
    }
    SUBCASE("the folder goes only when it is empty") {
        DeleteProgramsShortcut(menu.c_str(), menu.c_str(), FALSE);
        CHECK(ListFolder(folder) == std::vector<std::wstring>{L"Uninstall.lnk"});
        REQUIRE(WriteTextFile(folder + L"\\Readme.txt", "kept"));
        DeleteProgramsShortcut(menu.c_str(), L"Uninstall", TRUE);
        CHECK(ListFolder(folder) == std::vector<std::wstring>{L"Readme.txt"});
        DeleteFileW((folder + L"\\Readme.txt").c_str());
        CreateProgramsShortcut(menu.c_str(), uninstaller.c_str(), L"Uninstall", L"delpkg");
        DeleteProgramsShortcut(menu.c_str(), L"Uninstall", TRUE);
        CHECK_FALSE(FileExists(folder));
    }
    DeleteTree(folder);
}

namespace {

struct ApartmentCheck {
    std::wstring target, link;
    HRESULT again = E_FAIL;
    bool created = false;
};

DWORD WINAPI ShortcutOnFreeThread(void* param) {
    auto* c = static_cast<ApartmentCheck*>(param);
    if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)))
        return 1;
    CreateDesktopShortcut(c->target.c_str(), L"Tarvex Apartment Check");
    c->created = FileExists(c->link);
    // Still initialised by us: a second initialisation only counts up.
    c->again = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    if (SUCCEEDED(c->again))
        CoUninitialize();
    CoUninitialize();
    return 0;
}

}  // namespace

TEST_CASE("a caller's own COM apartment is left as it was") {
    ApartmentCheck c;
    c.target = StandIn(L"QXRaidSetup.exe");
    c.link = DesktopLinkOf(L"Tarvex Apartment Check");
    DeleteFileW(c.link.c_str());
    HANDLE t = CreateThread(nullptr, 0, ShortcutOnFreeThread, &c, 0, nullptr);
    REQUIRE(t != nullptr);
    WaitForSingleObject(t, 30000);
    CloseHandle(t);
    CHECK(c.created);
    CHECK(c.again == S_FALSE);
    DeleteFileW(c.link.c_str());
}
