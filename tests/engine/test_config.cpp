// setup.ini, the install folder rule and GetPathFolder, against real files.
#include <doctest/doctest.h>

#include "../../engine/config.h"
#include "../../engine/flags.h"
#include "winworld.h"

namespace {

std::wstring Folder(const SetupConfig& c) { return c.szInstallFolder; }

std::wstring WindowsParent() {
    wchar_t win[MAX_PATH], parent[MAX_PATH];
    GetWindowsDirectoryW(win, MAX_PATH);
    GetPathFolder(win, parent);
    return parent;
}

struct Wow64Flag {
    explicit Wow64Flag(BOOL on) : saved(g_bWow64) { g_bWow64 = on; }
    ~Wow64Flag() { g_bWow64 = saved; }
    BOOL saved;
};

}  // namespace

TEST_CASE("GetPathFolder cuts behind the last backslash") {
    wchar_t out[MAX_PATH];
    CHECK(GetPathFolder(L"C:\\Pkg\\Setup.exe", out) == 6);
    CHECK(std::wstring(out) == L"C:\\Pkg\\");
    CHECK(GetPathFolder(L"C:\\", out) == 2);
    CHECK(std::wstring(out) == L"C:\\");
    CHECK(GetPathFolder(L"setup.exe", out) == -1);
    CHECK(std::wstring(out).empty());
    CHECK(GetPathFolder(L"", out) == -1);
    CHECK(std::wstring(out).empty());
    CHECK(GetPathFolder(L"D:\\Pkg\\SETUP.EXE", out) == 6);
    CHECK(std::wstring(out) == L"D:\\Pkg\\");
}

TEST_CASE("install folder rule") {
    wchar_t out[MAX_PATH];
    SUBCASE("Windows below a drive root") {
        CHECK(ComposeInstallFolder(L"C:\\Windows", FALSE, L"VKP709", out));
        CHECK(std::wstring(out) == L"C:\\Program Files\\VKP709");
        CHECK(ComposeInstallFolder(L"C:\\Windows", TRUE, L"VKP709", out));
        CHECK(std::wstring(out) == L"C:\\Program Files (x86)\\VKP709");
    }
    SUBCASE("Windows below a subfolder") {
        CHECK(ComposeInstallFolder(L"D:\\OS\\Windows", FALSE, L"App", out));
        CHECK(std::wstring(out) == L"D:\\OS\\Program Files\\App");
    }
    SUBCASE("a result that does not fit is refused, not cut") {
        std::wstring name(259 - lstrlenW(L"C:\\Program Files\\"), L'n');
        CHECK(ComposeInstallFolder(L"C:\\Windows", FALSE, name.c_str(), out));
        CHECK(lstrlenW(out) == 259);
        name += L'n';
        CHECK_FALSE(ComposeInstallFolder(L"C:\\Windows", FALSE, name.c_str(), out));
        CHECK(out[0] == L'\0');
    }
}

TEST_CASE("ReadSetupConfig") {
    std::wstring dir = FreshTempDir(L"config");
    std::wstring ini = dir + L"setup.ini";
    SetupConfig cfg;

    SUBCASE("no file gives the defaults") {
        Wow64Flag wow(FALSE);
        memset(&cfg, 0x55, sizeof(cfg));
        ReadSetupConfig(dir.c_str(), &cfg);
        CHECK(std::wstring(cfg.szAppFolderName) == L"VKP709");
        CHECK(std::wstring(cfg.szAppFileName) == L"QXRaidSetup.exe");
        CHECK(std::wstring(cfg.szAppName) == L"Tarvex Array Console");
        CHECK(std::wstring(cfg.szCompanyName) == L"Tarvex Technology Corp.");
        CHECK(std::wstring(cfg.szVersion) == L"1.00.00");
        CHECK(cfg.bLaunchAppInSilentMode == FALSE);
        CHECK(Folder(cfg) == WindowsParent() + L"Program Files\\VKP709");
    }
    SUBCASE("WOW64 selects Program Files (x86)") {
        Wow64Flag wow(TRUE);
        ReadSetupConfig(dir.c_str(), &cfg);
        CHECK(Folder(cfg) == WindowsParent() + L"Program Files (x86)\\VKP709");
    }
    SUBCASE("values from the file; empty APPFolderName leaves both folders empty") {
        REQUIRE(WriteTextFile(ini,
                              "[Customized_Setting]\r\nAPPFolderName=\r\nAPPFileName=App.exe\r\n"
                              "LaunchAPInSilentMode=2\r\n[Startup]\r\nAppName=My App\r\n"
                              "CompanyName=Co\r\nVersion=2.5\r\n"));
        ReadSetupConfig(dir.c_str(), &cfg);
        CHECK(std::wstring(cfg.szAppFolderName).empty());
        CHECK(Folder(cfg).empty());
        CHECK(std::wstring(cfg.szAppFileName) == L"App.exe");
        CHECK(std::wstring(cfg.szAppName) == L"My App");
        CHECK(std::wstring(cfg.szCompanyName) == L"Co");
        CHECK(std::wstring(cfg.szVersion) == L"2.5");
        CHECK(cfg.bLaunchAppInSilentMode == TRUE);
    }
    SUBCASE("a launch flag that does not start with a digit is off") {
        REQUIRE(WriteTextFile(ini, "[Customized_Setting]\r\nLaunchAPInSilentMode=abc\r\n"));
        ReadSetupConfig(dir.c_str(), &cfg);
        CHECK(cfg.bLaunchAppInSilentMode == FALSE);
    }
    SUBCASE("an over-long APPFolderName gives no install folder rather than a cut one") {
        std::string name(250, 'x');
        REQUIRE(WriteTextFile(ini, "[Customized_Setting]\r\nAPPFolderName=" + name + "\r\n"));
        ReadSetupConfig(dir.c_str(), &cfg);
        CHECK(std::wstring(cfg.szAppFolderName).size() == 250);
        CHECK(Folder(cfg).empty());
    }
    SUBCASE("a folder whose setup.ini path would not fit reads the defaults") {
        REQUIRE(WriteTextFile(ini, "[Startup]\r\nAppName=Near\r\n"));
        std::wstring longFolder = dir + std::wstring(255 - dir.size(), L'y') + L"\\";
        ReadSetupConfig(longFolder.c_str(), &cfg);
        CHECK(std::wstring(cfg.szAppName) == L"Tarvex Array Console");
    }
    DeleteTree(dir);
}
