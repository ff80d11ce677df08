// The engine: rules in tables, procedures in process, setup.exe's silent install.
#include "harness.h"

#include <map>
#include <tuple>

#include "engine/config.h"
#include "engine/flags.h"
#include "engine/install.h"
#include "engine/programs.h"
#include "engine/setup_log.h"

using Texts = std::vector<std::string>;
using Names = std::vector<std::wstring>;
const Names kUninstallFiles = {L"setup.exe",    L"setup.ini",    L"setupCHS.dll",
                               L"setupCHT.dll", L"setupENU.dll", L"setupJPN.dll"};
const char kNoNames[] = "Fail to install: setup.ini names no install folder or application!";
const char kTooLong[] = "Fail to install: the path of the package, the install folder or a shortcut is too long!";
const std::string kNotPlain = "Fail to install: setup.ini's ";

// "setup.exe s" from a package copy, its own compatibility mark cleared.
DWORD Silent(const std::wstring& pkg, const std::wstring& args = L" s") {
    SHDeleteValueW(HKEY_CURRENT_USER, kCompatKey, Lower(pkg + L"setup.exe").c_str());
    return Run(Q(pkg + L"setup.exe") + args, 60000);
}

// What the procedures tell the user, through the hook start-up would set.
Texts g_told;
void Tell(const wchar_t* pszText) { g_told.push_back(Narrow(pszText)); }

std::string g_starts;  // the class and program of each start, told by the engine's hook
void Starting(const wchar_t* cmd, DWORD flags) { g_starts += std::to_string(flags) + Narrow(wcsrchr(cmd, L'\\')); }

HWND AppWindow(const AppNames& n) { return WaitForWindow(0, nullptr, n.app.c_str(), 10000); }

void CheckInstalled(const std::wstring& pkg, const AppNames& n, bool nt6, const Texts& helperLog) {
    const std::wstring dir = InstallDirOf(n) + L"\\", exe = dir + n.file, key = UninstallKeyOf(n);
    Names app = ListFolder(pkg + L"Application");
    if (!nt6)  // no helper
        app.erase(std::find(app.begin(), app.end(), L"VolSvcInstall.exe"));
    ULONGLONG bytes = 0;
    CHECK(ListFolder(dir + L"Uninstall") == kUninstallFiles);
    for (const auto& [from, to, names] :
         {std::tuple(pkg + L"Application\\", dir, app), std::tuple(pkg, dir + L"Uninstall\\", kUninstallFiles)})
        for (const auto& f : names) {
            CHECK_MESSAGE(FileSize(to + f) == FileSize(from + f), Narrow(f));
            bytes += FileSize(from + f);
        }
    CHECK(RegValueCount(HKEY_LOCAL_MACHINE, key) == 10);
    const std::pair<std::wstring, std::wstring> facts[] = {
        {RegStr(HKEY_LOCAL_MACHINE, key, L"UninstallString"), Q(dir + L"Uninstall\\setup.exe") + L" delpkg"},
        {RegStr(HKEY_LOCAL_MACHINE, key, L"QuietUninstallString"), Q(dir + L"Uninstall\\setup.exe") + L" delpkg quiet"},
        {RegStr(HKEY_LOCAL_MACHINE, key, L"DisplayName"), n.app},
        {RegStr(HKEY_LOCAL_MACHINE, key, L"Publisher"), L"Tarvex Technology Corp."},
        {RegStr(HKEY_LOCAL_MACHINE, key, L"DisplayVersion"), L"2.10.07"},
        {RegStr(HKEY_LOCAL_MACHINE, key, L"DisplayIcon"), exe},
        {RegStr(HKEY_LOCAL_MACHINE, key, L"InstallLocation"), InstallDirOf(n)},
        {Shortcut(DesktopLinkOf(n.app)), Lower(exe) + L"|"},
        {Shortcut(ProgramsFolderOf(n.app) + L"\\" + n.app + L".lnk"), Lower(exe) + L"|"},
        {Shortcut(ProgramsFolderOf(n.app) + L"\\Uninstall.lnk"), Lower(dir + L"Uninstall\\setup.exe") + L"|delpkg"},
        {RegStr(HKEY_LOCAL_MACHINE, RunKeyOf(), n.app), nt6 ? L"<none>" : Q(exe) + L" min"}};
    for (const auto& [got, expected] : facts)
        CHECK(got == expected);
    CHECK(RegDword(HKEY_LOCAL_MACHINE, key, L"EstimatedSize") == (long long)(bytes + 1023) / 1024);
    CHECK(RegDword(HKEY_LOCAL_MACHINE, key, L"NoModify") + RegDword(HKEY_LOCAL_MACHINE, key, L"NoRepair") == 2);
    // Windows 6: the marks, setup.exe's own made before it chose the silent mode.
    CHECK(RegDword(HKEY_CURRENT_USER, kCompatKey, Lower(pkg + L"setup.exe")) == (nt6 ? 1 : -1));
    CHECK(RegDword(HKEY_CURRENT_USER, kCompatKey, exe) == (nt6 ? 1 : -1));
    CHECK(HelperLog(dir, helperLog.size()) == helperLog);
}

