// The built setup.exe's silent install as a whole process, then the
// uninstall procedure over what it installed, in a prefix that reports
// Windows 6 (--nt6=1) or Windows XP (--nt6=0).
#include <doctest/doctest.h>

#include <shlobj.h>
#include <string.h>

#include <algorithm>

#include "../../engine/config.h"
#include "../../engine/flags.h"
#include "../../engine/install.h"
#include "engine_world.h"

namespace {

constexpr DWORD kExitInstallFailed = 1603;
int g_expectNT6 = -1;
bool NT6() { return g_expectNT6 == 1; }

const AppNames kPackageNames{L"VKP709", L"Tarvex Array Console"};

DWORD RunSilent(const std::wstring& pkg) {
    DWORD code = 999;
    REQUIRE(RunAndWait(L"\"" + pkg + L"setup.exe\" s", 120000, &code));
    return code;
}

// The uninstall as the uninstaller runs it: setup.ini from its own copy.
BOOL UninstallFrom(const std::wstring& installDir) {
    SetupConfig cfg;
    ReadSetupConfig((installDir + L"\\Uninstall\\").c_str(), &cfg);
    REQUIRE(std::wstring(cfg.szInstallFolder) == installDir);
    return UninstallPackage(&cfg);
}

std::wstring Quoted(const std::wstring& path) { return L"\"" + path + L"\""; }

HANDLE StartApp(const std::wstring& exe, const std::wstring& title, bool ignoreClose) {
    if (ignoreClose)
        SetEnvironmentVariableW(L"QXRAID_IGNORE_CLOSE", L"1");
    HANDLE h = Start(Quoted(exe));
    SetEnvironmentVariableW(L"QXRAID_IGNORE_CLOSE", nullptr);
    REQUIRE(h != nullptr);
    REQUIRE(WaitForWindow(title, 10000) != nullptr);
    return h;
}

std::vector<std::wstring> Sorted(std::vector<std::wstring> v) {
    std::sort(v.begin(), v.end());
    return v;
}

struct RegValue {
    DWORD type = REG_NONE;
    std::wstring text;
    DWORD number = 0;
};

RegValue ReadValue(const std::wstring& key, const wchar_t* name) {
    RegValue v;
    HKEY h;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS)
        return v;
    BYTE buf[4096] = {};
    DWORD cb = sizeof(buf) - sizeof(wchar_t);
    if (RegQueryValueExW(h, name, nullptr, &v.type, buf, &cb) == ERROR_SUCCESS) {
        if (v.type == REG_SZ) {
            v.text = reinterpret_cast<wchar_t*>(buf);
            // Stored with its terminating null.
            CHECK(cb == (v.text.size() + 1) * sizeof(wchar_t));
        } else if (v.type == REG_DWORD) {
            memcpy(&v.number, buf, sizeof(DWORD));
        }
    }
    RegCloseKey(h);
    return v;
}

DWORD ValueCount(const std::wstring& key) {
    HKEY h;
    DWORD count = 0;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS)
        return 0;
    RegQueryInfoKeyW(h, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr,
                     nullptr);
    RegCloseKey(h);
    return count;
}

void CheckString(const std::wstring& key, const wchar_t* name, const std::wstring& expected) {
    RegValue v = ReadValue(key, name);
    INFO(Narrow(name));
    CHECK(v.type == REG_SZ);
    CHECK(Narrow(v.text) == Narrow(expected));
}

void CheckDword(const std::wstring& key, const wchar_t* name, DWORD expected) {
    RegValue v = ReadValue(key, name);
    INFO(Narrow(name));
    CHECK(v.type == REG_DWORD);
    CHECK(v.number == expected);
}

