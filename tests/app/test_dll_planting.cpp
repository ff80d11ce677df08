// DLLs planted beside setup.exe under the names of system DLLs that load
// late are not loaded by the wizard or the silent install, while a program
// that does not restrict the search order does load them.
#include <doctest/doctest.h>

#include <string>
#include <vector>

#include "../../engine/config.h"
#include "../../engine/flags.h"
#include "../../engine/install.h"
#include "winworld.h"

namespace {

// Not version.dll: Wine's own advapi32 imports it, so it loads before any
// code of the program runs, which no search-order setting can change. Not
// msimg32.dll: Wine's theming loads it by a path that ignores the process's
// search settings (Windows takes it from the system folder).
const wchar_t* const kPlanted[] = {L"uxtheme.dll", L"dwmapi.dll", L"cryptbase.dll"};

std::wstring ProgramDir() {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring p = path;
    return p.substr(0, p.rfind(L'\\') + 1);
}

std::string Names(const std::vector<std::wstring>& names) {
    std::wstring all;
    for (const auto& n : names)
        all += n + L" ";
    return Narrow(all);
}

std::vector<std::wstring> Markers(const std::wstring& dir) {
    std::vector<std::wstring> found;
    for (const wchar_t* name : kPlanted)
        if (FileExists(dir + name + L".loaded"))
            found.push_back(name);
    return found;
}

void ClearMarkers(const std::wstring& dir) {
    for (const wchar_t* name : kPlanted)
        DeleteFileW((dir + name + L".loaded").c_str());
}

// The package with planted DLLs, under its own install folder name.
std::wstring PlantedPackage() {
    std::wstring dir = FreshTempDir(L"planted");
    for (const wchar_t* f : {L"setup.exe", L"setupENU.dll"})
        REQUIRE(CopyInto(PackageDir() + f, dir + f));
    CreateDirectoryW((dir + L"Application").c_str(), nullptr);
    for (const wchar_t* f : {L"QXRaidSetup.exe", L"VolSvcInstall.exe", L"mingwm10.dll"})
        CopyInto(PackageDir() + L"Application\\" + f, dir + L"Application\\" + f);
    REQUIRE(WriteTextFile(dir + L"setup.ini",
                          "[Customized_Setting]\r\nAPPFolderName=PlantTest\r\n"
                          "[Startup]\r\nAppName=Plant Test\r\n"));
    for (const wchar_t* name : kPlanted)
        REQUIRE(CopyInto(ProgramDir() + L"planted_dll.dll", dir + name));
    return dir;
}

}  // namespace

TEST_CASE("planted DLLs beside setup.exe are not loaded") {
    std::wstring dir = PlantedPackage();

    SUBCASE("a program that does not restrict the search loads them") {
        REQUIRE(CopyInto(ProgramDir() + L"loads_by_name.exe", dir + L"loads_by_name.exe"));
        std::wstring cmd = L"\"" + dir + L"loads_by_name.exe\"";
        for (const wchar_t* name : kPlanted)
            cmd += std::wstring(L" ") + name;
        DWORD code = 1;
        REQUIRE(RunAndWait(cmd, 30000, &code));
        INFO("loaded: ", Names(Markers(dir)));
        CHECK(Markers(dir).size() == sizeof(kPlanted) / sizeof(kPlanted[0]));
    }

    SUBCASE("the install wizard") {
        HANDLE h = Start(L"\"" + dir + L"setup.exe\"");
        REQUIRE(h != nullptr);
        DWORD pid = GetProcessId(h);
        CHECK(WaitUntil([&] { return VisibleWindowOf(pid) != nullptr; }, 10000));
        Sleep(500);  // let it paint, when themes and the like load
        TerminateProcess(h, 0);
        WaitForSingleObject(h, 10000);
        CloseHandle(h);
        CHECK_MESSAGE(Markers(dir).empty(), Names(Markers(dir)));
    }

    SUBCASE("the silent install") {
        DWORD code = 1;
        REQUIRE(RunAndWait(L"\"" + dir + L"setup.exe\" s", 60000, &code));
        CHECK(code == 0);  // a whole install ran, shortcuts and all
        CHECK_MESSAGE(Markers(dir).empty(), Names(Markers(dir)));
        // Put the machine back as it was.
        g_bNT6 = IsNT6();
        g_bWow64 = IsWow64();
        SetupConfig cfg;
        ReadSetupConfig(dir.c_str(), &cfg);
        UninstallPackage(&cfg);
        DeleteTree(cfg.szInstallFolder);
    }
    ClearMarkers(dir);
}
