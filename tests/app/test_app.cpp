// Start-up: the command line, the single instance, the compatibility mark,
// and the DLL search that leaves planted libraries alone.
#include "harness.h"

#include <sddl.h>

#include "app/setup_app.h"

namespace {

// Whether a key has a value spelt exactly so: names compare without case,
// so only the list of names tells how one was written.
bool HasValueSpelt(const std::wstring& key, const std::wstring& name) {
    HKEY h;
    wchar_t buf[1024];
    bool found = false;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS)
        return false;
    for (DWORD i = 0, cch = 1024; RegEnumValueW(h, i, buf, &cch, nullptr, nullptr, nullptr, nullptr) == 0; cch = 1024)
        found |= name == buf, ++i;
    RegCloseKey(h);
    return found;
}

// setup.exe alone in a folder of its own: with no language library the
// wizards end at once without a window.
std::wstring LonelySetup(const wchar_t* folder) {
    std::wstring exe = FreshDir(folder) + L"SETUP.EXE";
    REQUIRE(CopyInto(PackageDir() + L"setup.exe", exe));
    return exe;
}

}  // namespace

TEST_CASE("the command line chooses the way to run") {
    using M = RunMode;
    const struct {
        const wchar_t* args;
        RunMode mode;
    } rows[] = {
        {L"", M::InstallWizard},           {L"delpkg", M::UninstallWizard},    {L"DelPkg", M::UninstallWizard},
        {L"s", M::SilentInstall},          {L"/S", M::SilentInstall},          {L"-s", M::SilentInstall},
        {L"delpkg s", M::UninstallWizard}, {L"s /delpkg", M::UninstallWizard}, {L"install", M::InstallWizard},
        {L"ss", M::InstallWizard},         {L"--s", M::InstallWizard},         {L"x s y", M::SilentInstall},
        {L"s Quiet", M::QuietInstall},     {L"/QUIET -s", M::QuietInstall},    {L"quiet", M::InstallWizard},
        {L"quiet x", M::InstallWizard},    {L"s /LOG=a", M::SilentInstall},    {L"-quiet delpkg", M::QuietUninstall}};
    for (const auto& r : rows) {
        int argc = 0;
        wchar_t** argv = CommandLineToArgvW((L"setup.exe " + std::wstring(r.args)).c_str(), &argc);
        SetupCommandLineInfo info;
        CWinApp::ParseArguments(info, argc, argv);
        LocalFree(argv);
        CAPTURE(Narrow(r.args));
        CHECK(DecideRunMode(info) == r.mode);
        CHECK(info.m_nParamCount == argc - 1);  // every argument counts, the program's name not
        CHECK(info.m_szLogPath == std::wstring(wcschr(r.args, L'=') ? L"a" : L""));
    }
}

TEST_CASE("the compatibility mark: the lowered path, on Windows 6 only") {
    // Only A to Z are lowered: the folder's capital with an umlaut stays.
    std::wstring exe = LonelySetup(L"Mark \u00C4rger");
    const std::wstring name = Lower(exe);
    REQUIRE(name.find(L"\u00C4rger\\setup.exe") != std::wstring::npos);
    const struct {
        const wchar_t* version;
        bool marked;
    } rows[] = {{L"win7", true}, {L"winxp64", false}};
    for (const auto& r : rows) {
        CAPTURE(Narrow(r.version));
        SHDeleteValueW(HKEY_CURRENT_USER, kCompatKey, name.c_str());
        WinVersionFor version(L"SETUP.EXE", r.version);
        CHECK(Run(Q(exe)) == 0);
        CHECK(HasValueSpelt(kCompatKey, name) == r.marked);
        CHECK(RegDword(HKEY_CURRENT_USER, kCompatKey, name) == (r.marked ? 1 : -1));
    }
}

TEST_CASE("a second copy ends at once with 1618 and writes nothing, whichever name is held, however") {
    std::wstring exe = LonelySetup(L"second");
    const std::wstring log = exe + L".log", runs[] = {L"", L" s", L" delpkg", L" delpkg quiet " + Q(L"log=" + log)};
    SECURITY_ATTRIBUTES closed = {sizeof(closed), nullptr, FALSE};  // another account's: no access for this one
    REQUIRE(ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:", 1, &closed.lpSecurityDescriptor, nullptr));
    for (auto [name, sa] : {std::pair(L"Global\\VKP507_INSTALL", &closed), {L"VKP507_INSTALL", nullptr}}) {
        SHDeleteValueW(HKEY_CURRENT_USER, kCompatKey, Lower(exe).c_str());
        HANDLE mutex = CreateMutexW(sa, TRUE, name);
        REQUIRE(GetLastError() != ERROR_ALREADY_EXISTS);
        for (const auto& args : runs)
            CHECK(Run(Q(exe) + args) == 1618);
        CloseHandle(mutex);
        CHECK(ReadFileText(log).find(" end: another setup is running; exit code 1618\r\n") != std::string::npos);
        CHECK_FALSE(RegHasValue(HKEY_CURRENT_USER, kCompatKey, Lower(exe)));
    }
}

TEST_CASE("DLLs planted beside setup.exe under system and language libraries' names are not run") {
    // Each leaves "<name>.loaded" when loaded. Not version.dll (Wine's own
    // advapi32 imports it before any code runs) nor msimg32.dll (Wine's
    // theming loads it by a path that ignores the search settings).
    const wchar_t* const planted[] = {L"uxtheme.dll", L"dwmapi.dll", L"cryptbase.dll", L"setupENU.dll"};
    const AppNames n{L"PlantTest", L"Plant Test"};
    Scrub(n);
    std::wstring dir = CopyPackage(L"planted", IniFor(n));
    std::wstring self = BuildDir() + L"\\tests\\app\\";
    for (const wchar_t* dll : planted)
        REQUIRE(CopyInto(self + L"planted_dll.dll", dir + dll));
    auto loaded = [&] {
        std::wstring names;
        for (const wchar_t* dll : planted)
            if (DeleteFileW((dir + dll + L".loaded").c_str()))
                names += std::wstring(dll) + L" ";
        return names;
    };

    // The marker works: a program that does not restrict the search loads all.
    REQUIRE(CopyInto(self + L"loads_by_name.exe", dir + L"loads_by_name.exe"));
    CHECK(Run(Q(dir + L"loads_by_name.exe") + L" uxtheme.dll dwmapi.dll cryptbase.dll setupENU.dll") == 0);
    CHECK(loaded() == L"uxtheme.dll dwmapi.dll cryptbase.dll setupENU.dll ");

    {
        Proc wizard(Q(dir + L"setup.exe"));
        // The language library's texts shown, and none of its code run.
        CHECK(TextOf(WaitForWindow(wizard.pid, nullptr, nullptr)) == n.app + L" - Installations-Assistent");
        Sleep(500);  // painted, when themes and the like load
    }
    CHECK(loaded() == L"");
    CHECK(Run(Q(dir + L"setup.exe") + L" s") == 0);  // a whole install, shortcuts and all
    CHECK(loaded() == L"");
    Scrub(n);
}