// The uninstall entry: the four values the system has always written, and
// the five that the list of programs reads besides.
void CheckUninstallEntry(const AppNames& n, const std::wstring& dir, const std::wstring& version) {
    std::wstring key = UninstallKeyOf(n, false);
    CHECK(ValueCount(key) == 9);
    CheckString(key, L"UninstallString", L"\"" + dir + L"\\Uninstall\\setup.exe\" delpkg");
    CheckString(key, L"DisplayName", n.app);
    CheckString(key, L"Publisher", L"Tarvex Technology Corp.");
    CheckString(key, L"DisplayVersion", version);
    CheckString(key, L"DisplayIcon", dir + L"\\" + n.file);
    CheckString(key, L"InstallLocation", dir);
    ULONGLONG bytes = 0;
    for (const std::wstring& f : InstalledFiles(n, NT6()))
        bytes += FileSize(dir + L"\\" + f);
    CHECK(bytes > 0);
    CheckDword(key, L"EstimatedSize", (DWORD)((bytes + 1023) / 1024));
    CheckDword(key, L"NoModify", 1);
    CheckDword(key, L"NoRepair", 1);
}

void CheckFilesFrom(const std::wstring& pkg, const AppNames& n, const std::wstring& dir) {
    std::vector<std::wstring> uninstallFiles(std::begin(kUninstallFolderFiles), std::end(kUninstallFolderFiles));
    CHECK(ListFolder(dir + L"\\Uninstall") == Sorted(uninstallFiles));
    for (const std::wstring& f : InstalledFiles(n, NT6())) {
        std::wstring source = f.rfind(L"Uninstall\\", 0) == 0 ? pkg + f.substr(10) : pkg + L"Application\\" + f;
        INFO(Narrow(f));
        CHECK(FileExists(dir + L"\\" + f));
        CHECK(FileSize(dir + L"\\" + f) == FileSize(source));
    }
    CHECK(FileExists(dir + L"\\VolSvcInstall.exe") == NT6());
}

void CheckShortcuts(const AppNames& n, const std::wstring& dir) {
    std::wstring target, args;
    REQUIRE(ReadShortcut(DesktopLinkOf(n.app), &target, &args));
    CHECK(Lower(target) == Lower(dir + L"\\" + n.file));
    CHECK(args.empty());
    std::wstring menu = ProgramsFolderOf(n.app);
    CHECK(ListFolder(menu) == Sorted({n.app + L".lnk", L"Uninstall.lnk"}));
    REQUIRE(ReadShortcut(menu + L"\\" + n.app + L".lnk", &target, &args));
    CHECK(Lower(target) == Lower(dir + L"\\" + n.file));
    CHECK(args.empty());
    REQUIRE(ReadShortcut(menu + L"\\Uninstall.lnk", &target, &args));
    CHECK(Lower(target) == Lower(dir + L"\\Uninstall\\setup.exe"));
    CHECK(args == L"delpkg");
}

// What depends on the Windows version: the service helper and the
// compatibility value on Windows 6, the Run value elsewhere.
void CheckVersionParts(const AppNames& n, const std::wstring& dir) {
    std::wstring exe = dir + L"\\" + n.file;
    DWORD compat = 0;
    if (NT6()) {
        CHECK(RegReadDword(HKEY_CURRENT_USER, kCompatKey, exe, &compat));
        CHECK(compat == 1);
        CHECK_FALSE(RegValueExists(HKEY_LOCAL_MACHINE, RunKeyOf(false), n.app));
    } else {
        CHECK_FALSE(RegValueExists(HKEY_CURRENT_USER, kCompatKey, exe));
        CheckString(RunKeyOf(false), n.app.c_str(), L"\"" + exe + L"\" min");
        CHECK_FALSE(FileExists(dir + L"\\VolSvcInstall.log"));
    }
}

// Unquoted, "C:\Program Files\..." would start this first.
struct ProgramDecoy {
    std::wstring exe, log;
    ProgramDecoy() {
        std::wstring root = ProgramFilesDir(false);
        root = root.substr(0, root.find(L"Program Files")) + L"Program";
        exe = root + L".exe";
        log = root + L".log";
        DeleteFileW(log.c_str());
        CopyInto(PackageDir() + L"Application\\VolSvcInstall.exe", exe);
    }
    ~ProgramDecoy() {
        DeleteFileW(exe.c_str());
        DeleteFileW(log.c_str());
    }
};

}  // namespace

