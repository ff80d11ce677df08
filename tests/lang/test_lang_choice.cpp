// The choice of the language library, in-process through the loader and as
// the real setup.exe copied into folders holding chosen libraries.
//   test_lang_choice --user=LANGID --system=LANGID [doctest options]
// Wine takes the user's language from LC_MESSAGES and the system's from
// LC_CTYPE of the wine process, so ctest sets those per run (a changed
// environment block of a child does not reach them); the two ids say what
// that run's environment must give, and each run selects its suite.
#include <doctest/doctest.h>

#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <tlhelp32.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "../../app/setup_app.h"
#include "../../engine/config.h"
#include "winworld.h"

namespace {

const LANGID kGerman = 0x0407, kKorean = 0x0412, kPolish = 0x0415, kEnglish = 0x0409;

// A library file to place: the package's setup<ABBR>.dll under a name.
struct Lib {
    const wchar_t* abbr;
    const wchar_t* name;  // null: the package's own name
};

std::wstring LibPath(const wchar_t* abbr) { return PackageDir() + L"setup" + abbr + L".dll"; }

// A fresh folder with setup.exe under exeName and the given libraries.
std::wstring MakeFolder(const wchar_t* folder, const wchar_t* exeName, std::initializer_list<Lib> libs) {
    std::wstring dir = FreshTempDir(folder);
    REQUIRE(CopyInto(PackageDir() + L"setup.exe", dir + exeName));
    for (const Lib& lib : libs) {
        std::wstring name = lib.name ? lib.name : std::wstring(L"setup") + lib.abbr + L".dll";
        REQUIRE(CopyInto(LibPath(lib.abbr), dir + name));
    }
    return dir;
}

std::wstring MakeFolder(const wchar_t* folder, std::initializer_list<const wchar_t*> abbrs) {
    std::wstring dir = FreshTempDir(folder);
    REQUIRE(CopyInto(PackageDir() + L"setup.exe", dir + L"setup.exe"));
    for (const wchar_t* abbr : abbrs)
        REQUIRE(CopyInto(LibPath(abbr), dir + L"setup" + abbr + L".dll"));
    return dir;
}

const wchar_t* const kAllLanguages[] = {L"ENU", L"CHT", L"CHS", L"JPN", L"KOR", L"FRA", L"DEU",
                                        L"ITA", L"RUS", L"ESN", L"SVE", L"NLD", L"PTB"};

std::wstring FullPackageFolder(const wchar_t* folder) {
    std::wstring dir = MakeFolder(folder, {});
    for (const wchar_t* abbr : kAllLanguages)
        REQUIRE(CopyInto(LibPath(abbr), dir + L"setup" + abbr + L".dll"));
    return dir;
}

std::wstring FileNameOf(HMODULE h) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(h, path, MAX_PATH);
    const wchar_t* slash = wcsrchr(path, L'\\');
    return Lower(slash ? slash + 1 : path);
}

// The loader as start-up calls it: with the lowered module path.
std::wstring ChooseInProcess(const std::wstring& exePath) {
    SetupApp app;
    HMODULE h = app.LoadLangResourceModule(Lower(exePath).c_str());
    if (!h)
        return L"(none)";
    std::wstring name = FileNameOf(h);
    FreeLibrary(h);
    return name;
}

std::wstring ForOneLanguage(const std::wstring& exePath, LANGID lang) {
    HMODULE h = LoadLangResourceFor(Lower(exePath).c_str(), lang);
    if (!h)
        return L"(none)";
    std::wstring name = FileNameOf(h);
    FreeLibrary(h);
    return name;
}

// What became of one run of the real executable.
struct Run {
    bool window = false;  // a visible top-level window of the process appeared
    bool ended = false;   // it ended by itself before any window appeared
    DWORD exitCode = 0;
    DWORD ms = 0;                    // until the window or the end
    std::vector<std::wstring> libs;  // language libraries loaded, lowered
    std::wstring windowText;
};