TEST_CASE("the install folder rule, GetPathFolder for the Windows folder's parent, and setup.ini") {
    const std::wstring fits(242, L'n');  // "C:\Program Files\" and this: 259 characters
    const std::tuple<const wchar_t*, int, std::wstring, std::wstring> rows[] = {
        {L"C:\\Windows", 2, L"VKP709", L"C:\\Program Files\\VKP709"},
        {L"D:\\OS\\Windows", 5, L"App", L"D:\\OS\\Program Files\\App"},
        {L"C:\\", 2, L"App", L"C:\\Program Files\\App"},
        {L"Windows", -1, L"App", L"Program Files\\App"},
        {L"", -1, L"App", L"Program Files\\App"},
        {L"C:\\Windows", 2, fits, L"C:\\Program Files\\" + fits},
        {L"C:\\Windows", 2, fits + L"n", L""}};
    for (const auto& [windows, cut, name, folder] : rows) {
        wchar_t out[kPathChars] = L"junk";
        CHECK(GetPathFolder(windows, out) == cut);
        CHECK(ComposeInstallFolder(windows, FALSE, name.c_str(), out) == !folder.empty());
        CHECK(out == folder);
    }
    const std::wstring others = L"|QXRaidSetup.exe|Tarvex Array Console|Tarvex Technology Corp.|1.00.00|0|";
    const std::wstring defaults = L"VKP709" + others + L"C:\\Program Files\\VKP709";
    const std::string custom = "[Customized_Setting]\n";
    const std::tuple<std::string, bool, std::wstring> inis[] = {
        {"", false, defaults},
        {custom + "APPFolderName=\nAPPFileName=App.exe\nLaunchAPInSilentMode=2\n[Startup]\nAppName=My App\n"
                  "CompanyName=Co\nVersion=2.5\n",
         false, L"|App.exe|My App|Co|2.5|1|"},
        {custom + "LaunchAPInSilentMode=abc\n", false, defaults},
        {custom + "APPFolderName=" + std::string(250, 'x') + "\n", false, std::wstring(250, L'x') + others},
        {custom + "APPFolderName=Zeta\\..\\..\\Windows\n", false, L"Zeta\\..\\..\\Windows" + others},
        {"[Startup]\nAppName=Near\n", true, defaults}};  // in the Windows folder, where a relative path leads
    for (const auto& [ini, pathTooLong, fields] : inis) {
        std::wstring dir = FreshDir(L"config"), windows = ShellFolder(CSIDL_WINDOWS) + L"\\";
        WriteFileText((pathTooLong ? windows : dir) + L"setup.ini", ini);
        SetupConfig c;
        memset(&c, 0x55, sizeof(c));
        ReadSetupConfig((pathTooLong ? dir + std::wstring(255 - dir.size(), L'y') + L"\\" : dir).c_str(), &c);
        CHECK(std::wstring(c.szAppFolderName) + L"|" + c.szAppFileName + L"|" + c.szAppName + L"|" + c.szCompanyName +
                  L"|" + c.szVersion + (c.bLaunchAppInSilentMode == TRUE ? L"|1|" : L"|0|") + c.szInstallFolder ==
              fields);
        DeleteFileW((windows + L"setup.ini").c_str());
    }
    // One plain path component, as names have been; none that leads elsewhere.
    CHECK((IsPlainName(L"Console 2.1") && IsPlainName(L" \u03a3\u5b89-x_(1)")));
    for (const wchar_t* name : {L"", L".", L"..", L"a.", L"a ", L"\t", L"/", L":", L"*", L"?", L"\"", L"<", L">", L"|"})
        CHECK_MESSAGE(!IsPlainName(name), Narrow(name));
}