int main(int argc, char** argv) {
    doctest::Context ctx(argc, argv);
    if (const char* nt6 = ArgValue(argc, argv, "--nt6="))
        g_expectNT6 = atoi(nt6);
    // As start-up sets them, for the uninstall procedure run in process.
    g_bWow64 = IsWow64();
    g_bNT6 = IsNT6();
    return ctx.run();
}

TEST_CASE("the built package: silent install, a repeat over the running application, two uninstalls") {
    REQUIRE(g_expectNT6 != -1);
    REQUIRE(g_bNT6 == (BOOL)NT6());
    const AppNames& n = kPackageNames;
    Scrub(n);
    ProgramDecoy decoy;
    std::wstring dir = InstallDirOf(n, false);
    REQUIRE(dir.find(L' ') != std::wstring::npos);
    std::wstring exe = dir + L"\\" + n.file;

    // First install into a folder that does not exist.
    CHECK(RunSilent(PackageDir()) == 0);
    CheckFilesFrom(PackageDir(), n, dir);
    CheckUninstallEntry(n, dir, L"1.00.00");
    CheckShortcuts(n, dir);
    CheckVersionParts(n, dir);
    if (NT6())
        CHECK(WaitForHelperLog(dir, 1) == std::vector<std::string>{"-i"});

    // Again, with the application running: closed before its file is
    // replaced, the service stopped and removed before, installed after.
    HANDLE app = StartApp(exe, n.app, false);
    CHECK(RunSilent(PackageDir()) == 0);
    CHECK(FindWindowW(nullptr, n.app.c_str()) == nullptr);
    CHECK(WaitForSingleObject(app, 5000) == WAIT_OBJECT_0);
    CloseHandle(app);
    CheckFilesFrom(PackageDir(), n, dir);
    CheckUninstallEntry(n, dir, L"1.00.00");
    CheckShortcuts(n, dir);
    CheckVersionParts(n, dir);
    if (NT6())
        CHECK(WaitForHelperLog(dir, 4) == std::vector<std::string>{"-i", "-k", "-u", "-i"});

    // The uninstall, with the application running and a file of the user's.
    app = StartApp(exe, n.app, false);
    REQUIRE(FileExists(dir + L"\\Cfg.QX"));
    REQUIRE(WriteTextFile(dir + L"\\notes.txt", "mine"));
    CHECK(UninstallFrom(dir));
    CHECK(WaitForSingleObject(app, 5000) == WAIT_OBJECT_0);
    CloseHandle(app);
    std::vector<std::wstring> left = {L"Uninstall\\", L"notes.txt"};
    if (NT6())
        left.push_back(L"VolSvcInstall.log");
    CHECK(ListFolder(dir) == Sorted(left));
    std::vector<std::wstring> uninstallFiles(std::begin(kUninstallFolderFiles), std::end(kUninstallFolderFiles));
    CHECK(ListFolder(dir + L"\\Uninstall") == Sorted(uninstallFiles));
    CHECK_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, UninstallKeyOf(n, false)));
    CHECK_FALSE(RegValueExists(HKEY_LOCAL_MACHINE, RunKeyOf(false), n.app));
    CHECK_FALSE(FileExists(DesktopLinkOf(n.app)));
    CHECK_FALSE(FileExists(ProgramsFolderOf(n.app)));
    DWORD compat = 0;
    CHECK(RegReadDword(HKEY_CURRENT_USER, kCompatKey, exe, &compat) == NT6());
    if (NT6())
        CHECK(WaitForHelperLog(dir, 6) == std::vector<std::string>{"-i", "-k", "-u", "-i", "-k", "-u"});

    // A second uninstall finds nothing to do and says nothing.
    std::vector<std::wstring> before = ListFolder(dir), beforeUninstall = ListFolder(dir + L"\\Uninstall");
    std::vector<std::string> logBefore = HelperLog(dir);
    {
        MessageBoxWatcher boxes(L"Fail");
        CHECK(UninstallFrom(dir));
        CHECK(boxes.Texts().empty());
    }
    CHECK(ListFolder(dir) == before);
    CHECK(ListFolder(dir + L"\\Uninstall") == beforeUninstall);
    CHECK(HelperLog(dir) == logBefore);
    CHECK_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, UninstallKeyOf(n, false)));

    CHECK_FALSE(FileExists(decoy.log));
    Scrub(n);
}