// Modules of the process whose names end in three letters and ".dll" after
// the executable's base name, i.e. language libraries.
std::vector<std::wstring> LanguageLibrariesOf(DWORD pid, const std::wstring& base) {
    std::vector<std::wstring> out;
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid);
    if (snap == INVALID_HANDLE_VALUE)
        return out;
    MODULEENTRY32W me = {};
    me.dwSize = sizeof(me);
    for (BOOL ok = Module32FirstW(snap, &me); ok; ok = Module32NextW(snap, &me)) {
        std::wstring name = Lower(me.szModule);
        if (name.size() == base.size() + 7 && name.compare(0, base.size(), base) == 0 &&
            name.compare(name.size() - 4, 4, L".dll") == 0)
            out.push_back(name);
    }
    CloseHandle(snap);
    return out;
}

// Starts exe with args, waits for a window or the end; a window is looked at
// and then closed (or the process ended) so that the next run finds no
// instance.
Run RunExe(const std::wstring& exe, const wchar_t* args, DWORD timeoutMs = 30000) {
    Run r;
    HANDLE h = Start(L"\"" + exe + L"\"" + args);
    REQUIRE(h != nullptr);
    DWORD pid = GetProcessId(h);
    std::wstring base = Lower(exe.substr(exe.rfind(L'\\') + 1));
    base = base.substr(0, base.size() - 4);
    DWORD start = GetTickCount();
    HWND wnd = nullptr;
    while (GetTickCount() - start < timeoutMs) {
        if ((wnd = VisibleWindowOf(pid)) != nullptr)
            break;
        if (WaitForSingleObject(h, 20) == WAIT_OBJECT_0) {
            r.ended = true;
            break;
        }
    }
    r.ms = GetTickCount() - start;
    if (wnd) {
        r.window = true;
        r.libs = LanguageLibrariesOf(pid, base);
        wchar_t text[256] = {};
        GetWindowTextW(wnd, text, 256);
        r.windowText = text;
        PostMessageW(wnd, WM_CLOSE, 0, 0);
    }
    if (WaitForSingleObject(h, r.ended ? 0 : 15000) != WAIT_OBJECT_0) {
        TerminateProcess(h, 999);
        WaitForSingleObject(h, 10000);
    }
    if (r.ended)
        GetExitCodeProcess(h, &r.exitCode);
    CloseHandle(h);
    return r;
}

// The wizard came up on exactly this library.
void CheckWizardOn(const Run& r, const wchar_t* lib) {
    REQUIRE_MESSAGE(r.window, "no wizard window; ended=" << r.ended << " exit=" << r.exitCode);
    REQUIRE(r.libs.size() == 1);
    CHECK(Narrow(r.libs[0]) == Narrow(Lower(lib)));
}

// Ended at once without a window, and not because another copy ran.
void CheckEndedWithoutWindow(const Run& r) {
    CHECK_FALSE(r.window);
    REQUIRE(r.ended);
    CHECK(r.exitCode == 0);
    CHECK(r.ms < 15000);
}

}  // namespace

int main(int argc, char** argv) {
    long user = -1, system = -1;
    std::vector<char*> rest{argv[0]};
    for (int i = 1; i < argc; ++i) {
        if (strncmp(argv[i], "--user=", 7) == 0)
            user = strtol(argv[i] + 7, nullptr, 16);
        else if (strncmp(argv[i], "--system=", 9) == 0)
            system = strtol(argv[i] + 9, nullptr, 16);
        else
            rest.push_back(argv[i]);
    }
    // A locale that did not take effect would make every run English and
    // the checks meaningless: stop here instead.
    LANGID gotUser = GetUserDefaultUILanguage(), gotSystem = GetSystemDefaultUILanguage();
    if ((user >= 0 && gotUser != user) || (system >= 0 && gotSystem != system)) {
        fprintf(stderr,
                "user interface language %04X / system %04X, expected %04lX / %04lX: the locales "
                "(LOCPATH=%s, LANG=%s, LC_MESSAGES=%s) did not take effect\n",
                gotUser, gotSystem, user, system, getenv("LOCPATH") ? getenv("LOCPATH") : "",
                getenv("LANG") ? getenv("LANG") : "", getenv("LC_MESSAGES") ? getenv("LC_MESSAGES") : "");
        return 1;
    }
    doctest::Context ctx((int)rest.size(), rest.data());
    return ctx.run();
}