TEST_CASE("starting programs, closing windows that are not there") {
    const std::wstring dir = FreshDir(L"launch here"), helper = dir + L"VolSvcInstall.exe", cmd = Q(helper) + L" ";
    REQUIRE(CopyInto(PackageDir() + L"Application\\VolSvcInstall.exe", helper));
    const std::wstring longest = cmd + std::wstring(1023 - cmd.size(), L'x');
    // The command line and the exit code (2: an unknown option; 999: not started).
    const std::pair<std::wstring, DWORD> rows[] = {
        {cmd + L"-i", 0}, {Q(dir + L"missing.exe"), 999}, {L"", 999}, {longest, 2}, {longest + L"x", 999}};
    for (const auto& [line, exitCode] : rows) {
        HANDLE h = LaunchCommandLine(line.c_str(), TRUE, NORMAL_PRIORITY_CLASS);
        DWORD code = 999;
        if (h && WaitForSingleObject(h, 10000) == WAIT_OBJECT_0 && GetExitCodeProcess(h, &code))
            CloseHandle(h);
        CHECK(code == exitCode);
    }
    CHECK(CloseRunningApp(L"Tarvex No Such Window"));
    HWND untitled = CreateWindowExW(0, L"Static", L"", WS_OVERLAPPED, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
    CHECK((CloseRunningApp(L"") && DestroyWindow(untitled)));  // an empty name must not reach it
}

TEST_CASE("in process, WOW64 view: an install and its uninstall; configurations refused or cut short") {
    g_bWow64 = TRUE;
    g_pfnShowFailure = Tell;
    REQUIRE(CoInitializeEx(nullptr, COINIT_MULTITHREADED) == S_OK);  // the shortcuts must leave it be
    const std::wstring list = RegBase(true) + L"Uninstall";
    SHDeleteKeyW(HKEY_LOCAL_MACHINE, list.c_str());
    RegSetKeyValueW(HKEY_LOCAL_MACHINE, list.c_str(), L"Kept", REG_SZ, L"1", 4);  // this test's alone, no subkeys
    // A file stands where the blocked one's folder goes: it cannot be made.
    const AppNames wow{L"VKP709 Wow", L"Tarvex Wow Console"}, parent{L"VKP709 Blocked", L"Tarvex Blocked"};
    Scrub(wow), Scrub(parent), WriteFileText(InstallDirOf(parent, true), "");
    const std::tuple<AppNames, BOOL, Texts, BOOL> rows[] = {
        {wow, FALSE, {}, TRUE},
        {{L"VKP709 Refused", L"Tarvex Refused", L""}, FALSE, {kNoNames}, FALSE},
        {{std::wstring(216, L'L'), L"Tarvex Refused"}, FALSE, {kTooLong}, TRUE},   // the uninstaller's files do not fit
        {{std::wstring(243, L'L'), L"Tarvex Refused"}, FALSE, {kTooLong}, FALSE},  // the folder does not fit
        {{L"VKP709 Refused", std::wstring(110, L'L')}, FALSE, {kTooLong}, FALSE},  // the menu's shortcut does not fit
        {{L"Z\\..\\..\\W", L"T"}, FALSE, {kNotPlain + "APPFolderName is no plain name: Z\\..\\..\\W"}, FALSE},
        {{L"VKP709 Refused", L"..\\..\\W\\z"}, FALSE, {kNotPlain + "AppName is no plain name: ..\\..\\W\\z"}, FALSE},
        {{L"VKP709 Refused", L"T", L"..\\x"}, FALSE, {kNotPlain + "APPFileName is no plain name: ..\\x"}, FALSE},
        {parent, FALSE, {}, TRUE},
        {parent, TRUE, {"Fail to install the service!"}, TRUE}};
    for (const auto& [n, nt6, texts, uninstalled] : rows) {
        g_bNT6 = nt6;
        const std::wstring pkg = CopyPackage(L"in process", IniFor(n));
        SetupConfig cfg;
        ReadSetupConfig(pkg.c_str(), &cfg);
        const bool done = n.folder == wow.folder, written = done || n.folder == parent.folder, links = written && !nt6;
        const std::wstring dir = InstallDirOf(n, true), menu = ProgramsFolderOf(n.app), exe = dir + L"\\" + n.file;
        g_told.clear();
        CHECK(InstallPackage(pkg.c_str(), &cfg) == done);
        CHECK(g_told == texts);
        CHECK(RegStr(HKEY_LOCAL_MACHINE, UninstallKeyOf(n, true), L"UninstallString") ==
              (written ? Q(dir + L"\\Uninstall\\setup.exe") + L" delpkg" : L"<none>"));
        CHECK(RegStr(HKEY_LOCAL_MACHINE, UninstallKeyOf(n, true), L"DisplayVersion") ==
              (done ? L"2.10.07" : L"<none>"));
        CHECK(RegStr(HKEY_LOCAL_MACHINE, RunKeyOf(true), n.app) == (links ? Q(exe) + L" min" : L"<none>"));
        CHECK(DeleteDesktopShortcut(n.app.c_str()) == (links ? 0 : -1));
        CHECK(FileExists(menu + L"\\Uninstall.lnk") == links);
        CHECK_FALSE(RegHasValue(HKEY_CURRENT_USER, kCompatKey, exe));
        // XP uninstall over the running application, a user's file, a helper not its own.
        Proc app(Q(exe));
        if (done)
            REQUIRE((AppWindow(n) && WriteFileText(menu + L"\\notes.txt", "mine") &&
                     CopyInto(pkg + L"Application\\VolSvcInstall.exe", dir + L"\\VolSvcInstall.exe")));
        g_bNT6 = FALSE;
        CHECK(UninstallPackage(&cfg) == uninstalled);
        CHECK_FALSE(app.Running());
        CHECK(RegValueCount(HKEY_LOCAL_MACHINE, list) == 1);  // kept its value, gained none
        CHECK_FALSE(RegHasValue(HKEY_LOCAL_MACHINE, RunKeyOf(true), n.app));
        CHECK((ListFolder(dir) == Names{L"Uninstall\\", L"VolSvcInstall.exe"}) == done);
        CHECK((ListFolder(menu) == Names{L"notes.txt"}) == done);
    }
    // Names that lead elsewhere: the uninstall leaves alone what they lead to.
    const AppNames astray{L"VKP709 Refused", L"x\\..\\" + wow.app, L"..\\" + wow.folder + L"\\VolSvcInstall.exe"};
    SetupConfig cfg;
    ReadSetupConfig(CopyPackage(L"in process", IniFor(astray)).c_str(), &cfg);
    REQUIRE(WriteFileText(DesktopLinkOf(wow.app), "mine"));
    CHECK((!UninstallPackage(&cfg) && DeleteDesktopShortcut(wow.app.c_str()) == 0 &&
           FileExists(InstallDirOf(wow, true) + L"\\VolSvcInstall.exe")));
    Scrub(wow), Scrub(parent);
    SHDeleteKeyW(HKEY_LOCAL_MACHINE, list.c_str());
    g_bWow64 = FALSE;
    CHECK(CoInitializeEx(nullptr, COINIT_MULTITHREADED) == S_FALSE);
    CoUninitialize(), CoUninitialize();
}

TEST_CASE("XP and Windows 7: silent installs; over the running application, one that will not close; uninstalls") {
    g_bNT6 = TRUE, g_pfnStarting = Starting;
    const AppNames n{L"VKP709 Test", L"Tarvex Test Console"};
    // Unquoted, a path in "C:\Program Files" would start C:\Program.exe.
    const std::wstring decoy = L"C:\\Program.exe", decoyLog = L"C:\\Program.log", dir = InstallDirOf(n);
    const std::wstring exe = dir + L"\\" + n.file, retitled = L"Tarvex Test Retitled";
    REQUIRE(CopyInto(PackageDir() + L"Application\\VolSvcInstall.exe", decoy));
    DeleteFileW(decoyLog.c_str());
    const std::wstring pkg = CopyPackage(L"win7", IniFor(n, true)), pkg2 = CopyPackage(L"win7 new", IniFor(n));
    const std::wstring exe2 = pkg2 + L"Application\\" + n.file,
                       bare = CopyPackage(L"bare", IniFor(n), {L"VolSvcInstall.exe"});
    REQUIRE(WriteFileText(exe2, ReadFileText(exe2) + std::string(3000, 'x')));
    // Quiet, the helper missing: no box, no window at all; the log tells why.
    const std::wstring log = FreshDir(L"quiet log") + L"setup run.log", logArg = L" " + Q(L"/log=" + log);
    Scrub(n);
    Proc quiet(Q(bare + L"setup.exe") + L" s QUIET" + logArg);
    CHECK(WindowBeforeExit(quiet) == nullptr);
    CHECK(quiet.Wait() == 1603);
    // A log that cannot be opened fails nothing; another run appends.
    const std::pair<const wchar_t*, std::wstring> runs[] = {{L"winxp64", L" s log=C:\\none\\x.log"},
                                                            {L"win7", L" -s /quiet" + logArg}};
    for (const auto& [windows, args] : runs) {
        Scrub(n);
        WinVersionFor version(L"setup.exe", windows);
        CHECK(Silent(pkg, args) == 0);
        CheckInstalled(pkg, n, windows[3] == L'7', windows[3] == L'7' ? Texts{"-i"} : Texts{});
        CHECK((AppWindow(n) && CloseRunningApp(n.app.c_str())));  // started by setup, as the package asks
    }
    Texts steps;  // time-stamped lines
    for (const auto& line : Lines(ReadFileText(log))) {
        CHECK_MESSAGE((line.size() > 24 && line[4] == '-' && line[13] == ':' && line[19] == '.' && line[23] == ' '),
                      line);
        steps.push_back(line.substr(std::min<size_t>(24, line.size())));
    }
    const auto second = std::find_if(steps.begin() + !steps.empty(), steps.end(),
                                     [](const std::string& s) { return s.rfind("start: ", 0) == 0; });
    REQUIRE(second - steps.begin() > 2);
    CHECK(std::count(steps.begin(), second, "Fail: Fail to install the service!") == 1);
    CHECK(std::count_if(steps.begin(), second, [](const std::string& s) {  // the system's message follows the code
              return s.find("-i: failed, error 2: ") < s.size() - 21;
          }) == 1);
    CHECK(second[-1] == "end: the installation failed; exit code 1603");
    std::map<std::string, int> kinds;  // of a whole install: one a file, value, shortcut and program started
    for (auto step = second + 1; step < steps.end() - 1; ++step)
        CHECK_MESSAGE((++kinds[step->substr(0, step->find(' '))] && step->rfind(": ok") == step->size() - 4), *step);
    CHECK(kinds == std::map<std::string, int>{
                       {"copy", 16}, {"create", 2}, {"open", 1}, {"save", 3}, {"start", 2}, {"write", 11}});
    CHECK(steps.back() == "end: installed; exit code 0");

    // Over the application started from setup.ini and the rule; stale shortcuts go.
    LaunchInstalledApp(pkg.c_str(), nullptr);
    REQUIRE((AppWindow(n) && g_starts == "32\\QXRaidSetup.exe\""));  // at normal priority
    WriteFileText(DesktopLinkOf(n.app), "stale");
    WriteFileText(ProgramsFolderOf(n.app) + L"\\Uninstall.lnk", "stale");
    CHECK(Silent(pkg2) == 0);
    CheckInstalled(pkg2, n, true, {"-i", "-k", "-u", "-i"});

    // Upgrades: the runtime held open waits for the restart (3010, the new version
    // named), which replaces it; a folder in its place fails (1603, the old kept).
    const std::wstring rt = dir + L"\\mingwm10.dll", pending = L"System\\CurrentControlSet\\Control\\Session Manager";
    for (const auto& [version, held, code, end] :
         {std::tuple("2.11.00", true, 3010, "end: installed; a restart is needed to complete it; exit code 3010"),
          std::tuple("2.12.00", false, 1603, "end: the installation failed; exit code 1603")}) {
        std::string ini = IniFor(n), lib = ReadFileText(pkg + L"Application\\mingwm10.dll") + version;
        HANDLE h = held ? CreateFileW(rt.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr) : nullptr;
        const size_t logged = ReadFileText(log).size();
        REQUIRE(
            (WriteFileText(pkg2 + L"setup.ini", ini.replace(ini.find("2.10.07"), 7, version)) &&
             WriteFileText(pkg2 + L"Application\\mingwm10.dll", lib) &&
             (held ? h != INVALID_HANDLE_VALUE : DeleteFileW(rt.c_str()) && CreateDirectoryW(rt.c_str(), nullptr))));
        CHECK(Silent(pkg2, L" s quiet" + logArg) == (DWORD)code);
        const std::string text = ReadFileText(log).substr(logged);
        CHECK(Lines(text).back().substr(24) == std::string(end));
        CHECK((text.find("dll\": in use, replaced at the restart by") < text.size()) == held);
        CHECK(RegStr(HKEY_LOCAL_MACHINE, UninstallKeyOf(n), L"DisplayVersion") == L"2.11.00");
        CHECK(RegHasValue(HKEY_LOCAL_MACHINE, pending, L"PendingFileRenameOperations") == held);
        held ? CloseHandle(h) && Run(L"wineboot.exe -r") == 0 : RemoveDirectoryW(rt.c_str());
        CHECK(ReadFileText(rt) == (held ? lib : ""));
    }

    // Over one that will not close: the executable stays; the rest, the start go on.
    SetEnvironmentVariableW(L"QXRAID_IGNORE_CLOSE", L"1");  // for it and those setup starts from now on
    Proc app(Q(exe));
    HWND first = AppWindow(n);
    SHDeleteKeyW(HKEY_LOCAL_MACHINE, UninstallKeyOf(n).c_str());
    REQUIRE(Silent(pkg) == 3010);            // after the bounded wait
    CHECK(FileSize(exe) == FileSize(exe2));  // until the restart
    CHECK(RegValueCount(HKEY_LOCAL_MACHINE, UninstallKeyOf(n)) >= 0);
    REQUIRE(SetWindowTextW(first, retitled.c_str()));
    REQUIRE(AppWindow(n));  // started all the same
    CHECK_FALSE(CloseRunningApp(n.app.c_str()));

    EndWindowProcesses(retitled), EndWindowProcesses(n.app);  // the restart puts the new one in place
    CHECK((Run(L"wineboot.exe -r") == 0 && FileSize(exe) == FileSize(pkg + L"Application\\" + n.file)));
    Proc again(Q(exe));

    // Removed as a deployment tool does. Retitled, not waited for, a folder
    // where an image goes: all else goes or waits, the entry stays (1603);
    // the folder gone, again: the executable waits (3010); restarted, nothing.
    REQUIRE(SetWindowTextW(AppWindow(n), retitled.c_str()));
    const std::wstring quietUninstall = RegStr(HKEY_LOCAL_MACHINE, UninstallKeyOf(n), L"QuietUninstallString");
    const std::wstring image = dir + L"\\Vendor.bmp";
    REQUIRE(
        (DeleteFileW(image.c_str()) && CreateDirectoryW(image.c_str(), nullptr) && WriteFileText(image + L"\\x", "")));
    const Names left = {L"Uninstall\\", L"VolSvcInstall.log"};  // the log is no file of the installation's
    const std::pair<DWORD, Names> passes[] = {
        {1603, {n.file, left[0], L"Vendor.bmp\\", left[1]}}, {3010, {n.file, left[0], left[1]}}, {0, left}};
    for (const auto& [code, files] : passes) {
        Proc uninstall(quietUninstall);
        CHECK(WindowBeforeExit(uninstall) == nullptr);
        CHECK(uninstall.Wait() == code);
        CHECK(ListFolder(dir) == files);
        CHECK(ListFolder(dir + L"\\Uninstall") == kUninstallFiles);
        CHECK(RegStr(HKEY_LOCAL_MACHINE, UninstallKeyOf(n), L"QuietUninstallString") ==
              (code == 1603 ? quietUninstall : L"<none>"));
        CHECK_FALSE((FileExists(DesktopLinkOf(n.app)) || FileExists(ProgramsFolderOf(n.app))));
        CHECK(RegDword(HKEY_CURRENT_USER, kCompatKey, exe) == 1);
        CHECK(HelperLog(dir, 15) ==
              Texts{"-i", "-k", "-u", "-i", "-k", "-u", "-i", "-k", "-u", "-i", "-k", "-u", "-i", "-k", "-u"});
        DeleteTree(image);
        if (code == 3010)
            EndWindowProcesses(retitled), Run(L"wineboot.exe -r");
    }
    CHECK_FALSE(DeleteFileW(decoyLog.c_str()));
    DeleteFileW(decoy.c_str());
    Scrub(n);
}

TEST_CASE("the application at normal priority, the helper at its own; as LocalSystem, everyone's desktop; both go") {
    const AppNames n{L"VKP709 System", L"Tarvex System Console"};
    const std::wstring pkg = CopyPackage(L"sys", IniFor(n, true)), exe = Lower(InstallDirOf(n)) + L"\\qxraidsetup.exe|";
    auto both = [&] { return Shortcut(DesktopLinkOf(n.app)) + Shortcut(DesktopLinkOf(n.app, true)); };
    Scrub(n), g_bNT6 = TRUE, g_pfnStarting = Starting, SetEnvironmentVariableW(L"QXRAID_IGNORE_CLOSE", nullptr);
    const std::string app = "32\\QXRaidSetup.exe\"", helper = "256\\VolSvcInstall.exe\" -";
    const std::tuple<BOOL (*)(), std::wstring, std::string> rows[] = {
        {TokenIsLocalSystem, exe + L"<none>", helper + "i" + app},  // as the user: never LocalSystem under Wine
        {[]() -> BOOL { return TRUE; }, exe + exe, helper + "k" + helper + "u" + helper + "i" + app}};
    for (const auto& [system, links, starts] : rows) {
        g_pfnRunsAsLocalSystem = system, g_starts.clear();
        CHECK((SilentInstall(pkg.c_str()) && both() == links && g_starts == starts && AppWindow(n)));
    }
    CHECK((QuietUninstall(pkg.c_str()) && both() == L"<none><none>"));
    CreateDesktopShortcut((InstallDirOf(n) + L"2\\x.exe").c_str(), n.app.c_str());  // a namesake pointing elsewhere
    CHECK((QuietUninstall(pkg.c_str()) && both() == L"<none>" + Lower(InstallDirOf(n)) + L"2\\x.exe|"));
    Scrub(n), g_pfnRunsAsLocalSystem = TokenIsLocalSystem, g_pfnStarting = nullptr;
}