TEST_CASE("an application that ignores WM_CLOSE keeps its executable, and the silent install exits 1603") {
    const AppNames n{L"VKP709 Stubborn", L"Tarvex Stubborn Console"};
    Scrub(n);
    PackageOptions opt;
    opt.ini = IniFor(n, false);
    std::wstring oldPkg = CopyPackage(L"pkg stubborn", opt);
    opt.appendToApp = 4096;
    std::wstring newPkg = CopyPackage(L"pkg stubborn new", opt);
    std::wstring dir = InstallDirOf(n, false), exe = dir + L"\\" + n.file;

    REQUIRE(RunSilent(oldPkg) == 0);
    ULONGLONG oldSize = FileSize(exe);
    REQUIRE(oldSize + 4096 == FileSize(newPkg + L"Application\\" + n.file));
    HANDLE app = StartApp(exe, n.app, true);
    CHECK(RunSilent(newPkg) == kExitInstallFailed);
    CHECK(FileSize(exe) == oldSize);
    CHECK(FindWindowW(nullptr, n.app.c_str()) != nullptr);
    // The rest went ahead.
    CHECK(RegKeyExists(HKEY_LOCAL_MACHINE, UninstallKeyOf(n, false)));
    CHECK(FileExists(DesktopLinkOf(n.app)));

    // The uninstall cannot remove it either, and says so; everything else goes.
    CHECK_FALSE(UninstallFrom(dir));
    CHECK(FileExists(exe));
    CHECK_FALSE(FileExists(dir + L"\\mingwm10.dll"));
    CHECK_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, UninstallKeyOf(n, false)));

    TerminateProcess(app, 1);
    WaitForSingleObject(app, 5000);
    CloseHandle(app);
    CHECK(UninstallFrom(dir));
    CHECK_FALSE(FileExists(exe));
    Scrub(n);
}

TEST_CASE("a package without the service helper, asked to start the application afterwards") {
    const AppNames n{L"VKP709 Helperless", L"Tarvex Helperless Console"};
    Scrub(n);
    PackageOptions opt;
    opt.ini = IniFor(n, true);
    opt.withHelper = false;
    std::wstring pkg = CopyPackage(L"pkg helperless", opt);
    std::wstring dir = InstallDirOf(n, false);

    MessageBoxWatcher boxes(L"Fail");
    DWORD code = RunSilent(pkg);
    std::vector<std::wstring> texts = boxes.Texts();
    if (NT6()) {
        CHECK(code == kExitInstallFailed);
        REQUIRE(texts.size() == 1);
        CHECK(Narrow(texts[0]) == "Fail to install the service!");
        CHECK_FALSE(FileExists(DesktopLinkOf(n.app)));
        CHECK_FALSE(FileExists(ProgramsFolderOf(n.app)));
        CHECK_FALSE(RegValueExists(HKEY_CURRENT_USER, kCompatKey, dir + L"\\" + n.file));
    } else {
        CHECK(code == 0);
        CHECK(texts.empty());
        CheckShortcuts(n, dir);
    }
    // Installed up to the service, and started all the same.
    CHECK(RegKeyExists(HKEY_LOCAL_MACHINE, UninstallKeyOf(n, false)));
    CHECK(FileExists(dir + L"\\" + n.file));
    CHECK(WaitForWindow(n.app, 10000) != nullptr);
    Scrub(n);
}