// User and system in German.
TEST_SUITE("german") {
    TEST_CASE("a German user interface loads setupDEU") {
        std::wstring dir = FullPackageFolder(L"de_full");
        CHECK(Narrow(ChooseInProcess(dir + L"setup.exe")) == "setupdeu.dll");
        CheckWizardOn(RunExe(dir + L"setup.exe", L""), L"setupDEU.dll");
        CheckWizardOn(RunExe(dir + L"setup.exe", L" delpkg"), L"setupDEU.dll");
        DeleteTree(dir);
    }

    TEST_CASE("the executable's name is the libraries' base, whatever its case") {
        // Started as SETUP.EXE from a folder in capitals: the lowered path
        // still has its ".exe".
        std::wstring dir = MakeFolder(L"DE_UPPER", L"SETUP.EXE", {{L"DEU", nullptr}});
        CheckWizardOn(RunExe(dir + L"SETUP.EXE", L""), L"setupDEU.dll");
        DeleteTree(dir);

        // install.exe looks for install<ABBR>.DLL, not setup<ABBR>.dll.
        dir = MakeFolder(L"de_install", L"install.exe",
                         {{L"DEU", L"installDEU.DLL"}, {L"DEU", nullptr}, {L"ENU", nullptr}});
        CheckWizardOn(RunExe(dir + L"install.exe", L""), L"installDEU.dll");
        DeleteTree(dir);

        dir = MakeFolder(L"de_install_none", L"install.exe", {{L"DEU", nullptr}, {L"ENU", nullptr}});
        CheckEndedWithoutWindow(RunExe(dir + L"install.exe", L""));
        DeleteTree(dir);
    }

    TEST_CASE("no German library: English, in the install and the uninstall folder") {
        std::wstring dir = MakeFolder(L"de_uninstall", {L"ENU", L"CHT", L"CHS", L"JPN"});
        CHECK(Narrow(ChooseInProcess(dir + L"setup.exe")) == "setupenu.dll");
        CheckWizardOn(RunExe(dir + L"setup.exe", L" delpkg"), L"setupENU.dll");
        DeleteTree(dir);
    }
}

// A Korean user on a German system.
TEST_SUITE("korean") {
    TEST_CASE("with its library, Korean loads setupKOR") {
        std::wstring dir = FullPackageFolder(L"ko_full");
        CHECK(Narrow(ChooseInProcess(dir + L"setup.exe")) == "setupkor.dll");
        CheckWizardOn(RunExe(dir + L"setup.exe", L""), L"setupKOR.dll");
        DeleteTree(dir);
    }

    TEST_CASE("the Uninstall folder has no Korean library: English, not the system's German") {
        std::wstring dir = MakeFolder(L"ko_uninstall", {L"ENU", L"CHT", L"CHS", L"JPN"});
        CHECK(Narrow(ChooseInProcess(dir + L"setup.exe")) == "setupenu.dll");
        CheckWizardOn(RunExe(dir + L"setup.exe", L" delpkg"), L"setupENU.dll");
        DeleteTree(dir);

        // With the system's language at hand the English fallback still wins.
        dir = MakeFolder(L"ko_uninstall_de", {L"ENU", L"CHT", L"CHS", L"JPN", L"DEU"});
        CHECK(Narrow(ChooseInProcess(dir + L"setup.exe")) == "setupenu.dll");
        CheckWizardOn(RunExe(dir + L"setup.exe", L" delpkg"), L"setupENU.dll");
        CheckWizardOn(RunExe(dir + L"setup.exe", L""), L"setupENU.dll");
        DeleteTree(dir);
    }

    TEST_CASE("the system's language is asked only when nothing loaded for the user's") {
        // Neither Korean nor English: the user's source yields nothing.
        std::wstring dir = MakeFolder(L"ko_only_de", {L"DEU", L"JPN"});
        CHECK(Narrow(ChooseInProcess(dir + L"setup.exe")) == "setupdeu.dll");
        CheckWizardOn(RunExe(dir + L"setup.exe", L""), L"setupDEU.dll");
        DeleteTree(dir);

        // The Korean file is there but does not load: no English fallback
        // for that source, the next one is asked.
        dir = MakeFolder(L"ko_broken", {L"ENU", L"DEU"});
        REQUIRE(WriteTextFile(dir + L"setupKOR.dll", "not a library"));
        CHECK(Narrow(ForOneLanguage(dir + L"setup.exe", kKorean)) == "(none)");
        CHECK(Narrow(ChooseInProcess(dir + L"setup.exe")) == "setupdeu.dll");
        CheckWizardOn(RunExe(dir + L"setup.exe", L""), L"setupDEU.dll");
        DeleteTree(dir);
    }
}

