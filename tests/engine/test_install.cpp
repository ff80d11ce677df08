// The install and uninstall procedures called in process, with the start-up
// flags set by the test: the WOW64 registry view and folder, configurations
// without names or with over-long paths, and a missing parent folder.
#include <doctest/doctest.h>

#include "../../engine/config.h"
#include "../../engine/flags.h"
#include "../../engine/install.h"
#include "engine_world.h"

namespace {

struct Flags {
    Flags(BOOL nt6, BOOL wow64) : savedNT6(g_bNT6), savedWow64(g_bWow64) {
        g_bNT6 = nt6;
        g_bWow64 = wow64;
    }
    ~Flags() {
        g_bNT6 = savedNT6;
        g_bWow64 = savedWow64;
    }
    BOOL savedNT6, savedWow64;
};

SetupConfig ConfigOf(const std::wstring& folder) {
    SetupConfig cfg;
    ReadSetupConfig(folder.c_str(), &cfg);
    return cfg;
}

std::wstring Str(HKEY root, const std::wstring& key, const wchar_t* value) {
    std::wstring s;
    DWORD type = 0;
    if (!RegReadString(root, key, value, &s, &type) || type != REG_SZ)
        return L"<none>";
    return s;
}

const char kRefused[] = "Fail to install: setup.ini names no install folder or application!";
const char kTooLong[] = "Fail to install: the path of the package or of the install folder is too long!";

std::vector<std::string> Narrowed(const std::vector<std::wstring>& texts) {
    std::vector<std::string> out;
    for (const auto& t : texts)
        out.push_back(Narrow(t));
    return out;
}

}  // namespace

TEST_CASE("under WOW64 the keys lie below Wow6432Node and the files in Program Files (x86)") {
    const AppNames n{L"VKP709 Wow Check", L"Tarvex Wow Check"};
    Scrub(n);
    Flags flags(FALSE, TRUE);
    PackageOptions opt;
    opt.ini = IniFor(n, false);
    std::wstring pkg = CopyPackage(L"pkg wow", opt);
    SetupConfig cfg = ConfigOf(pkg);
    std::wstring dir = InstallDirOf(n, true);
    REQUIRE(std::wstring(cfg.szInstallFolder) == dir);
    REQUIRE(dir.find(L"Program Files (x86)") != std::wstring::npos);

    CHECK(InstallPackage(pkg.c_str(), &cfg));
    for (const std::wstring& f : InstalledFiles(n, false))
        CHECK_MESSAGE(FileExists(dir + L"\\" + f), Narrow(f));
    CHECK_FALSE(FileExists(InstallDirOf(n, false)));
    CHECK(Str(HKEY_LOCAL_MACHINE, UninstallKeyOf(n, true), L"UninstallString") ==
          L"\"" + dir + L"\\Uninstall\\setup.exe\" delpkg");
    CHECK_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, UninstallKeyOf(n, false)));
    CHECK(Str(HKEY_LOCAL_MACHINE, RunKeyOf(true), n.app.c_str()) == L"\"" + dir + L"\\QXRaidSetup.exe\" min");
    CHECK_FALSE(RegValueExists(HKEY_LOCAL_MACHINE, RunKeyOf(false), n.app));

    // Something of the user's in the menu folder keeps it.
    REQUIRE(WriteTextFile(ProgramsFolderOf(n.app) + L"\\Readme.txt", "mine"));
    CHECK(UninstallPackage(&cfg));
    CHECK_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, UninstallKeyOf(n, true)));
    CHECK_FALSE(RegValueExists(HKEY_LOCAL_MACHINE, RunKeyOf(true), n.app));
    CHECK_FALSE(FileExists(dir + L"\\QXRaidSetup.exe"));
    CHECK(ListFolder(dir + L"\\Uninstall").size() == 6);
    CHECK(ListFolder(ProgramsFolderOf(n.app)) == std::vector<std::wstring>{L"Readme.txt"});
    Scrub(n);
}