// A Polish user (no library in the package) on a German system.
TEST_SUITE("polish") {
    TEST_CASE("a language without a library loads setupENU, even with the system's at hand") {
        std::wstring dir = FullPackageFolder(L"pl_full");
        CHECK_FALSE(FileExists(dir + L"setupPLK.dll"));
        CHECK(Narrow(ChooseInProcess(dir + L"setup.exe")) == "setupenu.dll");
        CheckWizardOn(RunExe(dir + L"setup.exe", L""), L"setupENU.dll");
        CheckWizardOn(RunExe(dir + L"setup.exe", L" delpkg"), L"setupENU.dll");
        DeleteTree(dir);
    }
}

// Cases that do not depend on the user's language.
TEST_SUITE("any") {
    TEST_CASE("one language: its library, else English beside it, by the name before the first .exe") {
        std::wstring dir = MakeFolder(L"one", {L"ENU", L"DEU", L"RUS"});
        std::wstring exe = dir + L"setup.exe";
        CHECK(Narrow(ForOneLanguage(exe, kGerman)) == "setupdeu.dll");
        CHECK(Narrow(ForOneLanguage(exe, 0x0419)) == "setuprus.dll");
        CHECK(Narrow(ForOneLanguage(exe, kKorean)) == "setupenu.dll");
        CHECK(Narrow(ForOneLanguage(exe, kPolish)) == "setupenu.dll");
        // A neutral id stands for the default locale of its language.
        CHECK(Narrow(ForOneLanguage(exe, MAKELANGID(LANG_GERMAN, SUBLANG_NEUTRAL))) == "setupdeu.dll");
        // Swiss German is "DES": not there, so English.
        CHECK(Narrow(ForOneLanguage(exe, MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN_SWISS))) == "setupenu.dll");

        // The name is cut at the first ".exe", even inside a folder name.
        std::wstring nested = dir + L"pkg.exe.d\\";
        REQUIRE(CreateDirectoryW(nested.c_str(), nullptr));
        REQUIRE(CopyInto(LibPath(L"ENU"), nested + L"setupENU.dll"));
        REQUIRE(CopyInto(LibPath(L"DEU"), dir + L"pkgDEU.DLL"));
        CHECK(Narrow(ForOneLanguage(nested + L"setup.exe", kGerman)) == "pkgdeu.dll");
        CHECK(Narrow(ForOneLanguage(nested + L"setup.exe", kKorean)) == "(none)");

        // install.exe: install<ABBR>.DLL and installENU.DLL only.
        REQUIRE(CopyInto(LibPath(L"ENU"), dir + L"installENU.DLL"));
        CHECK(Narrow(ForOneLanguage(dir + L"install.exe", kGerman)) == "installenu.dll");
        REQUIRE(CopyInto(LibPath(L"DEU"), dir + L"installDEU.DLL"));
        CHECK(Narrow(ForOneLanguage(dir + L"install.exe", kGerman)) == "installdeu.dll");
        DeleteTree(dir);
    }

    TEST_CASE("no library loads: null from the loader") {
        std::wstring dir = MakeFolder(L"none", {L"ENU"});
        std::wstring exe = dir + L"setup.exe";
        // An id without an abbreviation yields nothing, English or not.
        for (LANGID bad : {(LANGID)0x00FF, (LANGID)0x3FFF}) {
            wchar_t abbr[4];
            REQUIRE(GetLocaleInfoW(ConvertDefaultLocale(MAKELCID(bad, SORT_DEFAULT)), LOCALE_SABBREVLANGNAME, abbr,
                                   4) == 0);
            CHECK(Narrow(ForOneLanguage(exe, bad)) == "(none)");
        }
        // No ".exe" in the path.
        CHECK(Narrow(ForOneLanguage(dir + L"setup", kEnglish)) == "(none)");
        CHECK(Narrow(ForOneLanguage(dir + L"setup.ex", kEnglish)) == "(none)");
        DeleteTree(dir);

        dir = MakeFolder(L"none_at_all", {});
        CHECK(Narrow(ForOneLanguage(dir + L"setup.exe", kGerman)) == "(none)");
        CHECK(Narrow(ChooseInProcess(dir + L"setup.exe")) == "(none)");
        // A broken English library does not load either.
        REQUIRE(WriteTextFile(dir + L"setupENU.dll", "MZ"));
        CHECK(Narrow(ChooseInProcess(dir + L"setup.exe")) == "(none)");
        DeleteTree(dir);
    }

    TEST_CASE("no library beside the executable: both wizards end at once without a window") {
        std::wstring dir = MakeFolder(L"bare", {});
        REQUIRE(CopyInto(PackageDir() + L"setup.ini", dir + L"setup.ini"));
        CheckEndedWithoutWindow(RunExe(dir + L"setup.exe", L""));
        CheckEndedWithoutWindow(RunExe(dir + L"setup.exe", L" delpkg"));
        CheckEndedWithoutWindow(RunExe(dir + L"setup.exe", L" delpkg s"));
        DeleteTree(dir);
    }

    TEST_CASE("the silent install needs no library") {
        // A package without its libraries.
        std::wstring dir = MakeFolder(L"silent", {});
        REQUIRE(CopyInto(PackageDir() + L"setup.ini", dir + L"setup.ini"));
        std::wstring app = dir + L"Application\\";
        REQUIRE(CreateDirectoryW(app.c_str(), nullptr));
        WIN32_FIND_DATAW fd;
        HANDLE hFind = FindFirstFileW((PackageDir() + L"Application\\*").c_str(), &fd);
        REQUIRE(hFind != INVALID_HANDLE_VALUE);
        do {
            if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                REQUIRE(CopyInto(PackageDir() + L"Application\\" + fd.cFileName, app + fd.cFileName));
        } while (FindNextFileW(hFind, &fd));
        FindClose(hFind);

        SetupConfig cfg;
        ReadSetupConfig(dir.c_str(), &cfg);
        std::wstring installed = cfg.szInstallFolder;
        REQUIRE_FALSE(installed.empty());
        DeleteTree(installed);
        std::wstring uninstaller = installed + L"\\Uninstall\\setup.exe";
        REQUIRE_FALSE(FileExists(uninstaller));

        Run r = RunExe(dir + L"setup.exe", L" s", 120000);
        if (r.window)
            printf("the silent install showed a window: %s\n", Narrow(r.windowText).c_str());
        REQUIRE_MESSAGE(r.ended, "the silent install did not end by itself");
        CHECK_FALSE(r.window);
        // Stopping at the language step would also end with 0, but would
        // leave nothing installed.
        CHECK(r.exitCode == 0);
        CHECK(FileExists(uninstaller));
        CHECK(FileExists(installed + L"\\" + cfg.szAppFileName));
        DeleteTree(installed);
        RegDeleteTree(HKEY_LOCAL_MACHINE,
                      std::wstring(L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") + cfg.szAppFolderName);
        DeleteTree(dir);
    }
}