TEST_CASE("a configuration without its names is refused; the uninstall skips what it cannot name") {
    const AppNames n{L"VKP709 Names Check", L"Tarvex Names Check"};
    Scrub(n);
    Flags flags(FALSE, FALSE);
    std::wstring list = RegBase(false) + L"Uninstall";
    // A neighbour in the list of uninstall entries that must survive.
    const std::wstring neighbour = list + L"\\VKP709 Neighbour";
    HKEY h;
    REQUIRE(RegCreateKeyExW(HKEY_LOCAL_MACHINE, neighbour.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &h, nullptr) ==
            ERROR_SUCCESS);
    RegCloseKey(h);

    std::string ini = IniFor(n, false);
    std::string broken;
    SUBCASE("empty APPFolderName") { broken = ini.replace(ini.find("APPFolderName=") + 14, n.folder.size(), ""); }
    SUBCASE("empty AppName") { broken = ini.replace(ini.find("AppName=") + 8, n.app.size(), ""); }
    SUBCASE("empty APPFileName") { broken = ini.replace(ini.find("APPFileName=") + 12, n.file.size(), ""); }
    PackageOptions opt;
    opt.ini = broken;
    std::wstring pkg = CopyPackage(L"pkg names", opt);
    SetupConfig cfg = ConfigOf(pkg);
    {
        MessageBoxWatcher boxes(L"Fail");
        CHECK_FALSE(InstallPackage(pkg.c_str(), &cfg));
        CHECK(Narrowed(boxes.Texts()) == std::vector<std::string>{kRefused});
    }
    CHECK_FALSE(FileExists(InstallDirOf(n, false)));
    CHECK_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, UninstallKeyOf(n, false)));
    CHECK_FALSE(RegValueExists(HKEY_LOCAL_MACHINE, list, L"UninstallString"));
    CHECK_FALSE(FileExists(DesktopLinkOf(n.app)));
    CHECK_FALSE(FileExists(DesktopLinkOf(L"")));

    CHECK_FALSE(UninstallPackage(&cfg));
    CHECK(RegKeyExists(HKEY_LOCAL_MACHINE, neighbour));
    RegDeleteTree(HKEY_LOCAL_MACHINE, neighbour);
    Scrub(n);
}

TEST_CASE("an install folder too long for its files is refused before anything is written") {
    size_t room = MAX_PATH - 1 - ProgramFilesDir(false).size() - 1;
    std::wstring padded;
    SUBCASE("a folder that fits, but not with \"\\Uninstall\\setupENU.dll\" behind it") {
        padded.assign(room - 10, L'L');
    }
    SUBCASE("a folder that does not fit at all") { padded.assign(room + 1, L'L'); }
    const AppNames n{padded, L"Tarvex Length Check"};
    Scrub(n);
    Flags flags(FALSE, FALSE);
    PackageOptions opt;
    opt.ini = IniFor(n, false);
    std::wstring pkg = CopyPackage(L"pkg length", opt);
    SetupConfig cfg = ConfigOf(pkg);
    REQUIRE(std::wstring(cfg.szAppFolderName) == padded);
    REQUIRE(std::wstring(cfg.szInstallFolder) == (padded.size() < room ? InstallDirOf(n, false) : L""));
    {
        MessageBoxWatcher boxes(L"Fail");
        CHECK_FALSE(InstallPackage(pkg.c_str(), &cfg));
        CHECK(Narrowed(boxes.Texts()) == std::vector<std::string>{kTooLong});
    }
    CHECK_FALSE(FileExists(InstallDirOf(n, false)));
    CHECK_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, UninstallKeyOf(n, false)));
    CHECK_FALSE(FileExists(DesktopLinkOf(n.app)));
    Scrub(n);
}

TEST_CASE("an install folder whose parent is missing") {
    // Only the last component is created: every copy fails, the registry
    // part is still written.
    const AppNames n{L"VKP709 Parent Check", L"Tarvex Parent Check"};
    Scrub(n);
    PackageOptions opt;
    opt.ini = IniFor(n, false);
    std::wstring pkg = CopyPackage(L"pkg parent", opt);
    std::wstring parent = FreshTempDir(L"parent") + L"missing parent";
    std::wstring dir = parent + L"\\app";
    bool nt6 = false;
    SUBCASE("off Windows 6: the shortcuts still follow") { nt6 = false; }
    SUBCASE("on Windows 6: the helper cannot start, a message, no shortcut") { nt6 = true; }
    Flags flags(nt6, FALSE);
    SetupConfig cfg = ConfigOf(pkg);
    lstrcpyW(cfg.szInstallFolder, dir.c_str());
    {
        MessageBoxWatcher boxes(L"Fail");
        CHECK_FALSE(InstallPackage(pkg.c_str(), &cfg));
        if (nt6)
            CHECK(Narrowed(boxes.Texts()) == std::vector<std::string>{"Fail to install the service!"});
        else
            CHECK(boxes.Texts().empty());
    }
    CHECK_FALSE(FileExists(parent));
    CHECK(Str(HKEY_LOCAL_MACHINE, UninstallKeyOf(n, false), L"UninstallString") ==
          L"\"" + dir + L"\\Uninstall\\setup.exe\" delpkg");
    CHECK(FileExists(DesktopLinkOf(n.app)) == !nt6);
    CHECK(FileExists(ProgramsFolderOf(n.app) + L"\\Uninstall.lnk") == !nt6);
    CHECK(RegValueExists(HKEY_LOCAL_MACHINE, RunKeyOf(false), n.app) == !nt6);
    CHECK_FALSE(RegValueExists(HKEY_CURRENT_USER, kCompatKey, dir + L"\\QXRaidSetup.exe"));
    Scrub(n);
}
